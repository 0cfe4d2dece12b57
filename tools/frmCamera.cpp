#include "tools/frmCamera.h"

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/lstControl.h"
#include "core/modListLoad.h"
#include "core/modOpSys.h"
#include "core/modVBCommon.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace tools {

namespace {

constexpr const char* kFavSection = "CAMERA DIRECTORIES";

template <class Ev, class Fn>
void Bind(Ev& event, const char* name, Fn fn) {
  event = [name, fn] { core::RunEvent(name, fn); };
}

forms::App& App() {
  return forms::App::Current();
}

// A path on a drive letter whose drive has no readable medium.
bool OnUnreadyDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && !winfs::DriveReady(path[0]);
}

// The main window lists the chosen folder once the chooser has closed (it always reloads its
// strip then).  A folder it could not list is refused here, where another can be picked: a
// drive without a readable medium raises 68, as a file list reports it.
void CheckListable(const std::string& folder) {
  if (OnUnreadyDrive(folder)) vb::Raise(vb::kDeviceUnavailable);
  winfs::ListFiles(folder);
}

// The messages of a drive without a readable medium; false for any other error.  With the
// folder OK was to take, the message names its drive and says the capture folder stays.
bool ShowMediaMessage(int number, const std::string& folder = "") {
  std::string why;
  if (OnUnreadyDrive(folder)) {
    why = "\r\n\r\nDrive " + vb::UCase(folder.substr(0, 2)) +
          " is not ready.  The capture folder stays " + core::gCaptureDir + ".";
  }
  if (number == vb::kBadFileName) {
    App().MsgBox("Media is not ready/readable." + why, forms::vbOKOnly);
    return true;
  }
  if (number == vb::kDeviceUnavailable) {
    App().MsgBox("Media appears to be unreadable or not inserted properly." + why, forms::vbOKOnly);
    return true;
  }
  return false;
}

// A directory-attribute lookup of the path finds it (a folder, or a file).  A drive without a
// readable medium raises 52, as the lookup does on Windows.
bool DirectorySearchFinds(const std::string& path) {
  const std::string p = vb::Trim(path);
  if (p.empty()) return false;
  if (OnUnreadyDrive(p)) vb::Raise(vb::kBadFileName);
  return winfs::DirExists(p) || winfs::FileExists(p);
}

// The folder itself when it exists, else its nearest existing parent, else its drive's root
// (which the drive list then reports when the drive itself is gone).  "X:\" form, ending in "\".
// On a drive that is not ready the folder may well be there: it is kept as it is.
std::string NearestExistingFolder(const std::string& folder) {
  if (OnUnreadyDrive(folder)) return folder;
  std::string p = folder;
  while (p.size() > 3 && !winfs::DirExists(p)) {
    while (!p.empty() && p.back() == '\\') p.pop_back();
    const size_t cut = p.find_last_of('\\');
    if (cut == std::string::npos) return folder;
    p.erase(cut + 1);
  }
  return p;
}

}  // namespace

frmCamera::frmCamera() : Form("frmCamera") {
  Bind(cmdOK.Click, "cmdOK_Click", [this] { cmdOK_Click(); });
  Bind(imaOK.Click, "imaOK_Click", [this] { cmdOK_Click(); });
  Bind(cmdCancel.Click, "cmdCancel_Click", [this] { cmdCancel_Click(); });
  Bind(imaCancel.Click, "imaCancel_Click", [this] { cmdCancel_Click(); });
  Bind(cmdFavorites.Click, "cmdFavorites_Click", [this] { cmdFavorites_Click(); });
  Bind(imaFavorites.Click, "imaFavorites_Click", [this] { cmdFavorites_Click(); });
  Bind(cmdDelFavorite.Click, "cmdDelFavorite_Click", [this] { cmdDelFavorite_Click(); });
  Bind(imaDelFavorite.Click, "imaDelFavorite_Click", [this] { cmdDelFavorite_Click(); });
  Bind(cmdSetDefault.Click, "cmdSetDefault_Click", [this] { cmdSetDefault_Click(); });
  Bind(imaSetDefault.Click, "imaSetDefault_Click", [this] { cmdSetDefault_Click(); });
  Bind(cmdRevDefault.Click, "cmdRevDefault_Click", [this] { cmdRevDefault_Click(); });
  Bind(imaRevDefault.Click, "imaRevDefault_Click", [this] { cmdRevDefault_Click(); });
  Bind(dirCapture.Change, "dirCapture_Change", [this] { dirCapture_Change(); });
  Bind(dirCapture.Click, "dirCapture_Click", [this] { dirCapture_Click(); });
  Bind(DrvCapture.Change, "DrvCapture_Change", [this] { DrvCapture_Change(); });
  Bind(lstFavorites.Click, "lstFavorites_Click", [this] { lstFavorites_Click(); });
  Bind(lstFavorites.DblClick, "lstFavorites_DblClick", [this] { lstFavorites_DblClick(); });
}

// ---- Opening ------------------------------------------------------------------------------

void frmCamera::Form_Load() {
  LoadSteps();
}

void frmCamera::LoadSteps() {
  core::Trap trap("FormLoad");
  trap.Expect({vb::kDeviceUnavailable}, core::kNext);
  std::string a, b;
  // Centred by the main window's size only (its position is not added).
  trap.Step([&] {
    core::MainFormControls& main = core::frmMain();
    Move((main.Width() - Width()) / 2, (main.Height() - Height()) / 2, Width(), Height());
    SetIcon(main.Icon());
  });
  trap.Step([&] {
    std::string dir = core::gCaptureDir;
    a = core::StripRChar(dir);
    // A capture folder removed meanwhile: the chooser opens nearby, to pick another.
    b = NearestExistingFolder(core::CkRSlash(core::gCaptureDir));
  });
  trap.Step([&] { core::LoadListFromIni(lstFavorites, core::gMainIniPath, kFavSection, "", -1); });
  trap.Step([&] { OpenOn(b); });
  trap.Step([&] { lblDirectory.SetCaption(b); });
  trap.Step([&] {
    const int i = core::lstFindIndex(lstFavorites, a, false);
    if (i > -1) lstFavorites.SetListIndex(i);
  });
  trap.Step([&] { bSavingFavorites = core::vbFalse; });
}

// The drive and folder lists on the folder.  A drive that is not ready (the card of the capture
// folder pulled) is still shown in the drive list, so that it agrees with the box, and OK then
// knows the folder shown is not the one the folder list holds.
void frmCamera::OpenOn(const std::string& folder) {
  unreadyDir.clear();
  if (OnUnreadyDrive(folder)) {
    DrvCapture.ShowDrive(folder);
    unreadyDir = folder;
    return;
  }
  DrvCapture.SetDrive(folder);
  dirCapture.SetPath(folder);
}

// The box follows the folder browsed.
void frmCamera::ShowBrowsed(const std::string& folder) {
  lblDirectory.SetCaption(folder);
  unreadyDir.clear();
}

// ---- OK and Cancel ------------------------------------------------------------------------

void frmCamera::cmdOK_Click() {
  std::string f;
  try {
    f = unreadyDir.empty() ? dirCapture.List(dirCapture.ListIndex()) : unreadyDir;
    AcceptFolder(f);
  } catch (const vb::VbError& e) {
    bSavingFavorites = core::vbFalse;
    // Any other error only ends the click; the window stays open either way.
    if (!ShowMediaMessage(e.Number(), f)) return;
    RecoverToIniDrive();
  }
}

void frmCamera::AcceptFolder(const std::string& f) {
  CheckListable(f);
  core::gCaptureDir = core::CkRSlash(f);
  bSavingFavorites = core::vbTrue;
  core::SaveListToIni(lstFavorites, core::gMainIniPath, kFavSection, "", -1);
  bSavingFavorites = core::vbFalse;
  Unload();
}

// After a media error: back to the root of the INI folder's drive.
void frmCamera::RecoverToIniDrive() {
  try {
    std::string d = core::GetFileDrive(core::gIniDir);
    DrvCapture.SetDrive(core::StripRChar(d));
    App().DoEvents();
    dirCapture.SetPath(core::CkRSlash(d));
    App().DoEvents();
  } catch (const vb::VbError&) {
    // The INI folder's drive is not readable either: the window stays where it is.
  }
  // The folder list may already have been there (no change to follow): the box shows the
  // folder it holds.
  ShowBrowsed(dirCapture.List(dirCapture.ListIndex()));
  App().SetMousePointer(forms::vbDefault);
}

void frmCamera::cmdCancel_Click() {
  Unload();
}

// ---- Favourites ---------------------------------------------------------------------------

void frmCamera::cmdFavorites_Click() {
  core::lstAddUnique(lstFavorites, vb::Trim(vb::UCase(dirCapture.Path())));
}

void frmCamera::cmdDelFavorite_Click() {
  if (App().MsgBox("Delete from Favorites.  Are you sure?", forms::vbYesNo) != forms::vbYes) return;
  const std::string t = vb::Trim(vb::UCase(lstFavorites.Text()));
  if (!core::lstContains(lstFavorites, t)) return;
  // Found without regard to case, as lstContains finds it: a favourite stored in lower case
  // is removed too.
  const int i = core::lstFindIndex(lstFavorites, t, false);
  if (i >= 0) lstFavorites.RemoveItem(i);
}

void frmCamera::lstFavorites_Click() {
  core::gCurrentProc = "lstFavorites_Click";
  try {
    const std::string p = lstFavorites.Text();
    if (DirectorySearchFinds(p)) {
      DrvCapture.SetDrive(p.substr(0, 2));
      dirCapture.SetPath(p);
      ShowBrowsed(p);
    } else if (!bSavingFavorites) {
      App().MsgBox("Unable to connect to the path specified.", forms::vbOKOnly,
                   "Unable to Connect to Path");
    }
  } catch (const vb::VbError& e) {
    if (e.Number() == vb::kInvalidProcedureCall) {
      App().MsgBox("Not a valid drive or unable to read the disk!",
                   forms::vbOKCancel | forms::vbExclamation, "Drive Not Found");
    } else if (e.Number() == vb::kBadFileName) {
      App().MsgBox("Drive is empty or unreadable", forms::vbOKOnly, "Place a floppy in the Drive");
    }
  }
}

void frmCamera::lstFavorites_DblClick() {
  const std::string p = lstFavorites.Text();
  if (DirectorySearchFinds(p)) {
    dirCapture.SetPath(p);
    ShowBrowsed(p);
  }
  cmdOK_Click();
}

// ---- Default folder -----------------------------------------------------------------------

void frmCamera::SaveCaptureDir() {
  core::WriteIni(core::gMainIniPath, "DIRECTORIES", "CAPTUREDIR", core::gCaptureDir);
}

void frmCamera::cmdSetDefault_Click() {
  core::gCaptureDir = dirCapture.Path();
  SaveCaptureDir();
}

void frmCamera::cmdRevDefault_Click() {
  const std::string s = core::CkRSlash(core::GetFileDrive(core::gIniDir)) + "GLENVUE";
  if (core::DirExists(s)) {
    const std::string drive = core::GetFileDrive(s);
    DrvCapture.SetDrive(drive);
    dirCapture.SetPath(drive);
    dirCapture.SetPath(s);
    ShowBrowsed(s);
    return;
  }
  core::gCaptureDir = core::CkRSlash(s);
  core::check4CaptureDir();
}

// ---- Browsing -----------------------------------------------------------------------------

void frmCamera::dirCapture_Change() {
  ShowBrowsed(dirCapture.List(dirCapture.ListIndex()));
}

void frmCamera::dirCapture_Click() {
  ShowBrowsed(dirCapture.List(dirCapture.ListIndex()));
}

void frmCamera::DrvCapture_Change() {
  const std::string previous = dirCapture.Path().substr(0, 1);
  try {
    // The drive's letter and colon: the directory list opens that drive's current folder.
    dirCapture.SetPath(DrvCapture.Drive().substr(0, 2));
    // Opened on a drive that was not ready, the folder list may already be on the drive chosen.
    if (!unreadyDir.empty()) ShowBrowsed(dirCapture.List(dirCapture.ListIndex()));
  } catch (const vb::VbError& e) {
    ShowMediaMessage(e.Number());
    try {
      // Back to the drive of the folder the box shows.
      if (unreadyDir.empty()) {
        DrvCapture.SetDrive(previous);
      } else {
        DrvCapture.ShowDrive(unreadyDir);
      }
    } catch (const vb::VbError&) {
      // The previous drive went away too; the list stays on the chosen entry.
    }
  }
}

void ShowCaptureDirChooser() {
  forms::FormInstance<frmCamera>().Show(forms::vbModal);
}

}  // namespace tools
