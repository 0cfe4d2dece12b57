#pragma once
// The settings of VELMORA.INI with the value the program takes when a key is missing.  The
// program reads its settings with these defaults; velmora-setup writes a first VELMORA.INI of
// them, in this order, so that the user finds every setting in the file.

#include <string_view>

#include "core/modVelmod.h"

namespace core {

struct SettingDefault {
  const char* section;
  const char* key;
  const char* value;
};

inline constexpr SettingDefault kSettingDefaults[] = {
    {"PRODUCT INFO", "COMPANY NAME", defaults::kCompanyName},
    {"PRODUCT INFO", "TECHPHONE", defaults::kTechPhone},
    {"PROGRAM ALIAS", "CORVANE VELMORA", defaults::kProgramAlias},
    {"DIRECTORIES", "APPDIR", defaults::kAppDir},
    {"DIRECTORIES", "USERDIR", defaults::kUserDir},
    {"DIRECTORIES", "CAPTUREDIR", defaults::kCaptureDir},
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

// The default of a setting of the table; "" for one it does not hold.
constexpr const char* DefaultOf(std::string_view section, std::string_view key) {
  for (const SettingDefault& s : kSettingDefaults) {
    if (section == s.section && key == s.key) return s.value;
  }
  return "";
}

}  // namespace core
