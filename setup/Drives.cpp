// The prefix and its drives: C: with a volume label, removable media as further letters.

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

#include "platform/winfs/WinFs.h"
#include "setup/Install.h"
#include "setup/Setup.h"

namespace setup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSystemLabel = "SYSTEM";

std::string UserName() {
  if (const char* user = std::getenv("USER"); user && *user) return user;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
  return {};
}

// Sub-folders of the media roots, sorted by path, as absolute normal paths.
std::vector<fs::path> MountedMedia(const std::vector<fs::path>& roots) {
  std::vector<fs::path> media;
  for (const auto& root : roots) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) continue;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code dirEc;
      if (it->is_directory(dirEc)) media.push_back(fs::absolute(it->path()).lexically_normal());
    }
  }
  std::sort(media.begin(), media.end());
  return media;
}

// The first letter from D: to Y: with no link and no removable mark; 0 when none is left.
char FreeLetter() {
  const auto links = winfs::DriveLinks();
  for (char letter = 'D'; letter <= 'Y'; ++letter) {
    if (!links.count(letter) && !winfs::IsRemovable(letter)) return letter;
  }
  return 0;
}

bool IsLinked(const fs::path& target) {
  for (const auto& [letter, linked] : winfs::DriveLinks()) {
    if (linked == target) return true;
  }
  return false;
}

}  // namespace

std::vector<fs::path> DefaultMediaRoots() {
  const std::string user = UserName();
  if (user.empty()) return {};
  return {fs::path("/media") / user, fs::path("/run/media") / user};
}

void AdoptWinePrefix(const fs::path& prefix, const fs::path& wine, std::ostream& log) {
  if (!winfs::IsWinePrefix(wine)) {
    throw std::runtime_error(wine.string() +
                             " is not a Wine prefix (no system.reg): start a Windows program in "
                             "it once, for example KEP's installer or winecfg");
  }
  const fs::path target = fs::absolute(wine).lexically_normal();
  std::error_code ec;
  if (fs::equivalent(prefix, target, ec)) {
    log << "prefix " << prefix.string() << " is the Wine prefix\n";
    return;
  }
  if (fs::exists(fs::symlink_status(prefix, ec))) {
    throw std::runtime_error(prefix.string() + " already holds another prefix: move it away, or " +
                             "give --prefix a new folder (and VELMORA_PREFIX the same to Velmora)");
  }
  if (prefix.has_parent_path()) fs::create_directories(prefix.parent_path());
  fs::create_directory_symlink(target, prefix);
  log << "linked prefix " << prefix.string() << " to the Wine prefix " << target.string() << "\n";
}

void MakePrefix(const fs::path& prefix, std::ostream& log) {
  const bool existed = fs::exists(prefix / "dosdevices");
  winfs::CreatePrefix(prefix);
  winfs::UsePrefix(prefix);
  log << (existed ? "prefix " : "created prefix ") << winfs::ActivePrefix().string() << "\n";
  // The system drive carries a label, as a formatted Windows disk does.
  WriteFileIfMissing("C:\\.windows-label", std::string(kSystemLabel) + "\n", log);
}

void LinkRemovableMedia(const std::vector<fs::path>& roots, std::ostream& log) {
  for (const auto& medium : MountedMedia(roots)) {
    if (IsLinked(medium)) continue;
    const char letter = FreeLetter();
    if (!letter) {
      log << "  no drive letter left for " << medium.string() << "\n";
      return;
    }
    winfs::LinkDrive(letter, medium);
    winfs::SetRemovable(letter, true);
    log << "  linked " << letter << ": to " << medium.string() << " (removable)\n";
  }
}

}  // namespace setup
