#pragma once
// The configuration window: the program, user, capture and last-copy folders, the picture
// switches, the target picture size, JPEG quality and brightness, the main-window layout size
// and whether dialogs show text buttons.  KEP's three folders and the INI folder are shown
// read-only.
//
// The window works on the program-wide settings directly and writes VELMORA.INI only when the
// user saves (the "&Save" button, or Yes to the closing question).  The one exception is the
// layout size: a click on an option takes effect in gScreenSize at once, so the opener compares
// gScreenSize before and after and lays the main window out again when it changed.
//
// The procedures are split over two files:
//   frmSetup.cpp       loading, the event handlers, the checks while editing, closing
//   frmSetup_Save.cpp  applying the controls to the settings and writing the INI file

#include <cstdint>
#include <string>

#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"

namespace tools {

class frmSetup : public forms::Form {
 public:
  frmSetup();

  // ---- Tab control: page 0 folders, page 1 the program's options (caption gProgramAlias)
  forms::TabControl SSConfig{*this, "SSConfig"};

  // ---- Page 0: one labelled box per folder; the KEP and INI folders are read-only
  forms::Label lblProgramDir{*this, "lblProgramDir"};
  forms::TextBox txtProgramDir{*this, "txtProgramDir"};
  forms::Label lblUserDir{*this, "lblUserDir"};
  forms::TextBox txtUserDir{*this, "txtUserDir"};
  forms::Label lblCaptureDir{*this, "lblCaptureDir"};
  forms::TextBox txtCaptureDir{*this, "txtCaptureDir"};
  forms::Label lblConfigDir{*this, "lblConfigDir"};
  forms::TextBox txtConfigDir{*this, "txtConfigDir"};
  forms::Label lblKepDataDir{*this, "lblKepDataDir"};
  forms::TextBox txtKepDataDir{*this, "txtKepDataDir"};
  forms::Label lblKepAppDir{*this, "lblKepAppDir"};
  forms::TextBox txtKepAppDir{*this, "txtKepAppDir"};
  forms::Label lblKepPrivateDir{*this, "lblKepPrivateDir"};
  forms::TextBox txtKepPrivateDir{*this, "txtKepPrivateDir"};
  forms::Label lblLastCopy{*this, "lblLastCopy"};
  forms::TextBox txtLastCopy{*this, "txtLastCopy"};

  // ---- Page 1, frame "Images"
  forms::Frame fraSettings{*this, "fraSettings"};
  forms::CheckBox ckbPreviewCopyPics{*this, "ckbPreviewCopyPics"};
  forms::CheckBox ckbAutoDelete{*this, "ckbAutoDelete"};
  forms::CheckBox ckbTrashcan{*this, "ckbTrashcan"};

  // ---- Page 1, frame "Image Qualities"
  forms::Frame fraImageQuality{*this, "fraImageQuality"};
  forms::Label lblDefaults{*this, "lblDefaults"};
  forms::CheckBox ckbRedux{*this, "ckbRedux"};
  forms::Label lblPixelX{*this, "lblPixelX"};
  forms::TextBox txtPixelX{*this, "txtPixelX"};
  forms::Label lblPixelY{*this, "lblPixelY"};
  forms::TextBox txtPixelY{*this, "txtPixelY"};
  forms::Label lblQuality{*this, "lblQuality"};
  forms::TextBox txtQuality{*this, "txtQuality"};
  forms::Label lblBrightness{*this, "lblBrightness"};
  forms::TextBox txtBrightness{*this, "txtBrightness"};

  // ---- Page 1, frame "Reset Program Screen Resolution": options 0..5, 0 and 1 hidden
  forms::Frame fraScreenSize{*this, "fraScreenSize"};
  forms::ControlArray<forms::OptionButton> optScreen{*this, "optScreen"};

  // ---- Page 1, frame "Configure Views"
  forms::Frame fraConfigure{*this, "fraConfigure"};
  forms::CommandButton cmdAbout{*this, "cmdAbout"};
  forms::CommandButton Command1{*this, "Command1"};  // "Edit General Views"
  forms::CheckBox ckbButtons{*this, "ckbButtons"};   // ticked: text buttons hidden

  // ---- Buttons below the tabs
  forms::CommandButton cmdOK{*this, "cmdOK"};  // "&Exit"
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::CommandButton cmdSave{*this, "cmdSave"};

  // Something in this window differs from the settings.
  core::VbBool bConfigChanged = core::vbFalse;

  // Check-box value 1 for True, else 0 (also the INI text "1"/"0").
  static int BoolToCheck(core::VbBool value);
  static core::VbBool CheckToBool(int value);
  // The number a box holds: the leading number of its text (0 when there is none), rounded to
  // the whole number the setting would take.  A text whose number cannot be represented gives
  // NaN, which every range check refuses.
  static double BoxValue(const std::string& text);
  // The valid values of the number boxes, the same for checking and for saving.
  static bool ValidPixels(double v) { return v >= 50 && v <= 1000; }
  static bool ValidQuality(double v) { return v > 0 && v <= 100; }
  static bool ValidBrightness(double v) { return v > -100 && v < 100; }
  // gScreenSize to save for the selected option (index order, first selected; none: 2).
  static std::int16_t ScreenSizeForOption(int selectedIndex);

  void LoadConfigControls();
  // False when the INI file could not be written (the user has been told).
  bool SaveConfigControls();
  bool WriteConfigINI();

 protected:
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;

 private:
  void BindEvents();
  void cmdOK_Click();
  void cmdSave_Click();
  void cmdCancel_Click();
  void cmdAbout_Click();
  void Command1_Click();
  void optScreen_Click(int Index);
  void txtProgramDir_GotFocus();
  void txtProgramDir_LostFocus();
  void txtUserDir_LostFocus();
  void txtPixelX_Change();
  void txtPixelY_Change();
  void txtPixelX_LostFocus();
  void txtPixelY_LostFocus();
  void txtQuality_LostFocus();
  void txtBrightness_LostFocus();
  void MarkChanged() { bConfigChanged = core::vbTrue; }

  // Shared bodies of the per-box handlers.
  void FolderLostFocus(forms::TextBox& box, const std::string& setting,
                       const std::string& question);
  void PixelChange(forms::TextBox& box, std::int32_t setting);
  void PixelLostFocus(forms::TextBox& box, std::int32_t setting);
  void NumberLostFocus(forms::TextBox& box, bool (*valid)(double), double setting,
                       const char* message);
  // Gives the focus back to a box whose value was refused.  A box that loses the focus because
  // of this does not check its own value, so two refused boxes cannot pass the focus back and
  // forth for ever.
  void FocusBack(forms::TextBox& box);
  static bool MakeFolder(const std::string& typed, const forms::Label& label,
                         const std::string& setting);
  static void ApplyFolder(const forms::TextBox& box, const forms::Label& label,
                          std::string& setting);

  bool refocusing_ = false;
  // gScreenSize when the window opened: an option click changes it at once, and closing or
  // cancelling without saving puts it back.
  std::int16_t screenSizeAtOpen_ = 0;
};

// Shows the configuration window modally.  The caller sets gbSetupOpen around the call and
// compares gScreenSize before and after it.
void ShowSetup();

}  // namespace tools
