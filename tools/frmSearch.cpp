#include "tools/frmSearch.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/modOpSys.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "core/mod_Resize.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"
#include "tools/DialogCommon.h"
#include "tools/FolderScan.h"
#include "tools/MediaCopy.h"

namespace tools {

using forms::App;
namespace fs = std::filesystem;

namespace {

constexpr int kListFull = vb::kOutOfMemory;
constexpr int kSearchCancelled = 419;

bool Contains(const std::string& text, const std::string& part) {
  return !part.empty() && text.find(part) != std::string::npos;
}

// The folder text with one trailing "\" (the search's own, leaving gCurrentProc alone).
std::string WithSlash(const std::string& folder) {
  return !folder.empty() && folder.back() == '\\' ? folder : folder + '\\';
}

// The host's identity of a folder (links followed); nullopt when it cannot be read.
std::optional<std::pair<unsigned long long, unsigned long long>> FolderIdentity(
    const fs::path& host) {
  struct stat st {};
  if (::stat(host.c_str(), &st) != 0) return std::nullopt;
  return std::pair{static_cast<unsigned long long>(st.st_dev),
                   static_cast<unsigned long long>(st.st_ino)};
}

// Folders of the host's own kernel interfaces: nothing in them is a picture, and their links
// lead round without end (/proc/self/root is "/" again).  Each is a file system of its own, so
// every folder on one of their devices is left out, also when a link elsewhere leads into it.
constexpr const char* kSystemFolders[] = {"/proc", "/sys", "/dev"};

// True when the folder lies on one of the kernel's own file systems, wherever it is mounted (a
// chroot's /proc leads through /proc/self/root to the whole host again).
bool OnKernelFileSystem(const fs::path& host) {
  struct statfs st {};
  if (::statfs(host.c_str(), &st) != 0) return false;
  switch (static_cast<unsigned long>(st.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case BPF_FS_MAGIC:
      return true;
    default:
      return false;
  }
}

}  // namespace

frmSearch::frmSearch() : Form("frmSearch") {
  RXResizer1.Resized = [this] { RXResizer1_Resized(); };
  BindEvents();
}

void frmSearch::BindEvents() {
  BindClick(cmdSearch, imaSearch, "cmdSearch_Click", [this] { cmdSearch_Click(); });
  cmdStop.Click = [this] { cmdStop_Click(); };
  imaStop.Click = [this] { bSearching = false; };
  auto copy = [this](int Index) {
    core::RunEvent("cmdCopy_Click", [this, Index] { cmdCopy_Click(Index); });
  };
  cmdCopy.Bind(&forms::CommandButton::Click, copy);
  imaCopy.Bind(&forms::Image::Click, copy);
  BindClick(cmdCancel, imaCancel, "cmdCancel_Click", [this] { cmdCancel_Click(); });
  lstFound.Click = [this] { core::RunEvent("lstFound_Click", [this] { lstFound_Click(); }); };
  filFind.Click = [this] { filFind_Click(); };
  ckbPicPreview.Click = [this] {
    core::RunEvent("ckbPicPreview_Click", [this] { ckbPicPreview_Click(); });
  };
  ckbPicExt.Bind(&forms::CheckBox::Click,
                 [this](int) { core::RunEvent("ckbPicExt_Click", [this] { ckbPicExt_Click(); }); });
  dirFind.Change = [this] { core::RunEvent("dirFind_Change", [this] { dirFind_Change(); }); };
  drvFind.Change = [this] { core::RunEvent("drvFind_Change", [this] { drvFind_Change(); }); };
}

// ---- Opening and closing -------------------------------------------------------------------

void frmSearch::Form_Load() {
  core::RunEvent("Form_Load", [this] { LoadSteps(); });
}

// A step that fails is reported as the error report decides and the opening goes on, so that
// the window opens even on a capture directory that went away.
void frmSearch::LoadSteps() {
  std::string d = core::gCaptureDir;
  core::StripRChar(d);
  core::Trap trap("Form_Load");
  trap.OnError([](const vb::VbError& e) -> std::optional<int> {
    core::gErrAction = static_cast<std::int16_t>(core::ErrReport(e.Number(), e.Description()));
    return core::gErrAction == core::kRetry ? core::kRetry : core::kNext;
  });
  if (!core::gbUseButtons) {
    trap.Step([this] {
      for (forms::CommandButton* b : {&cmdSearch, &cmdStop, &cmdCopy[0], &cmdCopy[1], &cmdCancel})
        b->SetVisible(false);
    });
  }
  trap.Step([this] { SetIcon(core::frmMain().Icon()); });
  trap.Step([&] { drvFind.SetDrive(d.size() < 3 ? d : d.substr(0, 2)); });
  trap.Step([&] { dirFind.SetPath(d); });
  trap.Step([&] { filFind.SetPath(d); });
  trap.Step([this] { core::ResetFormPos(*this); });
  trap.Step([this] { lblDirectory.SetCaption(core::gCaptureDir); });
  trap.Step([this] { SetSearchPattern(); });
  bSearching = true;
  if (core::gScreenSize == 1) {
    trap.Step([this] { SetWidth(StoredWidth()); });
    trap.Step([this] { SetHeight(StoredHeight()); });
  }
}

std::string frmSearch::PatternOfBoxes() const {
  const bool bmp = ckbPicExt[0].Value() == forms::vbChecked;
  const bool jpg = ckbPicExt[1].Value() == forms::vbChecked;
  if (bmp == jpg) return "*.jpg;*.bmp";
  return bmp ? "*.bmp" : "*.jpg;";
}

void frmSearch::SetSearchPattern() {
  searchPattern = PatternOfBoxes();
  filFind.SetPattern(searchPattern);
  filFind.Refresh();
}

// The boxes take effect at once, on the search and on the file list (and so on the copy), so the
// three never disagree.  A medium that went away leaves the list empty; the search reports it.
void frmSearch::ckbPicExt_Click() {
  searchPattern = PatternOfBoxes();
  filFind.SetPattern(searchPattern);
}

void frmSearch::Form_Unload(int& /*Cancel*/) {
  bSearching = false;  // a search running in the closed window ends at its next pause
}

void frmSearch::Form_KeyPress(int& KeyAscii) {
  if (KeyAscii == forms::vbKeyEscape) bSearching = false;
}

int frmSearch::StoredWidth() const {
  return RXResizer1.width ? RXResizer1.width() : Width();
}

int frmSearch::StoredHeight() const {
  return RXResizer1.height ? RXResizer1.height() : Height();
}

void frmSearch::RXResizer1_Resized() {
  const int left = fraSettings.Left();
  const int right = left + fraSettings.Width();
  const int above = fraSettings.Top() - kLineGap;
  const int below = fraSettings.Top() + fraSettings.Height() + kLineGap;
  if (linDatabook.Exists(0)) linDatabook[0].SetEnds(left, above, right, above);
  if (linDatabook.Exists(1)) linDatabook[1].SetEnds(left, below, right, below);
}

// ---- Search --------------------------------------------------------------------------------

void frmSearch::cmdSearch_Click() {
  if (searchRunning_) return;  // one search at a time; Stop ends the running one
  const std::string highlighted = dirFind.List(dirFind.ListIndex());
  if (dirFind.Path() != highlighted) {
    dirFind.SetPath(highlighted);  // opens the highlighted folder; a second press searches
    return;
  }
  App& app = App::Current();
  app.SetMousePointer(forms::vbHourglass);
  const DefaultPointerOnExit pointerReset;
  lblDirectory.SetCaption("");
  lstFound.Clear();
  // Nothing here touches the medium: the search itself reports a medium that went away.
  const std::string win = core::CkRSlash(core::GetWinDir());
  winDirUpper_ = vb::UCase(win);
  progFilesUpper_ = win.empty() ? std::string() : vb::UCase(win.substr(0, 2) + "\\PROGRAM FILES\\");
  StartVisits();
  cutShort_.clear();
  bSearching = true;
  searchRunning_ = true;
  try {
    const forms::PacedRepaints paced;  // a yield per folder, thousands a second
    SearchFrom(dirFind.Path());
  } catch (...) {
    searchRunning_ = false;
    throw;
  }
  searchRunning_ = false;
  IgnoreErrors([this] { filFind.SetPath(dirFind.Path()); });
  lblDirectory.SetCaption(cutShort_.empty()
                              ? "Search Complete"
                              : "Search cut short (" + cutShort_ + "): list incomplete");
}

void frmSearch::SearchFrom(const std::string& path) {
  fs::path host;
  try {
    host = winfs::ToHost(path);
  } catch (const vb::VbError& e) {
    VisitError(e);
    return;
  }
  if (SearchFolder(path, host)) return;
  // A medium taken out after its last folder was read: what was found there is gone.
  if (path.size() >= 2 && path[1] == ':' && !winfs::DriveReady(path[0]))
    VisitError(vb::VbError(vb::kDiskNotReady));
}

void frmSearch::StartVisits() {
  visited_.clear();
  systemDevices_.clear();
  const auto root = FolderIdentity("/");
  for (const char* system : kSystemFolders) {
    const auto id = FolderIdentity(system);
    if (!id) continue;
    visited_.insert(*id);
    if (root && id->first != root->first) systemDevices_[id->first] = true;
  }
}

// True the first time the search comes to this host folder, unless it lies in a system folder.
// A folder that cannot be read counts as new; its listing reports what is wrong with it.
bool frmSearch::FirstVisit(const fs::path& host) {
  const std::optional<FolderId> id = FolderIdentity(host);
  if (!id) return true;
  const auto [device, isNew] = systemDevices_.try_emplace(id->first, false);
  if (isNew) device->second = OnKernelFileSystem(host);  // once per device
  return !device->second && visited_.insert(*id).second;
}

void frmSearch::cmdStop_Click() {
  bSearching = false;
}

bool frmSearch::IsSkipped(const std::string& upperFolder) const {
  return (ckbSkip[0].Value() == forms::vbChecked && Contains(upperFolder, winDirUpper_)) ||
         (ckbSkip[1].Value() == forms::vbChecked && Contains(upperFolder, progFilesUpper_));
}

// One visit: the sub-folders from the last listed to the first, then the folder itself, so a
// folder's entry follows the entries of its sub-folders.  True when the search was stopped.
// `host` is the folder on the host.
bool frmSearch::SearchFolder(const std::string& path, const fs::path& host) {
  if (IsSkipped(vb::UCase(WithSlash(path)))) return false;
  DoEvents();
  if (!bSearching) return true;

  FolderScan scan;
  try {
    if (!FirstVisit(host)) return false;
    scan = ScanFolder(host, path, searchPattern);
  } catch (const vb::VbError& e) {
    return VisitError(e);
  }
  const std::string parent = WithSlash(path);
  for (auto k = scan.subFolders.size(); k >= 1 && bSearching; --k) {
    DoEvents();
    const FolderScan::SubFolder& sub = scan.subFolders[k - 1];
    if (SearchFolder(parent + sub.name, host / sub.hostName)) return true;
  }
  try {
    CountFolder(path, scan.matches);
  } catch (const vb::VbError& e) {
    return VisitError(e);
  }
  return false;
}

// Lists the folder with its picture count when it holds pictures of the pattern.
void frmSearch::CountFolder(const std::string& path, std::size_t count) {
  if (count == 0) return;
  const std::string folder = path.size() >= 4 ? path + "\\" : path;
  const std::string kepImages = WithSlash(WithSlash(vb::Trim(core::gKepDataDir)) + "IMAGES");
  if (WithSlash(vb::Trim(folder)) == kepImages) return;
  if (IsSkipped(vb::UCase(WithSlash(vb::Trim(folder))))) return;
  for (std::size_t i = 0; i < count; ++i) DoEvents();
  if (lstFound.ListCount() >= kMaxFoundEntries) vb::Raise(kListFull);
  lstFound.AddItem("  (" + std::to_string(count) + " Images) - " + folder);
  lblDirectory.SetCaption("Searching: " + vb::Trim(folder));
}

// What an error inside a visit does; true stops the search.
bool frmSearch::VisitError(const vb::VbError& e) {
  switch (e.Number()) {
    case kListFull:
      App::Current().MsgBox("You've filled the listbox. Search being abandoned...",
                            forms::vbOKOnly);
      cutShort_ = "list full";
      return true;
    case kSearchCancelled:
      return true;
    case vb::kDeviceUnavailable:
    case vb::kDiskNotReady:
      // The medium went away: nothing more can be searched on it.
      App::Current().MsgBox(
          "Media appears to be unreadable or not inserted properly.  Please try again.",
          forms::vbOKOnly);
      cutShort_ = "media unreadable";
      return true;
    case vb::kFileNotFound:
    case vb::kPathNotFound:
    case vb::kPermissionDenied:
    case vb::kPathFileAccess:
    case vb::kDeviceIO:
      return false;  // a folder that went away or cannot be read is passed over
    default:
      break;
  }
  App::Current().MsgBox(vb::Str(e.Number()) + " " + e.Description());
  App::Current().End();
  return true;
}

// ---- Found folders and preview -------------------------------------------------------------

void frmSearch::lstFound_Click() {
  if (lstFound.ListCount() == 0) return;
  const std::string folder = vb::Trim(core::ParseLR(lstFound.Text(), "Right", "-"));
  bool found = false;
  // A folder that went away (or whose medium did) finds nothing: the lists stay.
  IgnoreErrors([&] { found = !winfs::ListFiles(folder, "*.*").empty(); });
  if (found) {
    drvFind.SetDrive(folder);
    dirFind.SetPath(folder);
  }
  if (filFind.ListCount() >= 1) filFind.SetListIndex(0);
}

void frmSearch::filFind_Click() {
  IgnoreErrors([this] { core::ErrClearPict(geaPreview); });
  if (ckbPicPreview.Value() != forms::vbChecked) return;
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([this] {
    std::string name = filFind.List(filFind.ListIndex());
    core::ErrLoadPict(geaPreview, core::CkRSlash(filFind.Path()) + core::StripRChar(name));
  });
  IgnoreErrors([] { DoEvents(); });
}

void frmSearch::ckbPicPreview_Click() {
  geaPreview.SetVisible(ckbPicPreview.Value() == forms::vbChecked);
}

// ---- Browsing ------------------------------------------------------------------------------

void frmSearch::dirFind_Change() {
  filFind.SetPath(dirFind.Path());
}

void frmSearch::drvFind_Change() {
  core::Trap trap("drvFind_Change");
  trap.Expect({vb::kDeviceUnavailable}, [](const vb::VbError&) {
    App::Current().MsgBox(
        "Media appears to be unreadable or not inserted properly.  Please try again.",
        forms::vbOKOnly);
    return core::kLeave;
  });
  trap.Step([this] { dirFind.SetPath(vb::Left(drvFind.Drive(), 2) + "\\"); });
}

// ---- Copy and closing ----------------------------------------------------------------------

void frmSearch::cmdCopy_Click(int Index) {
  core::gbRefreshThumbs = core::vbTrue;
  if (Index == 1) {
    core::gCaptureDir = core::CkRSlash(dirFind.Path());
    Unload();
    return;
  }
  try {
    CopyFromSearchFolder();
  } catch (...) {
    if (Loaded()) Unload();  // the window closes in every case; the error is still reported
    throw;
  }
  if (Loaded()) Unload();
}

// Copies every listed picture of the open folder.  The names are fixed before the first copy.
void frmSearch::CopyFromSearchFolder() {
  const std::string src = core::CkRSlash(filFind.Path());
  const std::string target = core::CkRSlash(core::gCaptureDir);
  core::Trap trap("CopyFromSearchFolder");
  ExpectCopyMediaErrors(trap, [this] { PutListsOnIniDrive(); });
  const DefaultPointerOnExit pointerReset;
  if (StartCopy(trap, src, target) != CopyStart::kReady) return;
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(filFind.ListCount()));
  for (int i = 0; i < filFind.ListCount(); ++i) names.push_back(filFind.List(i));
  CopyShortfall shortfall;
  CopyPictureList(
      trap, src, names,
      [this](bool) {
        DoEvents();
        return Loaded();  // the window was closed meanwhile
      },
      shortfall);
  ReportShortfall(src, shortfall);
}

void frmSearch::PutListsOnIniDrive() {
  const std::string drive = core::GetFileDrive(core::gIniDir);
  IgnoreErrors([&] { drvFind.SetDrive(drive); });
  IgnoreErrors([&] { dirFind.SetPath(drive); });
  App::Current().SetMousePointer(forms::vbDefault);
}

void frmSearch::cmdCancel_Click() {
  Unload();
}

void ShowPictureSearch() {
  forms::FormInstance<frmSearch>().Show(forms::vbModal);
}

}  // namespace tools
