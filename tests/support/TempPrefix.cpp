#include "tests/support/TempPrefix.h"

#include <stdlib.h>

#include <cctype>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "platform/winfs/WinFs.h"

namespace {
namespace fs = std::filesystem;
}  // namespace

TempPrefix::TempPrefix() : previous_(winfs::ActivePrefix()) {
  std::string pattern = (fs::temp_directory_path() / "velmora-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  winfs::CreatePrefix(Prefix());
  winfs::UsePrefix(Prefix());
}

TempPrefix::~TempPrefix() {
  winfs::UsePrefix(previous_);
  std::error_code ec;
  // Tests may leave read-only files and folders behind; make them removable first.
  for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
  }
  fs::remove_all(root_, ec);
}

fs::path TempPrefix::Host(const std::string& winPath) const {
  return winfs::ToHost(winPath);
}

fs::path TempPrefix::WriteFile(const std::string& winPath, const std::string& bytes) {
  const fs::path host = winfs::ToHost(winPath);
  fs::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + host.string());
  return host;
}

fs::path TempPrefix::MakeDir(const std::string& winPath) {
  const fs::path host = winfs::ToHost(winPath);
  fs::create_directories(host);
  return host;
}

fs::path TempPrefix::LinkExtraDrive(char letter) {
  const fs::path folder = root_ / (std::string("drive_") + static_cast<char>(std::tolower(letter)));
  fs::create_directories(folder);
  winfs::LinkDrive(letter, folder);
  return folder;
}

void TempPrefix::UnlinkDrive(char letter) {
  const std::string name{static_cast<char>(std::tolower(letter)), ':'};
  fs::remove(Prefix() / "dosdevices" / name);
}
