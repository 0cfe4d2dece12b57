// Picture and store paths of kep.exe: on Windows a Windows path names the file itself.  The
// stand-in's texts are UTF-8 (what it reads from its report files and gets over DDE), while a
// narrow std::filesystem::path is read in the C library's code page: convert through UTF-16.

// clang-format off
#include <windows.h>
// clang-format on

#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace winfs {

std::filesystem::path ToHost(const std::string& winPath) {
  if (winPath.empty()) vb::Raise(vb::kBadFileName);
  const int size = static_cast<int>(winPath.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, winPath.data(), size, nullptr, 0);
  if (n <= 0) vb::Raise(vb::kBadFileName);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, winPath.data(), size, wide.data(), n);
  return std::filesystem::path(wide);
}

std::optional<std::string> ToWindows(const std::filesystem::path& host) {
  std::error_code ec;
  const std::wstring wide = std::filesystem::absolute(host, ec).wstring();
  if (ec) return std::nullopt;
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

}  // namespace winfs
