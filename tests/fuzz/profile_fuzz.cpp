// Reads and edits arbitrary bytes as an INI file.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/profile/Profile.h"

namespace {

const std::filesystem::path& FuzzFile() {
  static const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                            ("profile_fuzz_" + std::to_string(::getpid()) + ".ini");
  return file;
}

void Read(const char* section, const char* key) {
  char small[8];
  char big[512];
  profile::GetPrivateProfileString(section, key, "def  ", small, sizeof small, FuzzFile());
  profile::GetPrivateProfileString(section, key, nullptr, big, sizeof big, FuzzFile());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(FuzzFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Read("App", "key");
  Read("section1", "name1");
  Read(" a ", "=");
  char list[64];
  profile::GetPrivateProfileString(std::nullopt, std::nullopt, "", list, sizeof list, FuzzFile());
  profile::GetPrivateProfileString("App", std::nullopt, "", list, sizeof list, FuzzFile());
  profile::ReadValue(FuzzFile(), "App", "key");

  // One edit, derived from the input so every kind gets exercised.
  int kind = size ? data[0] % 3 : 0;
  if (kind == 0) profile::WritePrivateProfileString("App", "key", "value", FuzzFile());
  if (kind == 1) profile::WritePrivateProfileString("App", "key", std::nullopt, FuzzFile());
  if (kind == 2) profile::WritePrivateProfileString("App", std::nullopt, std::nullopt, FuzzFile());
  Read("App", "key");
  std::filesystem::remove(FuzzFile());
  return 0;
}
