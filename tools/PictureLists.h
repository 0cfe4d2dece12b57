#pragma once
// The drive, folder and picture lists with their preview that the copy-from-media and the
// bulk-delete windows share.  The windows keep their own event procedures; these do the work.
//
// The pictures are those of the folder the file list shows: the folder list may highlight one
// folder and have another open, and the names listed exist only in the former.

#include <functional>
#include <string>

#include "core/ErrTrap.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FileControls.h"
#include "platform/forms/Gear.h"

namespace tools {

class PictureLists {
 public:
  PictureLists(forms::DriveListBox& drive, forms::DirListBox& folders, forms::FileListBox& files,
               forms::CheckBox& previewBox, forms::Gear& preview);

  // The folder of the listed pictures, with "\".
  std::string ListFolder() const;

  // Loading: the window's media errors (52, 68) ask "Media is not ready/readable. Try again?";
  // Yes retries the step, No leaves the lists on the INI folder's drive and the procedure.
  void ExpectMediaErrorsOnLoad(core::Trap& trap);
  // Loading: the preview shows when gPreviewCopyPics is 1; the box takes the setting when it is
  // a box value, any other number leaves it unticked.
  void ShowPreviewSetting();
  // Both lists on the INI folder's drive; errors are ignored.
  void OpenIniDrive();

  // A drive was picked: the folder list opens its root.  A drive without a readable medium
  // says so and the previous drive is put back (errors of that ignored).  False when the drive
  // was refused.
  bool OpenPickedDrive();

  // Marks the entries for which selected(index) is true and clears the others, with the preview
  // switched off meanwhile (the list's clicks must not load previews).
  void MarkWhere(const std::function<bool(int)>& selected);
  void MarkAll(bool selected);

  // Select all: every entry marked and the current picture previewed whatever the preview box
  // says.
  void SelectAllAndPreview();
  // Clear: every mark and the preview cleared.
  void ClearAll();
  // The preview box was clicked: the preview and gPreviewCopyPics follow it.
  void PreviewBoxClicked();

 private:
  forms::DriveListBox& drive_;
  forms::DirListBox& folders_;
  forms::FileListBox& files_;
  forms::CheckBox& previewBox_;
  forms::Gear& preview_;
};

}  // namespace tools
