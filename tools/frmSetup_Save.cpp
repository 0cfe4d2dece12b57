// Applying the configuration window's controls to the settings, and writing them to the
// program INI file.  Both ignore errors step by step: a setting or key that fails is skipped.
#include <string>
#include <utility>

#include "core/modOpSys.h"
#include "core/modVBCommon.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "tools/DialogCommon.h"
#include "tools/frmSetup.h"

namespace tools {

namespace {

std::string SwitchText(core::VbBool value) {
  return std::to_string(frmSetup::BoolToCheck(value));
}

}  // namespace

// A folder setting takes the box's text with a trailing "\" (as the settings loader gives it
// at the next start, so that names joined to it stay file names in that folder); a blank box
// leaves the setting as it was.  The folder is created, after telling the user, when missing.
void frmSetup::ApplyFolder(const forms::TextBox& box, std::string& setting) {
  std::string typed = box.Text();
  if (vb::Trim(typed).empty()) return;
  setting = core::CkRSlash(std::as_const(typed));
  core::MakeDirNotice(typed);
}

void frmSetup::SaveConfigControls() {
  forms::App& app = forms::App::Current();
  IgnoreErrors([&] { app.SetMousePointer(forms::vbHourglass); });
  IgnoreErrors([&] { ApplyFolder(txtProgramDir, core::gAppDir); });
  IgnoreErrors([&] { ApplyFolder(txtUserDir, core::gUserDir); });
  IgnoreErrors([&] { ApplyFolder(txtCaptureDir, core::gCaptureDir); });
  // The last-copy folder is kept as typed, as the loader reads it; blank means none.
  IgnoreErrors([&] {
    core::gLastCopy = txtLastCopy.Text();
    if (!vb::Trim(core::gLastCopy).empty()) {
      std::string folder = core::gLastCopy;
      core::MakeDirNotice(folder);
    }
  });
  IgnoreErrors([&] { core::gbTrashcan = CheckToBool(ckbTrashcan.Value()); });
  IgnoreErrors([&] { core::gbAutoDelete = CheckToBool(ckbAutoDelete.Value()); });
  IgnoreErrors(
      [&] { core::gPreviewCopyPics = static_cast<std::int16_t>(ckbPreviewCopyPics.Value()); });
  IgnoreErrors([&] { core::gbRedux = core::ToVbBool(ckbRedux.Value() != 0); });
  // Refused numbers leave their settings as they were.
  IgnoreErrors([&] {
    const double v = BoxValue(txtPixelX.Text());
    if (ValidPixels(v)) core::gResolX = vb::CLng(v);
  });
  IgnoreErrors([&] {
    const double v = BoxValue(txtPixelY.Text());
    if (ValidPixels(v)) core::gResolY = vb::CLng(v);
  });
  IgnoreErrors([&] {
    const double v = BoxValue(txtQuality.Text());
    if (ValidQuality(v)) core::gJpegQuality = vb::CInt(v);
  });
  IgnoreErrors([&] {
    const double v = BoxValue(txtBrightness.Text());
    if (ValidBrightness(v)) core::gBrightness = vb::CInt(v);
  });
  IgnoreErrors([&] {
    int selected = -1;
    for (int i = 0; i <= 5 && selected < 0; ++i)
      if (optScreen.Exists(i) && optScreen[i].Value()) selected = i;
    core::gScreenSize = ScreenSizeForOption(selected);
  });
  IgnoreErrors([&] { core::gbUseButtons = core::ToVbBool(ckbButtons.Value() != 1); });
  WriteConfigINI();
}

void frmSetup::WriteConfigINI() {
  auto write = [&](const char* section, const char* key, const std::string& value) {
    IgnoreErrors([&] { core::WriteIni(core::gMainIniPath, section, key, value); });
  };
  write("DIRECTORIES", "APPDIR", core::gAppDir);
  write("DIRECTORIES", "USERDIR", core::gUserDir);
  write("DIRECTORIES", "CAPTUREDIR", core::gCaptureDir);
  write("COPY DEVICE", "LASTCOPY", core::gLastCopy);
  write("PREFERENCES", "TRASHCAN", SwitchText(core::gbTrashcan));
  write("PREFERENCES", "AUTODELETE", SwitchText(core::gbAutoDelete));
  write("PREFERENCES", "PREVIEWCOPYPICS", std::to_string(core::gPreviewCopyPics));
  write("PREFERENCES", "REDUX", SwitchText(core::gbRedux));
  write("PREFERENCES", "RESOLX", std::to_string(core::gResolX));
  write("PREFERENCES", "RESOLY", std::to_string(core::gResolY));
  write("PREFERENCES", "QUALITY", std::to_string(core::gJpegQuality));
  write("PREFERENCES", "BRIGHTNESS", std::to_string(core::gBrightness));
  write("PREFERENCES", "SCREENSIZE", std::to_string(core::gScreenSize));
  write("PREFERENCES", "USEBUTTONS", SwitchText(core::gbUseButtons));
  write("PREFERENCES", "IMAGE TYPE", "JPG");
  IgnoreErrors([] { forms::App::Current().SetMousePointer(forms::vbDefault); });
}

}  // namespace tools
