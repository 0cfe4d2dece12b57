// What the program asks of the system: Windows folders and version, its own folder, Command$.

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <optional>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {
namespace {

namespace fs = std::filesystem;

struct SystemState {
  std::mutex mutex;
  std::string programFolder;  // empty: the real one
  std::optional<std::string> commandLine;
};

SystemState& TheSystem() {
  static SystemState state;
  return state;
}

fs::path VersionFile() {
  return ActivePrefix() / "winver";
}

std::pair<int, int> ReadVersion() {
  std::ifstream in(VersionFile());
  int major = 0, minor = 0;
  char dot = 0;
  if (in >> major && major > 0) {
    if (!(in >> dot >> minor) || dot != '.' || minor < 0) minor = 0;
    return {major, minor};
  }
  return {5, 1};
}

std::string Quote(const std::string& arg) {
  return arg.find_first_of(" \t") == std::string::npos ? arg : "\"" + arg + "\"";
}

// The process arguments after the program name, from /proc/self/cmdline.
std::string ProcessCommandLine() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string arg, out;
  bool first = true;
  while (std::getline(in, arg, '\0')) {
    if (first) {
      first = false;
      continue;
    }
    if (!out.empty()) out += ' ';
    out += Quote(arg);
  }
  return out;
}

}  // namespace

std::string WindowsDirectory() {
  return "C:\\WINDOWS";
}

std::string SystemDirectory() {
  return "C:\\WINDOWS\\SYSTEM32";
}

int WindowsMajorVersion() {
  return ReadVersion().first;
}

int WindowsMinorVersion() {
  return ReadVersion().second;
}

void SetWindowsVersion(int major, int minor) {
  if (major <= 0 || minor < 0) vb::Raise(vb::kInvalidProcedureCall);
  const fs::path file = VersionFile();
  std::ofstream out(file, std::ios::trunc);
  out << major << '.' << minor << '\n';
  out.close();
  if (!out) detail::RaiseHost(errno ? errno : EIO, file);
}

std::string ProgramFolder() {
  {
    SystemState& s = TheSystem();
    std::lock_guard lock(s.mutex);
    if (!s.programFolder.empty()) return s.programFolder;
  }
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  return ToWindows(exe.parent_path()).value_or("");
}

void SetProgramFolder(const std::string& winPath) {
  SystemState& s = TheSystem();
  std::lock_guard lock(s.mutex);
  s.programFolder = winPath;
}

std::string CommandLine() {
  SystemState& s = TheSystem();
  std::lock_guard lock(s.mutex);
  if (!s.commandLine) s.commandLine = ProcessCommandLine();
  return *s.commandLine;
}

void SetCommandLine(const std::string& text) {
  SystemState& s = TheSystem();
  std::lock_guard lock(s.mutex);
  s.commandLine = text;
}

}  // namespace winfs
