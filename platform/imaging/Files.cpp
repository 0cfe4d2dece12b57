// File access for the picture engine: opening with VB error numbers, format
// sniffing and safe (temporary file + rename) writing.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "platform/imaging/Detail.h"
#include "platform/vbrt/VbError.h"

namespace imaging::detail {

namespace fs = std::filesystem;

namespace {

bool FolderExists(const fs::path& folder) {
  std::error_code ec;
  return folder.empty() || fs::is_directory(folder, ec);
}

[[noreturn]] void RaiseOpenError(int err, const fs::path& file) {
  switch (err) {
    case ENOENT:
      vb::Raise(FolderExists(file.parent_path()) ? vb::kFileNotFound : vb::kPathNotFound);
    case ENOTDIR:
      vb::Raise(vb::kPathNotFound);
    case ENAMETOOLONG:
      vb::Raise(vb::kBadFileName);
    case ENOSPC:
    case EDQUOT:
      vb::Raise(vb::kDiskFull);
    default:
      vb::Raise(vb::kPathFileAccess);
  }
}

void WriteAll(int fd, const std::vector<unsigned char>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : ENOSPC;
      vb::Raise(err == ENOSPC || err == EDQUOT ? vb::kDiskFull : vb::kDeviceIO);
    }
    done += std::size_t(n);
  }
}

mode_t NewFileMode(const fs::path& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Refuses targets a Windows program could not overwrite: folders and read-only files.
void CheckTargetWritable(const fs::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0) vb::Raise(vb::kPathFileAccess);
}

}  // namespace

File OpenForRead(const fs::path& file) {
  if (file.empty()) vb::Raise(vb::kFileNotFound);
  int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) RaiseOpenError(errno, file);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    vb::Raise(vb::kPathFileAccess);
  }
  std::FILE* f = ::fdopen(fd, "rb");
  if (!f) {
    ::close(fd);
    vb::Raise(vb::kOutOfMemory);
  }
  return File(f);
}

Format Sniff(std::FILE* f) {
  unsigned char head[4] = {};
  std::size_t n = std::fread(head, 1, sizeof head, f);
  std::rewind(f);
  if (n >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return Format::Jpeg;
  if (n >= 2 && head[0] == 'B' && head[1] == 'M') return Format::Bmp;
  if (n == 4 &&
      ((head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) && head[3] == 0) ||
       (head[0] == 'M' && head[1] == 'M' && head[2] == 0 && (head[3] == 42 || head[3] == 43))))
    return Format::Tiff;
  vb::Raise(vb::kInvalidPicture);
}

std::vector<unsigned char> ReadAll(std::FILE* f, std::size_t limit) {
  struct stat st {};
  if (::fstat(::fileno(f), &st) != 0) vb::Raise(vb::kDeviceIO);
  if (st.st_size < 0 || std::size_t(st.st_size) > limit) vb::Raise(vb::kInvalidPicture);
  std::vector<unsigned char> bytes(std::size_t(st.st_size));
  std::rewind(f);
  std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
  bytes.resize(n);
  return bytes;
}

void CheckDimensions(long long w, long long h) {
  if (w <= 0 || h <= 0 || w > (1LL << 30) || h > (1LL << 30) ||
      static_cast<unsigned long long>(w) * static_cast<unsigned long long>(h) > MaxPixels())
    vb::Raise(vb::kInvalidPicture);
}

void FitInside(int w, int h, int maxW, int maxH, int& outW, int& outH) {
  outW = w;
  outH = h;
  if (w <= maxW && h <= maxH) return;
  // Compare w/h with maxW/maxH without rounding: the tighter side decides.
  if (static_cast<long long>(w) * maxH >= static_cast<long long>(h) * maxW) {
    outW = maxW;
    outH = static_cast<int>((static_cast<long long>(h) * maxW + w / 2) / w);
  } else {
    outH = maxH;
    outW = static_cast<int>((static_cast<long long>(w) * maxH + h / 2) / h);
  }
  if (outW < 1) outW = 1;
  if (outH < 1) outH = 1;
}

Picture MakePicture(int w, int h, std::vector<std::uint32_t> px) {
  return Picture::FromPixels(w, h, std::move(px));
}

void WriteFileAtomically(const fs::path& file, const std::vector<unsigned char>& bytes) {
  if (file.empty() || !file.has_filename()) vb::Raise(vb::kBadFileName);
  fs::path folder = file.parent_path();
  if (!FolderExists(folder)) vb::Raise(vb::kPathNotFound);
  CheckTargetWritable(file);
  // Hidden temporary name beside the target: ".<name>.XXXXXX".
  std::string name(1, '.');
  name.append(file.filename().string()).append(".XXXXXX");
  std::string tmpl = folder.empty() ? name : (folder / name).string();
  int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  if (fd < 0) RaiseOpenError(errno, file);
  try {
    WriteAll(fd, bytes);
    if (::fchmod(fd, NewFileMode(file)) != 0 || ::fsync(fd) != 0) vb::Raise(vb::kDeviceIO);
    if (::close(fd) != 0) {
      fd = -1;
      vb::Raise(vb::kDeviceIO);
    }
    fd = -1;
    if (::rename(tmpl.c_str(), file.c_str()) != 0) RaiseOpenError(errno, file);
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmpl.c_str());
    throw;
  }
}

}  // namespace imaging::detail
