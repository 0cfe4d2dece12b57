#pragma once
// Screen size and window position checks.

namespace forms {
class Form;
}

namespace core {

// True when the screen is at most 15360 by 10200 twips (1024 by 680 pixels); then, unless quiet,
// the "Screen Resolution Warning" box is shown.
bool ScreenTooSmall(bool quiet);
// Once the visible window was found wholly on the screen, gbFormOnScreen stays true; until then
// each call tests it again.
void CheckFormOnScreen(forms::Form& window);
// Moves the window to the screen's top-left corner.
void ResetFormPos(forms::Form& window);

}  // namespace core
