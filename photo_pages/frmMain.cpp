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
