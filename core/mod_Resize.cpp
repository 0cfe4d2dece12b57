#include "core/mod_Resize.h"

#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/forms/Form.h"

namespace core {

bool ScreenTooSmall(bool quiet) {
  forms::App& app = forms::App::Current();
  if (app.ScreenWidth() > 15360 || app.ScreenHeight() > 10200) return false;
  if (!quiet) {
    app.MsgBox(
        "This program is designed for a video display of 1024X768 (or higher) resolution.\r\n"
        "While this program will function LIMITEDLY in a smaller screen resolution,\r\n"
        "it is recommended that the screen size be adjusted larger.",
        forms::vbOKOnly, "Screen Resolution Warning");
  }
  return true;
}

void CheckFormOnScreen(forms::Form& window) {
  if (!window.Visible() || gbFormOnScreen) return;
  const forms::App& app = forms::App::Current();
  const bool onScreen = window.Top() + window.Height() <= app.ScreenHeight() &&
                        window.Left() + window.Width() <= app.ScreenWidth() && window.Top() >= 0 &&
                        window.Left() >= 0;
  gbFormOnScreen = ToVbBool(onScreen);
}

void ResetFormPos(forms::Form& window) {
  window.SetTop(0);
  window.SetLeft(0);
}

}  // namespace core
