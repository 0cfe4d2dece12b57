#pragma once
// The bulk-delete window: deletes many pictures of one folder at once, typically every picture
// last modified on or before a chosen day.
//
// In:  gMaintCaption (window caption), gMaintDir (the folder; the opener shows the window only
//      when it exists), gPreviewCopyPics, gScreenSize, gbUseButtons, gIniDir.
// Out: gbMaintDeleted := True after a Delete in the main window's capture folder (also when
//      nothing was deleted), telling the opener to reload its thumbnail strip; gPreviewCopyPics
//      follows the preview box.  The opener clears the three gMaint* variables afterwards.
//
// Only the pictures the user confirmed are deleted: the question counts the selected entries,
// and exactly those files are deleted, whatever happens in the window meanwhile.

#include <string>
#include <vector>

#include "core/modVelmod.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DatePicker.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/vbrt/Dates.h"
#include "tools/PictureLists.h"

namespace tools {

class frmDelPics : public forms::Form {
 public:
  frmDelPics();

  // ---- Folder and its pictures
  forms::DriveListBox NewDrive{*this, "NewDrive"};
  forms::DirListBox newPath{*this, "newPath"};
  forms::Label lblFiller{*this, "lblFiller"};
  forms::FileListBox filListBox{*this, "filListBox"};  // "*.jpg;*.bmp", extended selection

  // ---- Date and preview
  forms::Label lblLoad{*this, "lblLoad"};
  forms::DatePicker DTPicker1{*this, "DTPicker1"};
  forms::Gear geaPreview{*this, "geaPreview"};
  forms::CheckBox ckbPicPreview{*this, "ckbPicPreview"};

  // ---- Commands: each text button with its picture button
  forms::Frame fraButtons{*this, "fraButtons"};
  forms::CommandButton cmdSelectAll{*this, "cmdSelectAll"};
  forms::Image imaSelectAll{*this, "imaSelectAll"};
  forms::CommandButton cmdClear{*this, "cmdClear"};
  forms::Image imaClear{*this, "imaClear"};
  forms::CommandButton cmdDelete{*this, "cmdDelete"};
  forms::Image imaDelete{*this, "imaDelete"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::Image imaCancel{*this, "imaCancel"};

  // The day the window was loaded (today at midnight).
  vb::Date dtLoadDate = 0;

  // True when the file was last modified on the picked day or earlier; false for a file whose
  // date cannot be read.  `today` is the day the differences are counted to.
  static bool IsOnOrBeforeDate(const std::string& path, const forms::CalendarDate& picked);
  static bool IsOnOrBeforeDate(const std::string& path, const forms::CalendarDate& picked,
                               vb::Date today);
  // The picker's first value: the same day one month back, with a date's usual carry
  // (31 March gives 3 March in a common year).
  static forms::CalendarDate DefaultPickDate(const forms::CalendarDate& today);

  // Compact layout sizes (gScreenSize = 1).
  static constexpr int kNormalHeight = 9100;
  static constexpr int kCompactHeight = 8400;
  static constexpr int kWidth = 11360;
  static constexpr int kCompactFolderHeight = 1590;

 protected:
  void Form_Load() override;

 private:
  void BindEvents();
  void LoadSteps();
  void PlaceWindow();
  void UseCompactLayout();

  void NewDrive_Change();
  void newPath_Click();
  void filListBox_Click();
  void DTPicker1_Change();
  void DTPicker1_CloseUp();
  void cmdSelectAll_Click();
  void cmdClear_Click();
  void cmdDelete_Click();
  void cmdCancel_Click();
  void ckbPicPreview_Click();

  void SelectByDate(const forms::CalendarDate& picked);
  // The selected pictures as full paths.
  std::vector<std::string> SelectedPictures() const;
  void DeleteConfirmed(const std::vector<std::string>& files);
  void MarkCaptureFolderChanged();

  PictureLists lists_{NewDrive, newPath, filListBox, ckbPicPreview, geaPreview};
};

// Shows the bulk-delete window modally.  The caller sets gMaintCaption and gMaintDir first and
// reads (then clears) gbMaintDeleted afterwards.
void ShowDelPics();

}  // namespace tools
