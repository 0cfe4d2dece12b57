#include "platform/profile/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <fstream>
#include <random>
#include <string_view>

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

// Temporary files of `target` are named ".<name>.tmp<writer's pid>-<number>".
std::string TempPrefix(const std::filesystem::path& target) {
  return "." + target.filename().string() + ".tmp";
}

// The writer's pid in a temporary file name after its prefix; 0 when the rest is not
// "<pid>-<number>".
pid_t WriterOf(std::string_view rest) {
  const auto dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) return 0;
  const auto digits = [](std::string_view s) {
    return s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (!digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return 0;
  pid_t pid = 0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + dash, pid);
  return ec == std::errc() && end == rest.data() + dash ? pid : 0;
}

// A write that was killed before its rename leaves its temporary file behind: those of
// `target` whose writer no longer runs are removed.  Another process's write in progress, or
// one of this process's own, is left alone.
void RemoveStaleTemps(const std::filesystem::path& target) {
  const std::string prefix = TempPrefix(target);
  std::error_code ec;
  const auto folder = target.parent_path().empty() ? "." : target.parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(prefix)) continue;
    const pid_t writer = WriterOf(std::string_view(name).substr(prefix.size()));
    if (writer <= 0 || writer == ::getpid()) continue;
    if (::kill(writer, 0) == 0 || errno != ESRCH) continue;  // running (EPERM: another user's)
    if (!entry.is_directory(ec)) ::unlink(entry.path().c_str());
  }
}

// Creates a new, empty temporary file next to `target`; returns its descriptor or -1.
int CreateTemp(const std::filesystem::path& target, std::filesystem::path& tempPath) {
  std::random_device rd;
  for (int attempt = 0; attempt < 50; ++attempt) {
    tempPath = target.parent_path() / (TempPrefix(target) + std::to_string(::getpid()) + "-" +
                                       std::to_string(rd() % 1000000));
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
  RemoveStaleTemps(target);
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
