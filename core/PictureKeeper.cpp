#include "core/PictureKeeper.h"

#include <optional>
#include <string_view>
#include <vector>

#include "core/ErrTrap.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace core {

namespace {

std::string Upper(const std::string& path) {
  return vb::UCase(vb::Trim(path));
}

// The folder, upper-cased, with one trailing "\"; "" stays "".
std::string FolderKey(const std::string& folder) {
  std::string f = Upper(folder);
  if (!f.empty() && f.back() != '\\') f += '\\';
  return f;
}

// The file's folder with its trailing "\", upper-cased; "" without one.
std::string FolderOf(const std::string& path) {
  const std::string p = Upper(path);
  const std::string::size_type cut = p.find_last_of('\\');
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string LeafOf(const std::string& path) {
  const std::string p = vb::Trim(path);
  return p.substr(p.find_last_of('\\') + 1);
}

bool LiesUnder(const std::string& path, const std::string& folder) {
  const std::string f = FolderKey(folder);
  return !f.empty() && Upper(path).compare(0, f.size(), f) == 0;
}

// The capture folder, without the trash folder the strip may show.
std::string CaptureFolder() {
  return FolderKey(StripTrashcan(FolderKey(gCaptureDir)));
}

// The pictures the open report names, as "OBJECT|PATH" pairs upper-cased.
std::vector<std::pair<std::string, std::string>> ReportPictures() {
  std::vector<std::pair<std::string, std::string>> out;
  for (const std::string& entry : vb::Split(gReportImages, ";")) {
    const std::size_t bar = entry.find('|');
    if (bar == std::string::npos) continue;
    const std::string path = Upper(entry.substr(bar + 1));
    if (!path.empty()) out.emplace_back(Upper(entry.substr(0, bar)), path);
  }
  return out;
}

bool IsDeviceError(int number) {
  return number == vb::kDeviceIO || number == vb::kDiskFull || number == vb::kDeviceUnavailable ||
         number == vb::kDiskNotReady;
}

// Copies the file into the trash folder and reads the copy back; false (nothing changed but
// perhaps a copy that did not come out whole, which goes again) when that cannot be done.
bool CopyIntoTrash(const std::string& path, const KeepIntent& intent, KeepAnswer& answer) {
  Trap trap("SendToTrashCan");
  // A full disk or a device that fails goes to the error report (Retry may help); anything
  // else leaves, and the caller says which folder could not be written.
  trap.OnError([](const vb::VbError& e) -> std::optional<int> {
    if (IsDeviceError(e.Number())) return std::nullopt;
    return kLeave;
  });
  const std::string trash = TrashFolderOf(intent.base.empty() ? gCaptureDir : intent.base);
  answer.folder = trash;
  if (!trap.Step([&] {
        if (!winfs::DirExists(trash)) winfs::MkDir(trash.substr(0, trash.size() - 1));
      })) {
    return false;
  }
  gCurrentProc = "SendToTrashCan";  // the helpers record their own names
  std::string target;
  const std::string leaf = intent.leaf.empty() ? vb::UCase(LeafOf(path)) : intent.leaf;
  if (!trap.Step([&] { target = FreeCopyName(trash, path, leaf); })) return false;
  bool made = false;
  trap.Step([&] {
    made = !SameFileBytes(path, target);
    if (made) winfs::FileCopy(path, target);
  });
  if (!SameFileBytes(path, target)) {
    if (made && winfs::FileExists(target)) {
      try {
        winfs::Kill(target);  // a copy cut short by a full disk is no copy
      } catch (const vb::VbError&) {
      }
    }
    return false;
  }
  answer.copy = target;
  answer.made = made;
  answer.folder.clear();
  return true;
}

// Deletes the file (a read-only one after clearing its attributes); false, with the error's
// number, when it stays.
bool RemoveFile(const std::string& path, int* error) {
  try {
    try {
      winfs::Kill(path);
    } catch (const vb::VbError& e) {
      if (e.Number() != vb::kPathFileAccess && e.Number() != vb::kPermissionDenied) throw;
      winfs::SetAttr(path, winfs::kNormal);
      winfs::Kill(path);
    }
  } catch (const vb::VbError& e) {
    if (error != nullptr) *error = e.Number();
    return false;
  }
  return true;
}

}  // namespace

// ---- The trash folder --------------------------------------------------------------------------

bool IsTrashFolder(const std::string& folder) {
  const std::string f = FolderKey(folder);
  const std::string tail = std::string("\\") + kTrashName + "\\";
  return f.size() >= tail.size() && f.compare(f.size() - tail.size(), tail.size(), tail) == 0;
}

std::string TrashFolderOf(const std::string& folder) {
  std::string f = vb::Trim(folder);
  if (!f.empty() && f.back() != '\\') f += '\\';
  return IsTrashFolder(f) ? f : f + kTrashName + "\\";
}

bool IsInTrash(const std::string& path) {
  return IsTrashFolder(FolderOf(path));
}

std::string FreeCopyName(const std::string& folder, const std::string& file,
                         const std::string& leaf) {
  const std::string::size_type dot = leaf.find_last_of('.');
  const std::string stem = leaf.substr(0, dot);
  const std::string ext = dot == std::string::npos ? std::string() : leaf.substr(dot);
  for (int n = 1; n < 1000; ++n) {
    const std::string name = n == 1 ? leaf : stem + " (" + std::to_string(n) + ")" + ext;
    std::string path = folder + name;
    // The file itself is never its own copy.
    if (!file.empty() && Upper(path) == Upper(file)) continue;
    if (!winfs::FileExists(path) || (!file.empty() && SameFileBytes(file, path))) return path;
  }
  vb::Raise(vb::kPathFileAccess);
}

// ---- Whose file it is --------------------------------------------------------------------------

bool IsPictureName(const std::string& path) {
  const std::string leaf = Upper(LeafOf(path));
  const std::string::size_type dot = leaf.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::string ext = leaf.substr(dot + 1);
  for (const char* known : {"JPG", "JPEG", "BMP", "TIF", "TIFF", "GIF", "PNG"}) {
    if (ext == known) return true;
  }
  return false;
}

bool ReportNames(const std::string& path, const std::string& exceptObject) {
  const std::string wanted = Upper(path);
  const std::string except = Upper(exceptObject);
  for (const auto& [object, picture] : ReportPictures()) {
    if (picture == wanted && (except.empty() || object != except)) return true;
  }
  return false;
}

bool ReportHoldsBytesOf(const std::string& path) {
  const std::string self = Upper(path);
  for (const auto& entry : ReportPictures()) {
    if (entry.second != self && SameFileBytes(entry.second, path)) return true;
  }
  return false;
}

bool InKepStore(const std::string& path) {
  if (IsInTrash(path)) return false;
  if (LiesUnder(path, gKepDataDir)) return true;
  const std::string folder = FolderOf(path);
  if (folder.empty() || folder == FolderKey(gUserDir) || folder == CaptureFolder()) return false;
  for (const auto& entry : ReportPictures()) {
    if (FolderOf(entry.second) == folder) return true;
  }
  return false;
}

bool IsOurs(const std::string& path) {
  if (!IsPictureName(path)) return false;
  if (FolderOf(path) == FolderKey(gAppDir) && Upper(LeafOf(path)) == "EMPTY.JPG") return false;
  // The user and capture folders themselves (and the capture folder's trash), not folders
  // below them: the user folder may be the program folder.
  const std::string folder = FolderOf(path);
  return folder == FolderKey(gUserDir) || folder == CaptureFolder() ||
         folder == FolderKey(TrashFolderOf(CaptureFolder())) || LiesUnder(path, gKepDataDir) ||
         InKepStore(path);
}

bool IsGuarded(const std::string& path, const std::string& exceptObject) {
  return ReportNames(path, exceptObject) || InKepStore(path);
}

// ---- Keeping -----------------------------------------------------------------------------------

KeepAnswer KeepPicture(const std::string& file, const KeepIntent& intent) {
  KeepAnswer answer;
  const std::string path = vb::Trim(file);
  if (path.empty() || !winfs::FileExists(path)) {
    answer.outcome = KeepOutcome::Missing;
    return answer;
  }
  // A picture of the trash folder is kept where it lies, unless the caller replaces it.
  if (IsInTrash(path) && !intent.replace && !intent.userAsked) {
    answer.copy = path;
    answer.outcome = intent.remove ? KeepOutcome::Stayed : KeepOutcome::Done;
    return answer;
  }
  if (intent.keep && !intent.userAsked && !CopyIntoTrash(path, intent, answer)) {
    answer.outcome = KeepOutcome::Failed;
    return answer;
  }
  if (!intent.remove) return answer;
  const bool kept = intent.userAsked || !answer.copy.empty();
  if (!kept || IsGuarded(path, intent.exceptObject) || (!intent.userAsked && !IsOurs(path))) {
    answer.outcome = KeepOutcome::Stayed;
    return answer;
  }
  answer.removed = RemoveFile(path, nullptr);
  if (!answer.removed) answer.outcome = KeepOutcome::Stayed;
  return answer;
}

KeepOutcome DeleteForUser(const std::string& file, int* error) {
  const std::string path = vb::Trim(file);
  if (!winfs::FileExists(path)) return KeepOutcome::Missing;
  if (IsGuarded(path)) return KeepOutcome::Stayed;
  return RemoveFile(path, error) ? KeepOutcome::Done : KeepOutcome::Failed;
}

}  // namespace core
