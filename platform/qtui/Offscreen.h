#pragma once
// Renders a form to a PNG file without showing it, for tests and for review
// (run under QT_QPA_PLATFORM=offscreen when there is no display).

#include <string>

namespace forms {
class Form;
}

namespace qtui {

// Loads the form when needed, lays it out as it would be shown and writes the
// window's picture (menu bar and client area).  False when the file cannot be
// written.
bool RenderFormToPng(forms::Form& form, const std::string& pngPath);

}  // namespace qtui
