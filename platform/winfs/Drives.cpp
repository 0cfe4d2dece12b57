// Drive letters: links in <prefix>/dosdevices, removable marks, readiness and labels.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fstream>
#include <mutex>
#include <set>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {
namespace {

namespace fs = std::filesystem;

std::string LinkName(char upper) {
  return std::string(1, static_cast<char>(upper - 'A' + 'a')) + ":";
}

fs::path RemovableFile() {
  return ActivePrefix() / "removable";
}

std::set<char> ReadRemovable() {
  std::set<char> letters;
  std::ifstream in(RemovableFile());
  char c;
  while (in.get(c)) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') letters.insert(c);
  }
  return letters;
}

// Writes `text` to `target` through a temporary file and a rename.
void ReplaceFile(const fs::path& target, const std::string& text) {
  const fs::path tmp = target.string() + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
      const int err = errno ? errno : EIO;
      std::error_code ec;
      fs::remove(tmp, ec);
      detail::RaiseHost(err, tmp);
    }
  }
  std::error_code ec;
  fs::rename(tmp, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    detail::RaiseHost(ec.value(), target);
  }
}

// A folder on a file system of its own (a card, a disc, a network share mounted there).
bool IsMountPoint(const fs::path& folder) {
  struct stat self {};
  struct stat parent {};
  if (::stat(folder.c_str(), &self) != 0) return false;
  if (::stat((folder / "..").c_str(), &parent) != 0) return false;
  return self.st_dev != parent.st_dev;
}

// The drive targets seen as mount points.  When a medium is taken out, the desktop unmounts it
// and removes the empty mount point a moment later (a fixed mount folder stays for good): a
// target seen mounted that is now a plain folder is a drive whose medium went.
class MountMemory {
 public:
  // False when the target was seen mounted and is a plain folder now.
  bool MediumPresent(char drive, const fs::path& target) {
    const bool mounted = IsMountPoint(target);
    const std::lock_guard<std::mutex> lock(mutex_);
    auto [seen, isNew] = seen_.try_emplace(drive, Seen{target, mounted});
    if (!isNew && seen->second.target != target) seen->second = Seen{target, mounted};
    if (mounted) seen->second.mounted = true;
    return mounted || !seen->second.mounted;
  }

 private:
  struct Seen {
    fs::path target;
    bool mounted = false;
  };
  std::mutex mutex_;
  std::map<char, Seen> seen_;
};

MountMemory& Mounts() {
  static MountMemory memory;
  return memory;
}

}  // namespace

namespace detail {

std::optional<char> DriveOf(const fs::path& host) {
  std::optional<char> best;
  size_t bestDepth = 0;
  for (const auto& [drive, target] : DriveLinks()) {
    auto [t, h] = std::mismatch(target.begin(), target.end(), host.begin(), host.end());
    if (t != target.end() && !(t->empty() && std::next(t) == target.end())) continue;
    const auto depth = static_cast<size_t>(std::distance(target.begin(), target.end()));
    if (best && depth <= bestDepth) continue;
    best = drive;
    bestDepth = depth;
  }
  return best;
}

char CheckLetter(char letter) {
  if (letter >= 'a' && letter <= 'z') return static_cast<char>(letter - 'a' + 'A');
  if (letter >= 'A' && letter <= 'Z') return letter;
  vb::Raise(vb::kInvalidProcedureCall);
}

fs::path DosDevices() {
  return ActivePrefix() / "dosdevices";
}

std::optional<fs::path> LinkTarget(char drive) {
  const fs::path link = DosDevices() / LinkName(drive);
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(link, ec);
  if (ec) return std::nullopt;
  if (fs::is_directory(st)) return link;
  if (!fs::is_symlink(st)) return std::nullopt;
  fs::path target = fs::read_symlink(link, ec);
  if (ec) return std::nullopt;
  if (target.is_relative()) target = DosDevices() / target;
  target = target.lexically_normal();
  if (target.has_relative_path() && !target.has_filename()) target = target.parent_path();
  return target;
}

fs::path DriveRoot(char drive) {
  const std::optional<fs::path> target = LinkTarget(drive);
  if (target && DriveReady(drive)) return *target;
  if (target || IsRemovable(drive)) vb::Raise(vb::kDiskNotReady);
  vb::Raise(vb::kPathNotFound);
}

}  // namespace detail

void LinkDrive(char letter, const fs::path& target) {
  const char drive = detail::CheckLetter(letter);
  const fs::path dev = detail::DosDevices();
  std::error_code ec;
  fs::create_directories(dev, ec);
  if (ec) detail::RaiseHost(ec.value(), dev);
  const fs::path link = dev / LinkName(drive);
  const fs::path tmp = dev / ("." + LinkName(drive) + ".tmp" + std::to_string(getpid()));
  fs::remove(tmp, ec);
  fs::create_directory_symlink(fs::absolute(target).lexically_normal(), tmp, ec);
  if (ec) detail::RaiseHost(ec.value(), tmp);
  fs::rename(tmp, link, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    detail::RaiseHost(ec.value(), link);
  }
}

std::map<char, fs::path> DriveLinks() {
  std::map<char, fs::path> links;
  for (char d = 'A'; d <= 'Z'; ++d) {
    if (auto target = detail::LinkTarget(d)) links.emplace(d, *target);
  }
  return links;
}

void SetRemovable(char letter, bool removable) {
  const char drive = detail::CheckLetter(letter);
  std::set<char> letters = ReadRemovable();
  if (removable == (letters.count(drive) > 0)) return;
  if (removable) {
    letters.insert(drive);
  } else {
    letters.erase(drive);
  }
  ReplaceFile(RemovableFile(), std::string(letters.begin(), letters.end()) + "\n");
}

bool IsRemovable(char letter) {
  return ReadRemovable().count(detail::CheckLetter(letter)) > 0;
}

std::vector<char> Drives() {
  std::set<char> letters = ReadRemovable();
  for (const auto& [d, target] : DriveLinks()) letters.insert(d);
  return {letters.begin(), letters.end()};
}

bool DriveReady(char letter) {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return false;
  const auto target = detail::LinkTarget(detail::CheckLetter(letter));
  std::error_code ec;
  return target && fs::is_directory(*target, ec) && access(target->c_str(), R_OK | X_OK) == 0 &&
         Mounts().MediumPresent(detail::CheckLetter(letter), *target);
}

std::string VolumeLabel(char letter) {
  const char drive = detail::CheckLetter(letter);
  if (!DriveReady(drive))
    vb::Raise(IsRemovable(drive) ? vb::kDiskNotReady : vb::kDeviceUnavailable);
  std::ifstream in(*detail::LinkTarget(drive) / ".windows-label", std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) return "";
  const size_t end = line.find_last_not_of(" \t\r\n");
  return end == std::string::npos ? "" : line.substr(0, end + 1);
}

}  // namespace winfs
