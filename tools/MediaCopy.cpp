#include "tools/MediaCopy.h"

#include <utility>

#include "core/PictureKeeper.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace tools {

namespace {

// Windows' Dir raises 52 for a drive that has no readable medium.
void RaiseWhenDriveNotReady(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':' && !winfs::DriveReady(path[0]))
    vb::Raise(vb::kBadFileName);
}

// The folder with one trailing "\"; unlike CkRSlash it leaves gCurrentProc to the copy, so
// that an error report names the procedure that copies.
std::string FolderWithSlash(const std::string& folder) {
  std::string f = vb::Trim(folder);
  if (!f.empty() && f.back() != '\\') f += '\\';
  return f;
}

bool AskRetry(const std::string& prompt) {
  return forms::App::Current().MsgBox(prompt, forms::vbYesNo) == forms::vbYes;
}

}  // namespace

bool DirectoryLookupFinds(const std::string& path) {
  const std::string p = vb::Trim(path);
  if (p.empty()) return false;
  RaiseWhenDriveNotReady(p);
  return winfs::DirExists(p) || winfs::FileExists(p);
}

bool FolderHasPictures(const std::string& folder) {
  RaiseWhenDriveNotReady(folder);
  return !winfs::ListFiles(folder, "*.jpg").empty() || !winfs::ListFiles(folder, "*.bmp").empty();
}

void ExpectCopyMediaErrors(core::Trap& trap, std::function<void()> giveUp) {
  trap.OnError([giveUp = std::move(giveUp)](const vb::VbError& e) -> std::optional<int> {
    core::gErrAction = static_cast<std::int16_t>(core::ErrReport(e.Number(), e.Description()));
    std::string prompt;
    if (e.Number() == vb::kBadFileName) prompt = "Media is not ready/readable. Try again?";
    if (e.Number() == vb::kDeviceUnavailable)
      prompt = "Media appears to be unreadable or not inserted properly.  Try again?";
    if (prompt.empty()) return core::gErrAction;
    if (AskRetry(prompt)) return core::kRetry;
    giveUp();
    return core::kLeave;
  });
}

DefaultPointerOnExit::~DefaultPointerOnExit() {
  forms::App::Current().SetMousePointer(forms::vbDefault);
}

CopyStart StartCopy(core::Trap& trap, const std::string& src, const std::string& target) {
  forms::App& app = forms::App::Current();
  if (vb::UCase(vb::Trim(target)) == vb::UCase(vb::Trim(src))) {
    app.MsgBox("The Source and target directories are the same.  Copy ignored.", forms::vbOKOnly);
    return CopyStart::kLeft;
  }
  if (!trap.Step([&] { app.SetMousePointer(forms::vbHourglass); })) return CopyStart::kLeft;
  bool found = false;
  if (!trap.Step([&] { found = FolderHasPictures(src); })) return CopyStart::kLeft;
  return found ? CopyStart::kReady : CopyStart::kNoPictures;
}

// A name the capture directory already holds for another picture: the copy goes beside it under
// the keeper's free name.
void CopyPictureToCaptureDir(const std::string& folder, const std::string& name) {
  const std::string src = FolderWithSlash(folder) + name;
  const std::string target = core::FreeCopyName(FolderWithSlash(core::gCaptureDir), src, name);
  if (!core::SameFileBytes(src, target)) winfs::FileCopy(src, target);
}

}  // namespace tools
