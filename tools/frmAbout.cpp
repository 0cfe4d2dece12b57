#include "tools/frmAbout.h"

#include "core/ErrTrap.h"
#include "core/modOpSys.h"
#include "core/modVelmod.h"
#include "platform/forms/App.h"

namespace tools {

const char* const kLegalCopyright = "2024 Ostrel, Inc.  All rights reserved.";

namespace {
// The notice prefix: the copyright sign, the notice word and a blank.
constexpr const char* kNoticePrefix = "\xC2\xA9 Copyright ";
}  // namespace

frmAbout::frmAbout() : Form("frmAbout") {
  Cmd_OK.Click = [this] { core::RunEvent("Cmd_OK_Click", [this] { Cmd_OK_Click(); }); };
  imaOK.Click = [this] { core::RunEvent("imaOK_Click", [this] { imaOK_Click(); }); };
}

std::string frmAbout::VersionText(int major, int minor, int revision) {
  return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
         std::to_string(revision);
}

void frmAbout::Form_Load() {
  forms::App& app = forms::App::Current();
  // Centred on the screen; each difference is a whole number halved without remainder.
  const int left = (app.ScreenWidth() - Width()) / 2;
  const int top = (app.ScreenHeight() - Height()) / 2;
  Move(left, top, Width(), Height());
  lblProductname.SetCaption(
      core::ReadIni(core::gMainIniPath, "PROGRAM ALIAS", "CORVANE VELMORA", "Velmora"));
  lblVersion.SetCaption(VersionText(app.Major(), app.Minor(), app.Revision()));
  lblDisclaimer.SetCaption(std::string(kNoticePrefix) + kLegalCopyright);
}

void frmAbout::Cmd_OK_Click() {
  Unload();
}

void frmAbout::imaOK_Click() {
  Cmd_OK_Click();
}

void ShowAboutBox() {
  forms::FormInstance<frmAbout>().Show(forms::vbModal);
}

}  // namespace tools
