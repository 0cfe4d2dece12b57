#include "tools/MediaCopy.h"

#include <string>
#include <utility>
#include <vector>

#include "core/PictureKeeper.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace tools {

namespace {

// False for a path on a drive that has no readable medium.
bool DriveAnswers(const std::string& path) {
  return !(path.size() >= 2 && path[1] == ':' && !winfs::DriveReady(path[0]));
}

// Windows' Dir raises 52 for a drive that has no readable medium.
void RaiseWhenDriveNotReady(const std::string& path) {
  if (!DriveAnswers(path)) vb::Raise(vb::kBadFileName);
}

// The folder with one trailing "\"; unlike CkRSlash it leaves gCurrentProc to the copy, so
// that an error report names the procedure that copies.
std::string FolderWithSlash(const std::string& folder) {
  std::string f = vb::Trim(folder);
  if (!f.empty() && f.back() != '\\') f += '\\';
  return f;
}

// At most this many names are listed in the note of what was not copied.
constexpr std::size_t kNamesListed = 10;

std::string NameList(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i)
    text += (i ? ", " : "") + names[i];
  if (names.size() > kNamesListed)
    text += " and " + std::to_string(names.size() - kNamesListed) + " more";
  return text;
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
    core::gErrAction =
        static_cast<std::int16_t>(core::ErrReport(e.Number(), e.DescriptionAndFile()));
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

bool CopyPictureList(core::Trap& trap, const std::string& folder,
                     const std::vector<std::string>& names,
                     const std::function<bool(bool copied)>& afterEach, CopyShortfall& shortfall) {
  const std::string src = FolderWithSlash(folder);
  for (auto it = names.begin(); it != names.end(); ++it) {
    const std::string& name = *it;
    bool copied = false, missing = false;
    const bool goesOn = trap.Step([&] {
      try {
        CopyPictureToCaptureDir(src, name);
        copied = true;
      } catch (vb::VbError& e) {
        // A picture gone from a folder that still answers is passed over and named at the end;
        // any other error goes to the trap, naming the picture when its drive went away.
        const bool answers = DriveAnswers(src);
        missing = (e.Number() == vb::kFileNotFound || e.Number() == vb::kPathNotFound) && answers &&
                  !winfs::FileExists(src + name);
        if (missing) return;
        if (e.File().empty() && !answers) e.AboutFile(src + name);
        throw;
      }
    });
    if (!goesOn) return false;
    if (missing) shortfall.missing.push_back(name);
    if (!copied && !missing) {
      // Ignored: the picture stays where it is.  A drive that no longer answers gives nothing
      // more, so the rest of the run is passed over with it.
      shortfall.why = vb::ErrorText(trap.LastError());
      const bool driveGone = !DriveAnswers(src);
      shortfall.unread.insert(shortfall.unread.end(), it, driveGone ? names.end() : it + 1);
      if (driveGone) return true;
    }
    if (!afterEach(copied)) return false;
  }
  return true;
}

void ReportShortfall(const std::string& folder, const CopyShortfall& shortfall) {
  std::string text;
  if (!shortfall.unread.empty())
    text = "Not copied from " + FolderWithSlash(folder) + " (" + shortfall.why +
           "): " + NameList(shortfall.unread) + ".";
  if (!shortfall.missing.empty())
    text += (text.empty() ? "" : "\r\n") + std::string("No longer in ") + FolderWithSlash(folder) +
            ", not copied: " + NameList(shortfall.missing) + ".";
  if (text.empty()) return;
  forms::App::Current().MsgBox(text, forms::vbOKOnly | forms::vbExclamation, "Pictures Not Copied");
}

// A name the capture directory already holds for another picture: the copy goes beside it under
// the keeper's free name.
void CopyPictureToCaptureDir(const std::string& folder, const std::string& name) {
  const std::string src = FolderWithSlash(folder) + name;
  const std::string target = core::FreeCopyName(FolderWithSlash(core::gCaptureDir), src, name);
  if (!core::SameFileBytes(src, target)) winfs::FileCopy(src, target);
}

}  // namespace tools
