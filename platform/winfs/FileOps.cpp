// The VB file statements on Windows paths.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/Faults.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {
namespace {

namespace fs = std::filesystem;

// The folder whose writes fail, and the error they raise (see InjectWriteError).
std::string g_failingFolder;
int g_failingError = 0;

// Raises the injected error for a write into the failing folder.
void RaiseWhenInjected(const fs::path& host) {
  if (g_failingFolder.empty()) return;
  const std::string p = host.lexically_normal().string();
  if (p.compare(0, g_failingFolder.size(), g_failingFolder) == 0) vb::Raise(g_failingError);
}

// stat() of an existing path; 53 or 76 when it is missing.
struct stat StatOrRaise(const fs::path& host) {
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) detail::RaiseHost(errno, host);
  return st;
}

bool ReadOnly(const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0;
}

// Splits "C:\\A\\*.JPG" into "C:\\A\\" and "*.JPG".
std::pair<std::string, std::string> SplitName(const std::string& winPath) {
  const size_t sep = winPath.find_last_of("\\/");
  if (sep != std::string::npos) return {winPath.substr(0, sep + 1), winPath.substr(sep + 1)};
  if (winPath.size() >= 2 && winPath[1] == ':') return {winPath.substr(0, 2), winPath.substr(2)};
  return {"", winPath};
}

void DeleteFile(const fs::path& host) {
  struct stat st {};
  if (::lstat(host.c_str(), &st) != 0) detail::RaiseHost(errno, host);
  if (S_ISDIR(st.st_mode)) vb::Raise(vb::kFileNotFound);
  struct stat target {};
  if (::stat(host.c_str(), &target) == 0 && ReadOnly(target)) vb::Raise(vb::kPathFileAccess);
  if (::unlink(host.c_str()) != 0) detail::RaiseHost(errno, host);
}

void KillMatching(const std::string& winPath) {
  auto [folder, mask] = SplitName(winPath);
  if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) folder += ".";
  const fs::path dir = ToHost(folder);
  bool any = false;
  for (const std::string& name : ListFiles(folder)) {
    if (!detail::MatchesMask(name, mask)) continue;
    // The listed name's own host entry (a host name may hold a private-use character itself).
    DeleteFile(dir / detail::FindEntry(dir, name).value_or(HostName(name)));
    any = true;
  }
  if (!any) vb::Raise(vb::kFileNotFound);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

namespace detail {
// Copies a host file; defined in Copy.cpp.
void CopyHostFile(const fs::path& src, const fs::path& dst);
}  // namespace detail

bool FileExists(const std::string& winPath) {
  try {
    std::error_code ec;
    return fs::is_regular_file(ToHost(winPath), ec);
  } catch (const vb::VbError&) {
    return false;
  }
}

bool DirExists(const std::string& winPath) {
  try {
    std::error_code ec;
    return fs::is_directory(ToHost(winPath), ec);
  } catch (const vb::VbError&) {
    return false;
  }
}

long long FileLen(const std::string& winPath) {
  const struct stat st = StatOrRaise(ToHost(winPath));
  if (S_ISDIR(st.st_mode)) vb::Raise(vb::kFileNotFound);
  return static_cast<long long>(st.st_size);
}

std::time_t FileDateTime(const std::string& winPath) {
  return StatOrRaise(ToHost(winPath)).st_mtime;
}

void SetAttr(const std::string& winPath, unsigned attrs) {
  if (attrs & ~(kReadOnly | kHidden | kSystem | kArchive)) vb::Raise(vb::kInvalidProcedureCall);
  const fs::path host = ToHost(winPath);
  const struct stat st = StatOrRaise(host);
  mode_t mode = st.st_mode & 07777;
  mode = (attrs & kReadOnly) ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
  if (mode != (st.st_mode & 07777) && ::chmod(host.c_str(), mode) != 0) {
    detail::RaiseHost(errno, host);
  }
}

void FileCopy(const std::string& src, const std::string& dst) {
  const fs::path from = ToHost(src);
  const struct stat srcStat = StatOrRaise(from);
  if (S_ISDIR(srcStat.st_mode)) vb::Raise(vb::kPathFileAccess);
  fs::path to = ToHost(dst);
  struct stat dstStat {};
  if (::stat(to.c_str(), &dstStat) == 0) {
    if (S_ISDIR(dstStat.st_mode) || ReadOnly(dstStat)) vb::Raise(vb::kPathFileAccess);
    if (SameFile(srcStat, dstStat)) vb::Raise(vb::kPermissionDenied);
    if (::access(to.c_str(), W_OK) != 0) vb::Raise(vb::kPathFileAccess);
    std::error_code ec;
    if (fs::is_symlink(to, ec)) to = fs::canonical(to, ec);  // write through the link
    if (ec) detail::RaiseHost(ec.value(), to);
  } else if (!detail::ParentExists(to)) {
    vb::Raise(vb::kPathNotFound);
  }
  RaiseWhenInjected(to);
  detail::CopyHostFile(from, to);
}

void Kill(const std::string& winPath) {
  if (HasWildcards(SplitName(winPath).second)) {
    KillMatching(winPath);
  } else {
    DeleteFile(ToHost(winPath));
  }
}

void MkDir(const std::string& winPath) {
  const fs::path host = ToHost(winPath);
  RaiseWhenInjected(host / "");
  if (::mkdir(host.c_str(), 0777) == 0) return;
  if (errno == EEXIST) vb::Raise(vb::kPathFileAccess);
  if (errno == ENOENT) vb::Raise(vb::kPathNotFound);
  detail::RaiseHost(errno, host);
}

std::string CurDir() {
  return CurDir(detail::kCurrentDrive);
}

std::string CurDir(char drive) {
  return detail::Format({detail::CheckLetter(drive), {}});
}

void InjectWriteError(const std::string& winFolder, int error) {
  g_failingFolder.clear();
  g_failingError = error;
  if (winFolder.empty() || error == 0) return;
  g_failingFolder = (ToHost(winFolder) / "").lexically_normal().string();
}

}  // namespace winfs
