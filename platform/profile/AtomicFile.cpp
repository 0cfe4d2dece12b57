#include "platform/profile/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <fstream>
#include <random>

namespace profile::detail {
namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Creates a new, empty temporary file next to `target`; returns its descriptor or -1.
int CreateTemp(const std::filesystem::path& target, std::filesystem::path& tempPath) {
  std::random_device rd;
  for (int attempt = 0; attempt < 50; ++attempt) {
    tempPath =
        target.parent_path() / ("." + target.filename().string() + ".tmp" +
                                std::to_string(::getpid()) + "-" + std::to_string(rd() % 1000000));
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

bool WriteTemp(int fd, std::string_view data, const std::optional<FileOwner>& owner) {
  if (!WriteAll(fd, data)) return false;
  if (owner) {
    if (::fchown(fd, owner->uid, owner->gid) != 0) {
      // Not permitted for ordinary users; the file then belongs to the writer.
    }
    if (::fchmod(fd, owner->mode & 07777) != 0) return false;
  }
  return ::fsync(fd) == 0;
}

}  // namespace

ReadStatus ReadWholeFile(const std::filesystem::path& file, std::string& out) {
  std::error_code ec;
  auto status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) return ReadStatus::kMissing;
  if (std::filesystem::is_directory(status)) return ReadStatus::kFailed;
  std::ifstream in(file, std::ios::binary);
  if (!in) return ReadStatus::kFailed;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.bad() ? ReadStatus::kFailed : ReadStatus::kOk;
}

std::function<bool()>& BeforeReplaceHook() {
  static std::function<bool()> hook;
  return hook;
}

bool ReplaceFile(const std::filesystem::path& target, std::string_view data,
                 const std::optional<FileOwner>& owner) {
  std::filesystem::path temp;
  int fd = CreateTemp(target, temp);
  if (fd < 0) return false;
  bool ok = WriteTemp(fd, data, owner);
  ok = ::close(fd) == 0 && ok;
  if (ok && BeforeReplaceHook()) ok = BeforeReplaceHook()();
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(target.parent_path());
  return true;
}

}  // namespace profile::detail
