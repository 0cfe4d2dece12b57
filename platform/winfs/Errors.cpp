// POSIX errno -> VB error numbers, as a VB program on Windows would see them.

#include <cerrno>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {

int ErrnoToVb(int err, bool parentMissing) {
  switch (err) {
    case ENOENT:
      return parentMissing ? vb::kPathNotFound : vb::kFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return vb::kPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENOTEMPTY:
      return vb::kPathFileAccess;
    case EROFS:
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return vb::kPermissionDenied;
    case ENOSPC:
    case EDQUOT:
      return vb::kDiskFull;
    case EIO:
      return vb::kDeviceIO;
    case ENOMEDIUM:
    case ENXIO:
    case ENODEV:
      return vb::kDiskNotReady;
    case EEXIST:
      return vb::kFileAlreadyExists;
    case EMFILE:
    case ENFILE:
      return vb::kTooManyFiles;
    case EXDEV:
      return vb::kRenameDifferentDrive;
    case EILSEQ:
    case EINVAL:
      return vb::kBadFileName;
    case ENOMEM:
      return vb::kOutOfMemory;
    default:
      return vb::kPathFileAccess;
  }
}

void RaiseFromErrno(int err, const std::string& winPath, bool parentMissing) {
  throw vb::VbError(ErrnoToVb(err, parentMissing)).AboutFile(winPath);
}

namespace detail {

bool ParentExists(const fs::path& host) {
  std::error_code ec;
  return fs::is_directory(host.parent_path(), ec);
}

namespace {

// Errors a path under a drive whose medium was taken out meets.
bool MediumMayHaveGone(int err) {
  return err == ENOENT || err == ENOTDIR || err == EIO || err == ESTALE;
}

}  // namespace

void RaiseHost(int err, const fs::path& host) {
  if (MediumMayHaveGone(err)) {
    const std::optional<char> drive = DriveOf(host);
    if (drive && !DriveReady(*drive)) vb::Raise(vb::kDiskNotReady);
  }
  vb::Raise(ErrnoToVb(err, err == ENOENT && !ParentExists(host)));
}

}  // namespace detail
}  // namespace winfs
