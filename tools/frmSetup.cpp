#include "tools/frmSetup.h"

#include <cmath>
#include <string>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/modVBCommon.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/Val.h"
#include "tools/DialogCommon.h"
#include "tools/frmAbout.h"
#include "tools/frmGenView.h"

namespace tools {

using core::vbFalse;
using core::vbTrue;
using forms::App;

namespace {

constexpr const char* kPixelMessage = "Enter a number between 1000 and 50";
constexpr const char* kQualityMessage = "Enter a number between 1 and 100";
constexpr const char* kBrightnessMessage = "Enter a number between -99 and 99";

}  // namespace

frmSetup::frmSetup() : Form("frmSetup") {
  BindEvents();
}

void frmSetup::BindEvents() {
  cmdOK.Click = [this] { core::RunEvent("cmdOK_Click", [this] { cmdOK_Click(); }); };
  cmdSave.Click = [this] { core::RunEvent("cmdSave_Click", [this] { cmdSave_Click(); }); };
  cmdCancel.Click = [this] { core::RunEvent("cmdCancel_Click", [this] { cmdCancel_Click(); }); };
  cmdAbout.Click = [this] { core::RunEvent("cmdAbout_Click", [this] { cmdAbout_Click(); }); };
  Command1.Click = [this] { core::RunEvent("Command1_Click", [this] { Command1_Click(); }); };
  optScreen.Bind(&forms::OptionButton::Click, [this](int Index) {
    core::RunEvent("optScreen_Click", [this, Index] { optScreen_Click(Index); });
  });

  // Edits that only mark a change.
  for (forms::CheckBox* box :
       {&ckbAutoDelete, &ckbButtons, &ckbPreviewCopyPics, &ckbRedux, &ckbTrashcan})
    box->Click = [this] { MarkChanged(); };
  txtCaptureDir.Change = [this] { MarkChanged(); };
  txtLastCopy.Change = [this] { MarkChanged(); };

  txtProgramDir.GotFocus = [this] {
    core::RunEvent("txtProgramDir_GotFocus", [this] { txtProgramDir_GotFocus(); });
  };
  txtProgramDir.LostFocus = [this] {
    core::RunEvent("txtProgramDir_LostFocus", [this] { txtProgramDir_LostFocus(); });
  };
  txtUserDir.LostFocus = [this] {
    core::RunEvent("txtUserDir_LostFocus", [this] { txtUserDir_LostFocus(); });
  };
  txtPixelX.Change = [this] { core::RunEvent("txtPixelX_Change", [this] { txtPixelX_Change(); }); };
  txtPixelY.Change = [this] { core::RunEvent("txtPixelY_Change", [this] { txtPixelY_Change(); }); };
  txtPixelX.LostFocus = [this] {
    core::RunEvent("txtPixelX_LostFocus", [this] { txtPixelX_LostFocus(); });
  };
  txtPixelY.LostFocus = [this] {
    core::RunEvent("txtPixelY_LostFocus", [this] { txtPixelY_LostFocus(); });
  };
  txtQuality.LostFocus = [this] {
    core::RunEvent("txtQuality_LostFocus", [this] { txtQuality_LostFocus(); });
  };
  txtBrightness.LostFocus = [this] {
    core::RunEvent("txtBrightness_LostFocus", [this] { txtBrightness_LostFocus(); });
  };
}

// ---- Conversions ---------------------------------------------------------------------------

int frmSetup::BoolToCheck(core::VbBool value) {
  return value ? 1 : 0;
}

core::VbBool frmSetup::CheckToBool(int value) {
  return value == 1 ? vbTrue : vbFalse;
}

double frmSetup::BoxValue(const std::string& text) {
  try {
    // Rounded as it is stored (halves to even), so that "0.4" is the quality 0 it would become.
    return std::nearbyint(vb::Val(text));
  } catch (const vb::VbError&) {
    return std::nan("");  // overflow or a bad type suffix: no usable number
  }
}

std::int16_t frmSetup::ScreenSizeForOption(int selectedIndex) {
  // "Hidden" (0) and no selection both save the default layout.
  if (selectedIndex >= 1 && selectedIndex <= 5) return static_cast<std::int16_t>(selectedIndex);
  return 2;
}

// ---- Loading -------------------------------------------------------------------------------

void frmSetup::Form_Load() {
  core::RunEvent("Form_Load", [this] {
    screenSizeAtOpen_ = core::gScreenSize;
    core::MainFormControls& main = core::frmMain();
    // Centred by the main window's size only; its position is not added.
    SetTop((main.Height() - Height()) / 2);
    SetLeft((main.Width() - Width()) / 2);
    SetIcon(main.Icon());
    SSConfig.SetTab(1);
    LoadConfigControls();
    bConfigChanged = vbFalse;
  });
}

void frmSetup::LoadConfigControls() {
  App& app = App::Current();
  IgnoreErrors([&] { app.SetMousePointer(forms::vbHourglass); });
  IgnoreErrors([&] { SSConfig.SetTabCaption(1, core::gProgramAlias); });
  IgnoreErrors([&] { txtProgramDir.SetText(core::gAppDir); });
  IgnoreErrors([&] { txtUserDir.SetText(core::gUserDir); });
  IgnoreErrors([&] { txtCaptureDir.SetText(core::gCaptureDir); });
  IgnoreErrors([&] {
    txtConfigDir.SetText(
        core::ParseLR(vb::UCase(vb::Trim(core::gMainIniPath)), "Left", "VELMORA.INI"));
  });
  IgnoreErrors([&] { txtKepDataDir.SetText(core::gKepDataDir); });
  IgnoreErrors([&] { txtKepAppDir.SetText(core::gKepAppDir); });
  IgnoreErrors([&] { txtKepPrivateDir.SetText(core::gKepPrivateDir); });
  IgnoreErrors([&] { txtLastCopy.SetText(core::gLastCopy); });
  IgnoreErrors([&] { ckbTrashcan.SetValue(BoolToCheck(core::gbTrashcan)); });
  IgnoreErrors([&] { ckbAutoDelete.SetValue(BoolToCheck(core::gbAutoDelete)); });
  IgnoreErrors([&] { ckbPreviewCopyPics.SetValue(core::gPreviewCopyPics); });
  IgnoreErrors([&] { ckbRedux.SetValue(BoolToCheck(core::gbRedux)); });
  IgnoreErrors([&] { txtPixelX.SetText(std::to_string(core::gResolX)); });
  IgnoreErrors([&] { txtPixelY.SetText(std::to_string(core::gResolY)); });
  IgnoreErrors([&] { txtQuality.SetText(std::to_string(core::gJpegQuality)); });
  IgnoreErrors([&] { txtBrightness.SetText(std::to_string(core::gBrightness)); });
  // The option's click takes its index into gScreenSize, so an unknown size becomes 0.
  IgnoreErrors([&] {
    const int size = core::gScreenSize;
    optScreen[size > 0 && size <= 5 ? size : 0].SetValue(true);
  });
  IgnoreErrors([&] { ckbButtons.SetValue(core::gbUseButtons ? 0 : 1); });
  IgnoreErrors([&] { app.SetMousePointer(forms::vbDefault); });
}

// ---- Buttons -------------------------------------------------------------------------------

void frmSetup::cmdOK_Click() {
  Unload();  // the closing step asks about unsaved changes
}

// A save that could not write the INI file keeps the window open, with the change still marked.
void frmSetup::cmdSave_Click() {
  cmdOK.SetEnabled(false);
  cmdCancel.SetEnabled(false);
  const bool saved = SaveConfigControls();
  if (saved) bConfigChanged = vbFalse;
  cmdOK.SetEnabled(true);
  cmdCancel.SetEnabled(true);
  if (saved) Unload();
}

void frmSetup::cmdCancel_Click() {
  cmdSave.SetEnabled(false);
  cmdOK.SetEnabled(false);
  core::gScreenSize = screenSizeAtOpen_;
  LoadConfigControls();
  cmdSave.SetEnabled(true);
  cmdOK.SetEnabled(true);
}

void frmSetup::cmdAbout_Click() {
  ShowAboutBox();
}

void frmSetup::Command1_Click() {
  ShowGenView();
}

void frmSetup::optScreen_Click(int Index) {
  MarkChanged();
  core::gScreenSize = static_cast<std::int16_t>(Index);
}

// ---- Folder boxes --------------------------------------------------------------------------

void frmSetup::txtProgramDir_GotFocus() {
  SSConfig.SetTab(0);
}

void frmSetup::txtProgramDir_LostFocus() {
  FolderLostFocus(txtProgramDir, core::gAppDir,
                  "Chaning the Program Directory could cause " + core::gProgramAlias +
                      " to stop functioning. Do you wish to change?");
}

void frmSetup::txtUserDir_LostFocus() {
  FolderLostFocus(txtUserDir, core::gUserDir,
                  "Chaning the User Directory could cause " + core::gProgramAlias +
                      " to stop functioning (until reloading). Do you wish to change?");
}

void frmSetup::FolderLostFocus(forms::TextBox& box, const std::string& setting,
                               const std::string& question) {
  std::string typed = vb::UCase(box.Text());
  std::string current = vb::UCase(setting);
  if (core::StripRChar(typed) == core::StripRChar(current)) return;
  if (App::Current().MsgBox(question, forms::vbYesNo) == forms::vbYes)
    MarkChanged();
  else
    box.SetText(setting);
}

// ---- Number boxes --------------------------------------------------------------------------

void frmSetup::txtPixelX_Change() {
  PixelChange(txtPixelX, core::gResolX);
}

void frmSetup::txtPixelY_Change() {
  PixelChange(txtPixelY, core::gResolY);
}

// While typing only the upper bound is refused; a short number may still be growing.
void frmSetup::PixelChange(forms::TextBox& box, std::int32_t setting) {
  const double value = BoxValue(box.Text());
  if (value > 1000) {
    App::Current().MsgBox(kPixelMessage, forms::vbOKOnly);
    box.SetText(std::to_string(setting));
    FocusBack(box);
  } else if (ValidPixels(value)) {
    if (value != setting) MarkChanged();
  } else {
    FocusBack(box);
  }
}

void frmSetup::txtPixelX_LostFocus() {
  PixelLostFocus(txtPixelX, core::gResolX);
}

void frmSetup::txtPixelY_LostFocus() {
  PixelLostFocus(txtPixelY, core::gResolY);
}

void frmSetup::PixelLostFocus(forms::TextBox& box, std::int32_t setting) {
  if (refocusing_) return;
  const double value = BoxValue(box.Text());
  if (!ValidPixels(value)) {
    App::Current().MsgBox(kPixelMessage, forms::vbOKOnly);
    box.SetText(std::to_string(setting));
    FocusBack(box);
  } else if (value != setting) {
    MarkChanged();
  }
}

void frmSetup::txtQuality_LostFocus() {
  NumberLostFocus(txtQuality, ValidQuality, core::gJpegQuality, kQualityMessage);
}

void frmSetup::txtBrightness_LostFocus() {
  NumberLostFocus(txtBrightness, ValidBrightness, core::gBrightness, kBrightnessMessage);
}

// A refused quality or brightness keeps its text, so the user can correct it.
void frmSetup::NumberLostFocus(forms::TextBox& box, bool (*valid)(double), double setting,
                               const char* message) {
  if (refocusing_) return;
  const double value = BoxValue(box.Text());
  if (!valid(value)) {
    App::Current().MsgBox(message, forms::vbOKOnly);
    FocusBack(box);
  } else if (value != setting) {
    MarkChanged();
  }
}

void frmSetup::FocusBack(forms::TextBox& box) {
  if (refocusing_) return;
  refocusing_ = true;
  try {
    box.SetFocus();  // 5 when the box cannot take it (hidden page, window closing)
  } catch (const vb::VbError&) {
  }
  refocusing_ = false;
}

// ---- Closing -------------------------------------------------------------------------------

void frmSetup::Form_Unload(int& Cancel) {
  core::RunEvent("Form_Unload", [this, &Cancel] {
    if (!bConfigChanged) return;
    App& app = App::Current();
    const int answer = app.MsgBox("Changes have been made to configuration. Save Changes?",
                                  forms::vbYesNoCancel, "Save Configuration Changes?");
    if (answer == forms::vbYes) {
      if (!SaveConfigControls()) Cancel = 1;  // not written: the window stays open
      return;
    }
    // Nothing was applied but the layout size, which an option click sets at once.
    core::gScreenSize = screenSizeAtOpen_;
    app.MsgBox("Configuration has been restored to pre-existing settings", forms::vbOKOnly,
               "Configuration restored");
  });
}

void ShowSetup() {
  forms::FormInstance<frmSetup>().Show(forms::vbModal);
}

}  // namespace tools
