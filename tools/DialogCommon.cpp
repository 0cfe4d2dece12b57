#include "tools/DialogCommon.h"

#include "core/frmMainControls.h"

namespace tools {

void DoEvents() {
  forms::App::Current().DoEvents();
}

void CentreOnMainWindow(forms::Form& form) {
  const core::MainFormControls& main = core::frmMain();
  form.SetTop(main.Top() + (main.Height() - form.Height()) / 2);
  form.SetLeft(main.Left() + (main.Width() - form.Width()) / 2);
}

}  // namespace tools
