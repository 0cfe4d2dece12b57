#include "platform/forms/Picture.h"

#include <cstdlib>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace forms {

StdPicture LoadPicture(const std::string& winPath) {
  if (winPath.empty()) return {};
  std::filesystem::path host = winfs::ToHost(winPath);
  if (!winfs::FileExists(winPath)) vb::Raise(vb::kFileNotFound, "LoadPicture");
  return StdPicture(imaging::Load(host), winPath);
}

std::filesystem::path ResourceDir() {
  if (const char* env = std::getenv("VELMORA_RESOURCES"); env && *env) return env;
  // An installed program keeps its resources in <prefix>/share/velmora beside bin/.
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    auto installed = exe.parent_path().parent_path() / "share" / "velmora";
    if (std::filesystem::is_directory(installed / "layouts", ec)) return installed;
  }
#ifdef VELMORA_SOURCE_DIR
  return std::filesystem::path(VELMORA_SOURCE_DIR) / "resources";
#else
  return "resources";
#endif
}

StdPicture LoadResourcePicture(const std::string& relPath) {
  std::filesystem::path host = ResourceDir() / relPath;
  std::error_code ec;
  if (relPath.empty() || !std::filesystem::is_regular_file(host, ec))
    vb::Raise(vb::kFileNotFound, "LoadPicture");
  return StdPicture(imaging::Load(host), "res:" + relPath);
}

}  // namespace forms
