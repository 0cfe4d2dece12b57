// The active prefix and the current folders.

#include <pwd.h>
#include <unistd.h>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <system_error>

#include "platform/vbrt/CodePage.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {
namespace {

struct State {
  std::mutex mutex;
  bool prefixSet = false;
  std::filesystem::path prefix;
};

State& TheState() {
  static State state;
  return state;
}

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

// The registry key line, lower-cased, as Wine writes it into system.reg.
constexpr std::string_view kCodepageKey =
    "[system\\\\currentcontrolset\\\\control\\\\nls\\\\codepage]";

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The number of a value line "\"ACP\"=\"1250\"", 0 when the line is another value.
int AcpValue(const std::string& lowerLine) {
  constexpr std::string_view kName = "\"acp\"=\"";
  if (!lowerLine.starts_with(kName)) return 0;
  return std::atoi(lowerLine.c_str() + kName.size());
}

void MakeDirs(const std::filesystem::path& p) {
  std::error_code ec;
  std::filesystem::create_directories(p, ec);
  if (ec) detail::RaiseHost(ec.value(), p);
}

}  // namespace

std::filesystem::path DefaultPrefix() {
  if (const char* env = std::getenv("VELMORA_PREFIX"); env && *env) return env;
  // The base directory spec ignores relative XDG values.
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
    return std::filesystem::path(xdg) / "velmora";
  }
  return HomeFolder() / ".local" / "share" / "velmora";
}

void UsePrefix(const std::filesystem::path& p) {
  State& s = TheState();
  {
    std::lock_guard lock(s.mutex);
    s.prefix = std::filesystem::absolute(p).lexically_normal();
    s.prefixSet = true;
    vb::SetAnsiCodePage(PrefixAnsiCodePage(s.prefix));
  }
}

const std::filesystem::path& ActivePrefix() {
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  if (!s.prefixSet) {
    s.prefix = std::filesystem::absolute(DefaultPrefix()).lexically_normal();
    s.prefixSet = true;
    vb::SetAnsiCodePage(PrefixAnsiCodePage(s.prefix));
  }
  return s.prefix;
}

int PrefixAnsiCodePage(const std::filesystem::path& p) {
  std::ifstream reg(p / "system.reg", std::ios::binary);
  bool inKey = false;
  for (std::string line; std::getline(reg, line);) {
    if (line.starts_with("[")) {
      if (inKey) break;
      inKey = Lower(line).starts_with(kCodepageKey);
    } else if (inKey) {
      if (const int acp = AcpValue(Lower(line))) return acp;
    }
  }
  return 1252;
}

void CreatePrefix(const std::filesystem::path& p) {
  namespace fs = std::filesystem;
  // A Wine prefix has them as "windows\system32": find them whatever their case.
  fs::path system = p / "drive_c";
  for (const char* name : {"WINDOWS", "SYSTEM32"}) {
    system /= detail::FindEntry(system, name).value_or(name);
  }
  MakeDirs(system);
  const fs::path dev = p / "dosdevices";
  MakeDirs(dev);
  const std::pair<const char*, const char*> links[] = {{"c:", "../drive_c"}, {"z:", "/"}};
  for (const auto& [name, target] : links) {
    std::error_code ec;
    if (fs::is_symlink(dev / name, ec) || fs::exists(dev / name, ec)) continue;
    fs::create_directory_symlink(target, dev / name, ec);
    if (ec) detail::RaiseHost(ec.value(), dev / name);
  }
}

bool IsWinePrefix(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p / "system.reg", ec) &&
         std::filesystem::is_directory(p / "dosdevices", ec);
}

}  // namespace winfs
