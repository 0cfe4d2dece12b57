// Start-up and shut-down of the main window, its title, the update hand-over, the help file and
// the keyboard shortcuts.

#include <string>
#include <utility>

#include "core/ErrTrap.h"
#include "core/modOpSys.h"
#include "core/modShell32.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/mod_Resize.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"

#ifndef VELMORA_VERSION_MAJOR
#define VELMORA_VERSION_MAJOR 0
#define VELMORA_VERSION_MINOR 0
#define VELMORA_VERSION_PATCH 0
#endif

namespace photo_pages {

namespace {

constexpr int kBadFileName = 52;

constexpr const char* kAlreadyRunning =
    "The current application is already running in memory. If the application is not visible, "
    "please end the existing process in the Windows Task Manager.";
constexpr const char* kAlreadyRunningTitle = "Program Already Running in Memory";

std::string NoValue() {
  return {};
}

}  // namespace

void frmMain::Form_Load() {
  core::gCurrentProc = "Form_load";
  CheckSingleInstance();
  mbFormLoading = core::vbTrue;
  RunStartStep("", NoValue, [this] { CheckScreen(); });

  // The INI folder and the two INI files are traced once found.
  RunStartStep("", NoValue, [] {
    core::gIniDir = core::CkRSlash(core::GetIniDir());
    core::DebugTrace("Windows Directory:", core::gIniDir);
  });
  RunStartStep("", NoValue, [] {
    core::gMainIniPath = core::FindConfigFile("VELMORA.INI", false);
    core::DebugTrace("IniFile:", core::gMainIniPath);
  });
  RunStartStep("", NoValue, [] {
    core::Check4KepIni(false);
    core::DebugTrace("Check4KepIni:", core::gKepIniPath);
  });

  RunStartStep("ReadGlobals", NoValue, [] { core::ReadGlobals(); });
  RunStartStep("ReadCaption", NoValue, [this] { ReadCaption(); });
  RunStartStep("SetTabs", NoValue, [] {});
  RunStartStep(
      "check4CaptureDir", [] { return core::gCaptureDir; }, [] { core::check4CaptureDir(); });
  RunStartStep("PostAddr2Listbox", NoValue, [this] { PostAddr2Listbox(); });
  RunStartStep("AddGenViews2CBO", NoValue, [this] { AddGenViews2CBO(); });
  RunStartStep("DisplayCamera", NoValue, [this] { errdisplayThumbs(); });
  RunStartStep("checkUpdate", NoValue, [this] { checkUpdate(); });
  RunStartStep("RefreshAppraisal", NoValue, [this] { RefreshAppraisal(); });
}

// One step of the start-up: trace it (when labelled), run it, let pending events run.  The
// start-up error handler: 52 asks for the medium and runs the step again, any other error skips
// the step.
void frmMain::RunStartStep(const std::string& label, const std::function<std::string()>& value,
                           const std::function<void()>& body) {
  for (;;) {
    try {
      if (!label.empty()) core::DebugTrace(label, value());
      body();
      if (!label.empty()) Yield();
      return;
    } catch (const forms::ProgramEnded&) {
      throw;
    } catch (...) {
      const vb::VbError err = core::CurrentError();
      if (err.Number() != kBadFileName) return;
      if (!AskDriveNotReady()) return;
    }
  }
}

// The prompt for error 52.  OK tries again as it stands; Cancel falls back to "C:\" (or the
// program's folder) first.  Returns whether to run the step again.
bool frmMain::AskDriveNotReady() {
  auto& app = forms::App::Current();
  const int answer = app.MsgBox(
      "Drive is empty or unreadable.  It may be due to the " + core::gCaptureDir +
          " drive not being inserted or available.  Please insert a floppy disk (or sandisk "
          "card) to correct this problem.  Hit cancel to set the directory to C:\\.",
      forms::vbOKCancel, "Place a floppy in the Drive");
  if (answer != forms::vbOK) {
    core::gCaptureDir = winfs::DirExists("c:\\") ? std::string("C:\\") : app.Path();
  }
  return true;
}

void frmMain::CheckSingleInstance() {
  auto& app = forms::App::Current();
  if (!app.PrevInstance()) return;
  app.SetMousePointer(forms::vbDefault);
  SetMousePointer(forms::vbDefault);
  app.MsgBox(kAlreadyRunning, forms::vbOKOnly, kAlreadyRunningTitle);
  Unload();
  app.End();
}

void frmMain::CheckScreen() {
  if (core::ScreenTooSmall(false)) {
    core::gbSmallScreen = core::vbTrue;
    RXResizer1.storeSizePosition = false;
    SetWindowState(forms::vbNormal);
    RXResizer1.storeState = false;
  } else {
    core::gbSmallScreen = core::vbFalse;
  }
}

void frmMain::Yield() {
  forms::App::Current().DoEvents();
}

void frmMain::ReadCaption() {
  SetCaption(vb::Trim(core::gProgramAlias) + " -  Version " +
             std::to_string(VELMORA_VERSION_MAJOR) + "." + std::to_string(VELMORA_VERSION_MINOR) +
             "." + std::to_string(VELMORA_VERSION_PATCH));
}

// A downloaded update program is moved up into the program folder; it is never started.  Any
// failure ends the step quietly and leaves the files as they are.
void frmMain::checkUpdate() {
  try {
    const std::string source = core::CkRSlash(core::gAppDir) + "Update\\update.exe";
    const std::string target = core::CkRSlash(core::gAppDir) + "update.exe";
    if (!winfs::FileExists(source)) return;
    winfs::FileCopy(source, target);
    winfs::Kill(source);
  } catch (const vb::VbError&) {
  }
}

void frmMain::ShowHelpFile() {
  auto& app = forms::App::Current();
  const std::string path = core::CkRSlash(core::gAppDir) + "Velmora.chm";
  if (!core::FileExists(path)) {
    app.MsgBox(
        "The HELP file missing or invalid. Please refer to the installation CD for help, or "
        "contact technical support.",
        forms::vbOKOnly, "Help file not available");
    return;
  }
  if (!core::DirExists(core::GetWinDir())) {
    app.MsgBox(
        "The Windows HELP file does not support CHM help files. Please refer to the "
        "installation CD for help, or contact technical support.",
        forms::vbOKOnly, "Help file not available");
    return;
  }
  core::GShell(path, 10, "", "", "OPEN", 0);
}

void frmMain::Form_KeyDown(int& KeyCode, int Shift) {
  try {
    if (KeyCode == forms::vbKeyR && Shift == forms::vbCtrlMask) {
      if (core::gbKeyHeld) return;
      core::gbKeyHeld = core::vbTrue;
      core::gScreenSize =
          core::gScreenSize >= 5 ? 1 : static_cast<std::int16_t>(core::gScreenSize + 1);
    } else if (KeyCode == forms::vbKeyF1 && Shift == 0) {
      if (core::gbKeyHeld) return;
      core::gbKeyHeld = core::vbTrue;
      ShowHelpFile();
    }
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (...) {
  }
}

void frmMain::Form_KeyUp(int& /*KeyCode*/, int /*Shift*/) {
  core::gbKeyHeld = core::vbFalse;
}

void frmMain::filCapture_Scroll() {
  SetMousePointer(forms::vbHourglass);
  errdisplayThumbs();
  SetMousePointer(forms::vbDefault);
}

// The write-back never refuses the unload and reports nothing.  A window closed before the
// INI file was located (a second instance) has nowhere to write and changes no file.  The
// capture directory gets its "\" before the trash folder is taken off, so that an empty trash
// folder being browsed (whose path the strip left without one) is not stored either.
void frmMain::Form_Unload(int& /*Cancel*/) {
  WriteBackSettings();
}

void frmMain::WriteBackSettings() {
  core::gbUnloading = core::vbTrue;
  const std::string ini = core::gMainIniPath;
  if (vb::Trim(ini).empty()) return;
  core::WriteIni(ini, "DIRECTORIES", "CAPTUREDIR",
                 core::StripTrashcan(core::CkRSlash(std::as_const(core::gCaptureDir))));
  core::WriteIni(ini, "COPY DEVICE", "LASTCOPY", core::gLastCopy);
  core::WriteIni(ini, "PREFERENCES", "PREVIEWCOPYPICS", std::to_string(core::gPreviewCopyPics));
  core::WriteIni(ini, "PREFERENCES", "SCREENSIZE", std::to_string(core::gScreenSize));
  core::WriteIni(ini, "PREFERENCES", "IMAGE TYPE", "JPG");
}

}  // namespace photo_pages
