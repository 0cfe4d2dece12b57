#pragma once
// The copy-from-media window: pick a drive and folder (a camera card, a floppy, a CD or DVD),
// highlight pictures in the file list (optionally previewing the last one clicked) and copy
// them under their own names into the capture directory.
//
// In:  gCopyDialogCaption (window caption; the opener sets it to "Copy from MEDIA
//      (Camera/Floppy/CD/DVD) to " & gCaptureDir), gCaptureDir (copy target), gLastCopy (start
//      folder), gPreviewCopyPics, gScreenSize, gbUseButtons, gIniDir.
// Out: the copied pictures; gbRefreshThumbs := True once a picture was copied (the opener
//      clears it before and reloads its thumbnail strip when it is set); gLastCopy := the open
//      folder at closing (with "\"); gPreviewCopyPics follows the preview box.
//
// The pictures are copied from the folder the file list shows, which is also the folder the
// same-folder test and the preview use: the folder list may highlight one folder and have
// another open, and the names listed exist only in the former.

#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "tools/PictureLists.h"

namespace tools {

class frmPath : public forms::Form {
 public:
  frmPath();

  // ---- Folder and its pictures
  forms::DriveListBox NewDrive{*this, "NewDrive"};
  forms::DirListBox newPath{*this, "newPath"};
  forms::Label lblFill{*this, "lblFill"};
  forms::Line linPath{*this, "linPath"};
  forms::FileListBox filListBox{*this, "filListBox"};  // "*.jpg;*.bmp", extended selection

  // ---- Preview
  forms::CheckBox ckbPicPreview{*this, "ckbPicPreview"};
  forms::Label Label1{*this, "Label1"};
  forms::Label lblFill2{*this, "lblFill2"};
  forms::Gear geaPreview{*this, "geaPreview"};

  // ---- Commands: each text button with its picture button
  forms::Frame frabuttons{*this, "frabuttons"};
  forms::Image imaSelectAll{*this, "imaSelectAll"};
  forms::CommandButton cmdSelectAll{*this, "cmdSelectAll"};
  forms::Image imaClear{*this, "imaClear"};
  forms::CommandButton cmdClear{*this, "cmdClear"};
  forms::Image imaCopy{*this, "imaCopy"};
  forms::CommandButton cmdCopy{*this, "cmdCopy"};
  forms::Image imaCancel{*this, "imaCancel"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};

  // Compact layout (gScreenSize = 1).
  static constexpr int kCompactWidth = 11360;
  static constexpr int kCompactHeight = 8400;
  static constexpr int kCompactFolderHeight = 1590;

  // A picture was copied while the window was open (also by a run that stopped early).
  bool copiedSome = false;

 private:
  PictureLists lists_{NewDrive, newPath, filListBox, ckbPicPreview, geaPreview};

 protected:
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;

 private:
  void BindEvents();
  void LoadSteps();
  void PlaceWindow();
  void UseCompactLayout();

  void CmdCopy_Click();
  std::vector<std::string> SelectedNames() const;
  bool CopyPictures(core::Trap& trap, const std::string& src,
                    const std::vector<std::string>& names);
  void PutListsOnIniDriveRoot();
  void cmdCancel_Click();
  void cmdSelectAll_Click();
  void cmdClear_Click();
  void ckbPicPreview_Click();
  void filListBox_Click();
  void NewDrive_Change();
  void newPath_Click();
};

// Shows the copy-from-media window modally.  The caller sets gCopyDialogCaption and clears
// gbRefreshThumbs first, and reloads its thumbnails afterwards when gbRefreshThumbs is set.
void ShowMediaCopy();

}  // namespace tools
