// Picture and store paths of kep.exe: on Windows a Windows path names the file itself.

#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace winfs {

std::filesystem::path ToHost(const std::string& winPath) {
  if (winPath.empty()) vb::Raise(vb::kBadFileName);
  return std::filesystem::path(winPath);
}

std::optional<std::string> ToWindows(const std::filesystem::path& host) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(host, ec);
  if (ec) return std::nullopt;
  return full.string();
}

}  // namespace winfs
