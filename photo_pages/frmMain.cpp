#include "photo_pages/frmMain.h"

#include <utility>

#include "core/ErrTrap.h"
#include "platform/forms/App.h"

namespace photo_pages {

frmMain::frmMain(std::string layoutName)
    : core::MainFormControls("frmMain", std::move(layoutName)) {
  core::SetMainForm(this);
  RXResizer1.minWidth = 12000;
  RXResizer1.minHeight = 8400;
  RXResizer1.Resized = [this] { RXResizer1_Resized(); };
  BindEvents();
}

frmMain::~frmMain() {
  if (core::HasMainForm() && &core::frmMain() == this) core::SetMainForm(nullptr);
}

void frmMain::CreateElements() {
  core::MainFormControls::CreateElements();
  EnsureRange(lblSubject, 1, 3);
  EnsureRange(lblAltComp, 1, 6);
  EnsureRange(lblGeneral, 1, 36);
  EnsureRange(lblListing, 1, 6);
  EnsureRange(lblSpecificListing, 1, 6);
  EnsureRange(lblReoListing, 1, 3);
  EnsureRange(lblReo2Listing, 1, 3);
  EnsureRange(lblRental, 1, 9);
  EnsureRange(cboGeneralAddress, 1, 36);
  EnsureRange(cboExtended, 1, 36);
  EnsureRange(cboExtendedAddress, 1, 36);
  EnsureRange(imaScroll, 0, 11);
  EnsureRange(mnuFile_Entry, 0, 4);
  EnsureRange(mnuSetup_Entry, 0, 0);
  EnsureRange(mnuRefresh_Entry, 0, 1);
  EnsureRange(mnuTools_Entry, 0, 3);
  EnsureRange(mnuTools_Entry_Maint, 0, 1);
  EnsureRange(mnuHelp_Entry, 0, 5);
  EnsureRange(mnuHelp_Entry_Web, 0, 1);
}

// Events whose handlers this window has; each runs under the event rule of core::RunEvent.
void frmMain::BindEvents() {
  filCapture.Scroll = [this] {
    core::RunEvent("filCapture_Scroll", [this] { filCapture_Scroll(); });
  };
  TabData.TabClick = [this](int) { core::RunEvent("TabData_Click", [this] { TabData_Click(); }); };
  tabExtended.TabClick = [this](int) {
    core::RunEvent("tabExtended_Click", [this] { tabExtended_Click(); });
  };
  for (forms::TabControl* tab : {&TabComp, &TabGeneral, &TabListing, &TabRental}) {
    tab->TabClick = [this, tab](int PreviousTab) {
      core::RunEvent(tab->Name() + "_Click", [&] {
        HandleTabClick(*tab, PreviousTab);
        forms::App::Current().DoEvents();
      });
    };
  }
  BindButtonEvents();
  BindCaptionEvents();
  BindDropEvents();
  BindThumbEvents();
  BindTrashEvents();
  lblDirectory.Click = [this] {
    core::RunEvent("lblDirectory_Click", [this] { errdisplayThumbs(); });
  };
}

frmMain& MainWindow() {
  return forms::FormInstance<frmMain>();
}

}  // namespace photo_pages
