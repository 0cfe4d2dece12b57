#pragma once
// One reading of a folder for the picture search: its sub-folders in the folder list's order and
// the number of its files that match a pattern, from a single pass over the folder (no per-file
// status read).  The search walks host folders it already found, so only its starting folder is
// resolved from a Windows path.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tools {

struct FolderScan {
  struct SubFolder {
    std::string name;      // as the program sees it (winfs::WindowsName)
    std::string hostName;  // as it is on the host
  };
  std::vector<SubFolder> subFolders;  // list order (winfs::CompareNames); hidden ones too
  std::size_t matches = 0;            // files matching the pattern; hidden files left out
};

// Reads the host folder `host`, which is the Windows folder `winPath`.  Errors raise the VbError a
// listing of winPath raises: 71 when its drive is no longer ready, else the number of the host
// error (76 for a folder that went away, 70 or 75 for one that cannot be read).
FolderScan ScanFolder(const std::filesystem::path& host, const std::string& winPath,
                      const std::string& pattern);

}  // namespace tools
