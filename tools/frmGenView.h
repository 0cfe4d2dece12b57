#pragma once
// The general-view caption window: one master list of captions (program INI file, section
// "GENERAL VIEWS", keys GENERALVIEW1, GENERALVIEW2 ...) used two ways.
//
//   select mode (gbSetupOpen false): opened when a picture is dropped on a general or extended
//     photo slot; the user picks or types the caption, and the dropped picture is previewed.
//   list-edit mode (gbSetupOpen true): opened from the configuration window to add captions to
//     the list or delete them.
//
// In: gbSetupOpen, gDragSourcePath (preview), gScreenSize, gbUseButtons, gMainIniPath.
// Out: gGenViewCaption = the typed text after OK, "\CANCEL/" after Cancel, unchanged after the
// close box; gPreviewCopyPics follows the preview box.  After any Add or Delete the list is
// written back when the window closes, however it closes.

#include "core/modVelmod.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/TextBox.h"

namespace tools {

// The caption the window hands back after Cancel.
inline constexpr const char* kGenViewCancel = "\\CANCEL/";

class frmGenView : public forms::Form {
 public:
  frmGenView();

  forms::Label lblViews{*this, "lblViews"};
  forms::TextBox txtView{*this, "txtView"};
  forms::ListBox lstViews{*this, "lstViews"};
  forms::Gear geaPreview{*this, "geaPreview"};
  forms::CheckBox ckbPicPreview{*this, "ckbPicPreview"};
  forms::Label Label2{*this, "Label2"};
  forms::Frame frabuttons{*this, "frabuttons"};
  forms::CommandButton cmdAddView{*this, "cmdAddView"};
  forms::Image imaAdd{*this, "imaAdd"};
  forms::CommandButton cmdDelView{*this, "cmdDelView"};
  forms::Image imaDelView{*this, "imaDelView"};
  forms::CommandButton cmdOK{*this, "cmdOK"};
  forms::Image imaOK{*this, "imaOK"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::Image imaCancel{*this, "imaCancel"};

  // True once Add or Delete was pressed.
  core::VbBool bListChanged = core::vbFalse;

 protected:
  void Form_Load() override;
  void Form_QueryUnload(int& Cancel, int UnloadMode) override;
  void Form_Unload(int& Cancel) override;

 private:
  void PlaceWindow();
  void lstViews_Click();
  void lstViews_DblClick();
  void txtView_GotFocus();
  void cmdAddView_Click();
  void cmdDelView_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void ckbPicPreview_Click();
};

// Shows the caption window modally (its mode is taken from gbSetupOpen).
void ShowGenView();

}  // namespace tools
