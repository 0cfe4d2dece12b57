// The picture buttons and the menu bar of the main window.  Most open a modal dialog; what a
// dialog needs and what it hands back passes through the program-wide state, which the window
// sets before the dialog and clears or resets after it (also when the dialog fails), so that a
// later dialog never sees a stale value.

#include <string>
#include <utility>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "core/modShell32.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "tools/frmAbout.h"
#include "tools/frmDelPics.h"
#include "tools/frmDouble.h"
#include "tools/frmPath.h"
#include "tools/frmSearch.h"
#include "tools/frmSetup.h"

namespace photo_pages {

namespace {

// Support telephone numbers and web addresses of the two vendors.
constexpr const char* kOstrelSupportPhone = "1-800-555-0147";
constexpr const char* kNorvikSupportPhone = "1-800-555-0162";
constexpr const char* kOstrelWebSite = "https://www.ostrel.example/";
constexpr const char* kNorvikWebSite = "https://www.norvik.example/";
constexpr const char* kOstrelRemoteSupport = "https://support.ostrel.example/remote";

constexpr long kShowNormal = 3;

// Runs `undo` when the scope is left, however it is left.
template <class F>
class OnExit {
 public:
  explicit OnExit(F undo) : undo_(std::move(undo)) {}
  ~OnExit() { undo_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F undo_;
};

// The Norvik texts are chosen only for a company name that holds "NORVIK" and not "OSTREL"
// (in any case); everything else gets the Ostrel texts.
bool IsNorvikCompany() {
  const std::string company = vb::UCase(core::gCompanyName);
  return vb::InStr(company, "NORVIK") > 0 && vb::InStr(company, "OSTREL") == 0;
}

void OpenAddress(const std::string& address) {
  core::GShell(address, kShowNormal, "", "", "open", 0);
}

// Folder texts name the same folder, as the program compares them (case, blanks and the
// trailing "\" aside).
bool SameFolder(const std::string& a, const std::string& b) {
  return vb::UCase(core::CkRSlash(a)) == vb::UCase(core::CkRSlash(b));
}

}  // namespace

void frmMain::BindButtonEvents() {
  auto click = [this](forms::Control& ctl, void (frmMain::*body)()) {
    const std::string name = ctl.Name() + "_Click";
    ctl.Click = [this, name, body] { core::RunEvent(name, [&] { (this->*body)(); }); };
  };
  click(imaCamera, &frmMain::imaCamera_Click);
  click(imaSearch, &frmMain::imaSearch_Click);
  click(imaSetup, &frmMain::imaSetup_Click);
  click(imaKep, &frmMain::RefreshAppraisal);
  imaKep.MouseMove = [this](int, int, float, float) {
    core::RunEvent("imaKep_MouseMove", [this] { imaKep_MouseMove(); });
  };
  imaScroll.Bind(&forms::Control::Click, [this](int Index) {
    core::RunEvent("imaScroll_Click", [&] { imaScroll_Click(Index); });
  });

  auto menu = [this](forms::ControlArray<forms::Menu>& entries, void (frmMain::*body)(int)) {
    const std::string name = entries.Name() + "_Click";
    entries.Bind(&forms::Control::Click, [this, name, body](int Index) {
      core::RunEvent(name, [&] { (this->*body)(Index); });
    });
  };
  menu(mnuFile_Entry, &frmMain::mnuFile_Entry_Click);
  mnuSetup_Entry.Bind(&forms::Control::Click, [this](int) {
    core::RunEvent("mnuSetup_Entry_Click", [this] { imaSetup_Click(); });
  });
  mnuRefresh_Entry.Bind(&forms::Control::Click, [this](int Index) {
    core::RunEvent("mnuRefresh_Entry_Click", [&] {
      if (Index == 0) RefreshAppraisal();
      if (Index == 1) errdisplayThumbs();
    });
  });
  menu(mnuTools_Entry_Maint, &frmMain::mnuTools_Entry_Maint_Click);
  menu(mnuHelp_Entry, &frmMain::mnuHelp_Entry_Click);
  menu(mnuHelp_Entry_Web, &frmMain::mnuHelp_Entry_Web_Click);
}

// ---- Picture buttons ---------------------------------------------------------------------------

void frmMain::imaCamera_Click() {
  core::gCopyDialogCaption = "Copy from MEDIA (Camera/Floppy/CD/DVD) to " + core::gCaptureDir;
  core::gbRefreshThumbs = core::vbFalse;
  OnExit reset([] { core::gbRefreshThumbs = core::vbFalse; });
  tools::ShowMediaCopy();
  forms::App::Current().DoEvents();
  ReloadThumbsWithHourglass();
}

void frmMain::imaSearch_Click() {
  core::gbRefreshThumbs = core::vbFalse;
  OnExit reset([] { core::gbRefreshThumbs = core::vbFalse; });
  tools::ShowPictureSearch();
  ReloadThumbsWithHourglass();
}

// After the copy or search window: the strip is reloaded when the window changed the pictures
// of the capture folder.
void frmMain::ReloadThumbsWithHourglass() {
  SetMousePointer(forms::vbHourglass);
  OnExit pointer([this] { SetMousePointer(forms::vbDefault); });
  if (core::gbRefreshThumbs) {
    errdisplayThumbs();
    core::gbRefreshThumbs = core::vbFalse;
  }
  forms::App::Current().DoEvents();
}

// The window is sized again after the configuration window, unless it is minimised or
// maximised and the size preset did not change.  A capture folder saved there is shown at
// once, as after the chooser.
void frmMain::imaSetup_Click() {
  const std::int16_t before = core::gScreenSize;
  const std::string captureBefore = core::gCaptureDir;
  core::gbSetupOpen = core::vbTrue;
  {
    OnExit reset([] { core::gbSetupOpen = core::vbFalse; });
    tools::ShowSetup();
  }
  if (WindowState() == forms::vbNormal || core::gScreenSize != before) SetScreenSize();
  if (!SameFolder(core::gCaptureDir, captureBefore)) RedrawThumbsWithHourglass();
}

void frmMain::imaKep_MouseMove() {
  imaKep.SetToolTipText(" Refresh from " + core::gVendorAppName);
}

// imaScroll(0) to (3) page the strip; the arrow pictures 4 to 11 do nothing.  A failing paging
// step ends the click without a message.
void frmMain::imaScroll_Click(int Index) {
  try {
    switch (Index) {
      case 0:
        lstPageFirst();
        break;
      case 1:
        ErrLstPageUp();
        break;
      case 2:
        lstPageDown();
        break;
      case 3:
        lstPageLast();
        break;
      default:
        break;
    }
  } catch (const vb::VbError&) {
  }
}

void frmMain::ShowPictureEditor(const std::string& sPath) {
  core::gEditPicturePath = sPath;
  OnExit reset([] { core::gEditPicturePath.clear(); });
  tools::ShowDouble();
}

// ---- Menus
// ---------------------------------------------------------------------------------------

// Entries 1 and 3 are separators.  Exit ends the program at once, without the settings that
// closing the window writes.
void frmMain::mnuFile_Entry_Click(int Index) {
  switch (Index) {
    case 0:
      imaCamera_Click();
      break;
    case 2:
      imaSearch_Click();
      break;
    case 4:
      forms::App::Current().End();
      break;
    default:
      break;
  }
}

// Bulk delete in the capture folder (0) or in its trash folder (1).
void frmMain::mnuTools_Entry_Maint_Click(int Index) {
  OnExit reset([] {
    core::gMaintCaption.clear();
    core::gMaintDir.clear();
    core::gbMaintDeleted = core::vbFalse;
  });
  core::gbMaintDeleted = core::vbFalse;
  const std::string capDir = core::CkRSlash(lblCapDir.Caption());
  if (Index == 0) {
    core::gMaintCaption = "Delete Pictures from User-Specific Directory (Bulk Delete)";
    core::gMaintDir = capDir;
  } else if (Index == 1) {
    core::gMaintCaption = "Delete Pictures from Current Trashcan Directory (Bulk Delete)";
    core::gMaintDir = core::TrashFolderOf(core::StripTrashcan(capDir));
  } else {
    return;
  }
  auto& app = forms::App::Current();
  if (!core::DirExists(core::gMaintDir)) {
    app.MsgBox(core::gMaintDir + " directory does not exist.", forms::vbOKOnly,
               "Path does not exists");
    return;
  }
  tools::ShowDelPics();
  if (core::gbMaintDeleted) errdisplayThumbs();
}

// Entries 1 and 4 are separators, 3 opens the web submenu.
void frmMain::mnuHelp_Entry_Click(int Index) {
  switch (Index) {
    case 0:
      ShowHelpFile();
      break;
    case 2:
      ShowSupportMessage();
      break;
    case 5:
      tools::ShowAboutBox();
      break;
    default:
      break;
  }
}

void frmMain::ShowSupportMessage() {
  const bool norvik = IsNorvikCompany();
  const std::string vendor = norvik ? "Norvik" : "Ostrel";
  forms::App::Current().MsgBox(
      "Please contact " + vendor + "'s technical support staff @ " + core::gTechPhone,
      forms::vbOKOnly, vendor + " Technical Support");
}

void frmMain::mnuHelp_Entry_Web_Click(int Index) {
  const bool norvik = IsNorvikCompany();
  if (Index == 0) {
    OpenAddress(norvik ? kNorvikWebSite : kOstrelWebSite);
    return;
  }
  if (Index != 1) return;
  const std::string vendor = norvik ? "Norvik" : "Ostrel";
  const std::string phone = norvik ? kNorvikSupportPhone : kOstrelSupportPhone;
  forms::App::Current().MsgBox("Please contact " + vendor + "'s technical support staff @ " +
                                   phone + " to begin a support Session",
                               forms::vbOKOnly, vendor + " Support Session");
  OpenAddress(norvik ? kNorvikWebSite : kOstrelRemoteSupport);
}

}  // namespace photo_pages
