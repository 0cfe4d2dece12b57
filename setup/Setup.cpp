// The program folder, the INI folder and the first VELMORA.INI.

#include "setup/Setup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "core/modVelmod.h"
#include "platform/profile/Profile.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"
#include "setup/Install.h"

namespace setup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kIniDir = "C:\\APPRAISE";
constexpr const char* kMainIni = "C:\\APPRAISE\\VELMORA.INI";
constexpr const char* kHelpFile = "Velmora.chm";

struct IniValue {
  const char* section;
  const char* key;
  const char* value;
};

// The settings of a first VELMORA.INI: the defaults the program reads when a key is missing,
// written out so that the user finds every setting in the file.
const IniValue kFirstIni[] = {
    {"PRODUCT INFO", "COMPANY NAME", core::defaults::kCompanyName},
    {"PRODUCT INFO", "TECHPHONE", core::defaults::kTechPhone},
    {"PROGRAM ALIAS", "CORVANE VELMORA", core::defaults::kProgramAlias},
    {"DIRECTORIES", "APPDIR", core::defaults::kAppDir},
    {"DIRECTORIES", "USERDIR", core::defaults::kUserDir},
    {"DIRECTORIES", "CAPTUREDIR", core::defaults::kCaptureDir},
    {"PREFERENCES", "SCREENSIZE", "0"},
    {"PREFERENCES", "USEBUTTONS", "0"},
    {"PREFERENCES", "PREVIEWCOPYPICS", "1"},
    {"PREFERENCES", "IMAGE TYPE", "JPG"},
    {"PREFERENCES", "TRASHCAN", "1"},
    {"PREFERENCES", "AUTODELETE", "1"},
    {"PREFERENCES", "QUALITY", "95"},
    {"PREFERENCES", "BRIGHTNESS", "0"},
    {"PREFERENCES", "REDUX", "1"},
    {"PREFERENCES", "RESOLX", "800"},
    {"PREFERENCES", "RESOLY", "600"},
    {"COPY DEVICE", "LASTCOPY", ""},
};

// Captions offered for general photos until the user keeps a list of his own.
const char* const kGeneralViews[] = {
    "Street Scene", "Front View", "Rear View",   "Side View", "Living Room", "Kitchen",
    "Bathroom",     "Bedroom",    "Family Room", "Basement",  "Garage",      "Additional View",
};

// The compiled help only documents the program and follows it; the user may have edited any
// other file of the program folder (the reference data, the placeholder picture).
Existing ExistingProgramFile(const std::string& name) {
  return name == kHelpFile ? Existing::kReplaceWhenDifferent : Existing::kKeepOfferNew;
}

bool HasContent(const fs::path& host) {
  std::error_code ec;
  return fs::is_regular_file(host, ec) && fs::file_size(host, ec) > 0 && !ec;
}

// Builds the INI beside its final place and renames it in, so that a setup that stops half-way
// never leaves a partial VELMORA.INI that a later run would keep.
void WriteFirstIni(const fs::path& host) {
  const fs::path tmp = host.parent_path() / ".VELMORA.INI.new";
  std::error_code ec;
  fs::remove(tmp, ec);
  bool ok = true;
  for (const auto& v : kFirstIni) {
    ok = ok && profile::WritePrivateProfileString(v.section, v.key, v.value, tmp);
  }
  int n = 1;
  for (const char* caption : kGeneralViews) {
    const std::string key = "GENERALVIEW" + std::to_string(n++);
    ok = ok && profile::WritePrivateProfileString("GENERAL VIEWS", key, caption, tmp);
  }
  if (ok) fs::rename(tmp, host, ec);
  if (!ok || ec) {
    fs::remove(tmp, ec);
    const int number = winfs::ErrnoToVb(ec ? ec.value() : EIO);
    throw vb::VbError(number, vb::ErrorText(number) + ": " + kMainIni);
  }
}

void CheckResources(const fs::path& resources) {
  for (const char* needed : {"program/empty.jpg", "demo/velmod.dat"}) {
    std::error_code ec;
    if (!fs::is_regular_file(resources / needed, ec)) {
      throw std::runtime_error("resources folder " + resources.string() + " lacks " + needed);
    }
  }
}

// Run from the build tree, the program files lack the help file: the one this build compiled is
// taken instead.
void InstallBuiltHelp(const fs::path& resources, const std::string& appDir, std::ostream& log) {
#ifdef VELMORA_BUILT_HELP
  std::error_code ec;
  const fs::path built = VELMORA_BUILT_HELP;
  if (fs::exists(resources / "program" / kHelpFile, ec) || !fs::is_regular_file(built, ec)) return;
  InstallFile(built, JoinWin(appDir, kHelpFile), ExistingProgramFile(kHelpFile), log);
#else
  (void)resources, (void)appDir, (void)log;
#endif
}

}  // namespace

fs::path FindResources() {
  auto usable = [](const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "program" / "empty.jpg", ec);
  };
  if (const char* env = std::getenv("VELMORA_RESOURCES"); env && *env) return env;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path installed = (exe.parent_path() / ".." / "share" / "velmora").lexically_normal();
    if (usable(installed)) return installed;
  }
#ifdef VELMORA_SOURCE_DIR
  fs::path source = fs::path(VELMORA_SOURCE_DIR) / "resources";
  if (usable(source)) return source;
#endif
  return {};
}

void InstallProgram(const fs::path& resources, std::ostream& log) {
  CheckResources(resources);
  const std::string appDir = core::defaults::kAppDir;
  EnsureDir(appDir, log);
  // Everything under program/ (the placeholder picture, the help file when there is one).
  std::error_code ec;
  for (fs::directory_iterator it(resources / "program", ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    const std::string name = it->path().filename().string();
    InstallFile(it->path(), JoinWin(appDir, name), ExistingProgramFile(name), log);
  }
  InstallFile(resources / "demo" / "velmod.dat", JoinWin(appDir, "velmod.dat"),
              Existing::kKeepOfferNew, log);
  InstallBuiltHelp(resources, appDir, log);
  EnsureDir(core::defaults::kUserDir, log);
  EnsureDir(core::defaults::kCaptureDir, log);

  EnsureDir(kIniDir, log);
  const fs::path ini = winfs::ToHost(kMainIni);
  if (HasContent(ini)) {
    log << "  kept " << kMainIni << "\n";
  } else {
    WriteFirstIni(ini);
    log << "  wrote " << kMainIni << "\n";
  }
}

void Run(const Options& options, std::ostream& log) {
  if (options.resources.empty()) throw std::runtime_error("no resources folder found");
  log << "resources " << options.resources.string() << "\n";
  if (!options.winePrefix.empty()) AdoptWinePrefix(options.prefix, options.winePrefix, log);
  MakePrefix(options.prefix, log);
  LinkRemovableMedia(options.mediaRoots, log);
  InstallProgram(options.resources, log);
  if (options.demo) InstallDemo(options, log);
}

}  // namespace setup
