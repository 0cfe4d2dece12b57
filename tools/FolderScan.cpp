#include "tools/FolderScan.h"

#include <algorithm>
#include <system_error>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace tools {

namespace fs = std::filesystem;

namespace {

// As winfs lists them: a name starting with "." is hidden.
bool IsHidden(const std::string& name) {
  return !name.empty() && name[0] == '.';
}

[[noreturn]] void RaiseScanError(int err, const std::string& winPath) {
  if (winPath.size() >= 2 && winPath[1] == ':' && !winfs::DriveReady(winPath[0]))
    vb::Raise(vb::kDiskNotReady);
  winfs::RaiseFromErrno(err, winPath, true);
}

}  // namespace

FolderScan ScanFolder(const fs::path& host, const std::string& winPath,
                      const std::string& pattern) {
  FolderScan scan;
  std::error_code ec;
  fs::directory_iterator it(host, ec);
  if (ec) RaiseScanError(ec.value(), winPath);
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) RaiseScanError(ec.value(), winPath);
    std::string hostName = it->path().filename().string();
    std::string name = winfs::WindowsName(hostName);
    std::error_code typeError;
    // The entry's type comes with the listing; only links are followed to their target.
    if (it->is_directory(typeError)) {
      scan.subFolders.push_back({std::move(name), std::move(hostName)});
    } else if (!IsHidden(name) && it->is_regular_file(typeError) &&
               winfs::MatchesPattern(name, pattern)) {
      ++scan.matches;
    }
  }
  std::sort(scan.subFolders.begin(), scan.subFolders.end(),
            [](const FolderScan::SubFolder& a, const FolderScan::SubFolder& b) {
              return winfs::CompareNames(a.name, b.name) < 0;
            });
  return scan;
}

}  // namespace tools
