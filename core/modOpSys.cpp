#include "core/modOpSys.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/forms/App.h"
#include "platform/profile/Profile.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace core {

namespace {

constexpr const char* kContinueProgram =
    ". DO you wish to coninue? (Program may not function correctly)";
constexpr const char* kContinueKep =
    ". DO you wish to coninue? (You will not be able to transfer pictures into the appraisal "
    "program)";

// The host file of an INI path; nullopt when the path cannot name a file (a bad name, a drive
// that is not there), which reads as a missing file and makes a write fail.
std::optional<std::filesystem::path> IniHostPath(const std::string& file) {
  try {
    return winfs::ToHost(file);
  } catch (const vb::VbError&) {
    return std::nullopt;
  }
}

// Asks whether to go on without a configuration file; any answer but Yes ends the program.
void AskToContinue(const std::string& prompt) {
  forms::App& app = forms::App::Current();
  if (app.MsgBox(prompt, forms::vbYesNoCancel, "Configuration File Missing") != forms::vbYes) {
    app.End();
  }
}

std::string MissingPrompt(const std::string& what, bool oneLocation, const std::string& winFolder,
                          const char* ending) {
  std::string prompt = what + " configuration file is missing from " + gIniDir;
  prompt += oneLocation ? " " : " (primary location) and " + winFolder + " (secondary location)";
  return prompt + ending;
}

}  // namespace

std::string GetIniDir() {
  return FindIniDir();
}

std::string FindIniDir() {
  const std::string dir = FindAppraisalDir();
  GetWinVersion();
  std::string iniDir;
  if (!gbOsVista) {
    iniDir = gAppraiseDir.empty() ? CkRSlash(GetWinDir()) : gAppraiseDir;
  } else if (gAppraiseDir.empty()) {
    iniDir = CkRSlash(dir);
    forms::App::Current().MsgBox(
        "Reinstall this program to correct INI placement and avoid potential configuration "
        "errors.",
        forms::vbOKOnly | forms::vbInformation, "NON-STANDARD INI FILE PLACEMENT");
  } else {
    iniDir = gAppraiseDir;
  }
  if (vb::Trim(iniDir).empty()) iniDir = CkRSlash(forms::App::Current().Path());
  return iniDir;
}

std::string FindAppraisalDir() {
  const std::string drive = GetFileDrive(GetSystemDir() + "changes.txt");
  const std::string candidate = vb::UCase(drive + "\\APPRAISE\\");
  std::string result;
  if (winfs::DirExists(candidate)) {
    gAppraiseDir = candidate;
    result = candidate;
  } else {
    gAppraiseDir.clear();
    result = CkRSlash(GetWinDir());
  }
  if (vb::Trim(result).empty() || result == "\\") {
    result = CkRSlash(forms::App::Current().Path());
  }
  return result;
}

std::string GetWinDir() {
  const std::string dir = winfs::WindowsDirectory();
  return dir.empty() ? std::string() : dir + "\\";
}

std::string GetSystemDir() {
  return winfs::SystemDirectory();
}

int GetWinVersion() {
  const int major = winfs::WindowsMajorVersion();
  gbOsVista = ToVbBool(major == 6);
  return major;
}

std::string FindConfigFile(const std::string& fileName, bool quiet) {
  if (vb::Trim(gIniDir).empty()) gIniDir = GetIniDir();
  const std::string name = vb::UCase(vb::Trim(fileName));
  std::string primary = vb::UCase(vb::Trim(gIniDir)) + name;
  const std::string winFolder = vb::UCase(vb::Trim(CkRSlash(GetWinDir())));
  std::string secondary = winFolder + name;
  if (FileExists(primary)) return primary;
  if (!quiet && !FileExists(secondary)) {
    AskToContinue(MissingPrompt(name, primary == secondary, winFolder, kContinueProgram));
  }
  return secondary;
}

void Check4KepIni(bool quiet) {
  if (vb::Trim(gIniDir).empty()) gIniDir = GetIniDir();
  gKepIniPath = vb::UCase(vb::Trim(gIniDir)) + "KEP.INI";
  const std::string winFolder = vb::UCase(vb::Trim(CkRSlash(GetWinDir())));
  const std::string alternative = winFolder + "KEP.INI";
  if (FileExists(gKepIniPath)) return;
  if (FileExists(alternative)) {
    gKepIniPath = CkRSlash(GetWinDir()) + "KEP.INI";
    return;
  }
  if (quiet) return;
  AskToContinue(MissingPrompt(std::string("Appraisal ") + "KEP.INI", alternative == gKepIniPath,
                              winFolder, kContinueKep));
}

std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue) {
  // The profile read cuts a value to the buffer, so the Windows program grows its buffer by
  // 256 characters until the value fits, which ends with the whole value.  The profile layer
  // hands that over at once from the file's parsed text.
  const std::filesystem::path host = IniHostPath(file).value_or(std::filesystem::path());
  return profile::ReadValue(host, section, key, defaultValue);
}

bool WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
  const auto host = IniHostPath(file);
  return host && profile::WritePrivateProfileString(section, key, value, *host);
}

void DeleteIniKey(const std::string& file, const std::string& section, const std::string& key) {
  if (auto host = IniHostPath(file)) {
    profile::WritePrivateProfileString(section, key, std::nullopt, *host);
  }
}

std::vector<std::string> IniKeyNames(const std::string& file, const std::string& section) {
  std::vector<std::string> names;
  const auto host = IniHostPath(file);
  if (!host) return names;
  std::vector<char> buffer(1024);
  std::size_t n = 0;
  for (;;) {
    n = profile::GetPrivateProfileString(section, std::nullopt, "", buffer.data(), buffer.size(),
                                         *host);
    if (n + 2 < buffer.size()) break;  // a list that fills the buffer may have been cut
    buffer.resize(buffer.size() * 2);
  }
  for (std::size_t start = 0; start < n;) {
    const std::string name(buffer.data() + start);
    start += name.size() + 1;
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

}  // namespace core
