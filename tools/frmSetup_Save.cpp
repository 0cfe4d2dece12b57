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

// Creates a typed folder when it is missing, after telling the user.  A folder that cannot be
// made is refused: the user is told which, and that the setting named by the label stays.
bool frmSetup::MakeFolder(const std::string& typed, const forms::Label& label,
                          const std::string& setting) {
  std::string folder = typed;
  if (IgnoreErrors([&] { core::MakeDirNotice(folder); })) return true;
  forms::App::Current().MsgBox("Unable to create directory " + folder + ".  " + label.Caption() +
                                   " stays " + (setting.empty() ? "blank" : setting) + ".",
                               forms::vbOKOnly | forms::vbExclamation, "Creating Directory");
  return false;
}

// A folder setting takes the box's text with a trailing "\" (as the settings loader gives it
// at the next start, so that names joined to it stay file names in that folder); a blank box
// leaves the setting as it was.
void frmSetup::ApplyFolder(const forms::TextBox& box, const forms::Label& label,
                           std::string& setting) {
  const std::string typed = box.Text();
  if (vb::Trim(typed).empty()) return;
  if (MakeFolder(typed, label, setting)) setting = core::CkRSlash(typed);
}

// Applies the controls, then writes them.  False when the INI file could not be written; the
// user has been told.
bool frmSetup::SaveConfigControls() {
  forms::App& app = forms::App::Current();
  IgnoreErrors([&] { app.SetMousePointer(forms::vbHourglass); });
  IgnoreErrors([&] { ApplyFolder(txtProgramDir, lblProgramDir, core::gAppDir); });
  IgnoreErrors([&] { ApplyFolder(txtUserDir, lblUserDir, core::gUserDir); });
  IgnoreErrors([&] { ApplyFolder(txtCaptureDir, lblCaptureDir, core::gCaptureDir); });
  // The last-copy folder is kept as typed, as the loader reads it; blank means none.
  IgnoreErrors([&] {
    const std::string typed = txtLastCopy.Text();
    if (vb::Trim(typed).empty() || MakeFolder(typed, lblLastCopy, core::gLastCopy))
      core::gLastCopy = typed;
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
  if (WriteConfigINI()) return true;
  app.MsgBox("The configuration could not be saved to " + core::gMainIniPath + ".",
             forms::vbOKOnly | forms::vbExclamation, "Configuration Not Saved");
  return false;
}

bool frmSetup::WriteConfigINI() {
  bool written = true;
  auto write = [&](const char* section, const char* key, const std::string& value) {
    IgnoreErrors([&] {
      if (!core::WriteIni(core::gMainIniPath, section, key, value)) written = false;
    });
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
  return written;
}

}  // namespace tools
