#include "tools/PictureLists.h"

#include <cstdint>

#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "tools/DialogCommon.h"

namespace tools {

using forms::App;

PictureLists::PictureLists(forms::DriveListBox& drive, forms::DirListBox& folders,
                           forms::FileListBox& files, forms::CheckBox& previewBox,
                           forms::Gear& preview)
    : drive_(drive), folders_(folders), files_(files), previewBox_(previewBox), preview_(preview) {}

std::string PictureLists::ListFolder() const {
  return core::CkRSlash(files_.Path());
}

void PictureLists::ExpectMediaErrorsOnLoad(core::Trap& trap) {
  trap.Expect({vb::kBadFileName, vb::kDeviceUnavailable}, [this](const vb::VbError&) {
    if (App::Current().MsgBox("Media is not ready/readable. Try again?", forms::vbYesNo) ==
        forms::vbYes)
      return core::kRetry;
    OpenIniDrive();
    return core::kLeave;
  });
}

void PictureLists::ShowPreviewSetting() {
  preview_.SetVisible(core::gPreviewCopyPics == 1);
  if (core::gPreviewCopyPics >= 0 && core::gPreviewCopyPics <= 2)
    previewBox_.SetValue(core::gPreviewCopyPics);
}

void PictureLists::OpenIniDrive() {
  const std::string drive = core::GetFileDrive(core::gIniDir);
  IgnoreErrors([&] { drive_.SetDrive(drive); });
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([&] { folders_.SetPath(drive); });
  IgnoreErrors([] { DoEvents(); });
}

bool PictureLists::OpenPickedDrive() {
  const std::string keep = vb::Left(folders_.Path(), 1);
  try {
    folders_.SetPath(vb::Left(drive_.Drive(), 2));
    return true;
  } catch (const vb::VbError& e) {
    if (e.Number() == vb::kBadFileName)
      App::Current().MsgBox("Media is not ready/readable.", forms::vbOKOnly);
    else if (e.Number() == vb::kDeviceUnavailable)
      App::Current().MsgBox("Media appears to be unreadable or not inserted properly.",
                            forms::vbOKOnly);
    IgnoreErrors([&] { drive_.SetDrive(keep); });
    return false;
  }
}

void PictureLists::MarkWhere(const std::function<bool(int)>& selected) {
  core::gPreviewCopyPics = 0;
  for (int i = 0; i < files_.ListCount(); ++i) files_.SetSelected(i, selected(i));
  core::gPreviewCopyPics = static_cast<std::int16_t>(previewBox_.Value());
}

void PictureLists::MarkAll(bool selected) {
  MarkWhere([selected](int) { return selected; });
}

void PictureLists::SelectAllAndPreview() {
  App& app = App::Current();
  app.SetMousePointer(forms::vbHourglass);
  MarkAll(true);
  if (files_.ListCount() >= 1)
    core::ErrLoadPict(preview_, ListFolder() + files_.List(files_.ListIndex()));
  app.SetMousePointer(forms::vbDefault);
}

void PictureLists::ClearAll() {
  MarkAll(false);
  core::ErrClearPict(preview_);
}

void PictureLists::PreviewBoxClicked() {
  preview_.SetVisible(previewBox_.Value() == 1);
  core::gPreviewCopyPics = static_cast<std::int16_t>(previewBox_.Value());
}

}  // namespace tools
