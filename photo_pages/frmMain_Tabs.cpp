// The photo tabs: clicks on the section tabs, the six pages of the extended photos, the window
// size presets, and the one-time correction of the window's size and place when it first shows.

#include <array>
#include <string>

#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "core/mod_Resize.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"

namespace photo_pages {

namespace {
constexpr const char* kNotAvailable = "N/A";

// The window size of each preset (twips); the screen must be at least as large.
struct SizePreset {
  int width;
  int height;
};
constexpr std::array<SizePreset, 6> kPresets = {{
    {0, 0},  // unused: any preset outside 1 to 5 becomes 2
    {12000, 8400},
    {15360, 10200},
    {17280, 11640},
    {19200, 13080},
    {25200, 18700},
}};
constexpr int kDefaultPreset = 2;
}  // namespace

// The window's layout belongs to the resizer, which reports through RXResizer1_Resized.
void frmMain::Form_Resize() {}

// A page the report lacks ("N/A") is refused while a report is open; while none is open any
// click makes the window ask KEP again and refresh when a report has been opened since.
void frmMain::HandleTabClick(forms::TabControl& tab, int PreviousTab) {
  if (tab.TabCaption(PreviousTab) == kNotAvailable) return;
  if (tab.Caption() == kNotAvailable && core::gbKepReportActive) {
    tab.SetTab(PreviousTab);
    return;
  }
  if (core::gbKepReportActive) return;
  if (core::IsKepReportActive(txtDDE)) RefreshReport(false);
}

void frmMain::TabData_Click() {
  tabExtended.SetTab(0);
  ShowExtendedPage(tabExtended.Tab());
}

void frmMain::tabExtended_Click() {
  ShowExtendedPage(tabExtended.Tab());
}

// Extended page p (0 to 5) shows slots 6p + 1 to 6p + 6, each with its address box under the
// picture and its caption box under that; the other slots and boxes are hidden.
void frmMain::ShowExtendedPage(int p) {
  for (int i = 1; i <= 36; ++i) {
    for (forms::Control* c : {static_cast<forms::Control*>(&imaExtended[i]),
                              static_cast<forms::Control*>(&cboExtended[i]),
                              static_cast<forms::Control*>(&cboExtendedAddress[i])}) {
      c->SetVisible(false);
      c->ZOrder(1);
    }
  }
  if (p < 0 || p > 5) return;
  for (int i = 6 * p + 1; i <= 6 * p + 6; ++i) {
    for (forms::Control* c : {static_cast<forms::Control*>(&imaExtended[i]),
                              static_cast<forms::Control*>(&cboExtended[i]),
                              static_cast<forms::Control*>(&cboExtendedAddress[i])}) {
      c->SetVisible(true);
      c->ZOrder(0);
    }
    PlaceBelow(imaExtended[i], cboExtendedAddress[i]);
    PlaceBelow(cboExtendedAddress[i], cboExtended[i]);
  }
}

// Sizes the window by the SCREENSIZE preset, at the top-left corner.  A preset the screen cannot
// hold falls to the next smaller one; the lowered preset is the one stored at exit.
void frmMain::SetScreenSize() {
  auto& app = forms::App::Current();
  const int screenWidth = app.ScreenWidth();
  const int screenHeight = app.ScreenHeight();
  SetWindowState(forms::vbNormal);
  if (core::gScreenSize < 1 || core::gScreenSize > 5) {
    core::gScreenSize = kDefaultPreset;
    const SizePreset& p = kPresets[kDefaultPreset];
    Move(0, 0, p.width, p.height);
    return;
  }
  for (;;) {
    const SizePreset& p = kPresets[core::gScreenSize];
    const bool fits = screenWidth >= p.width && screenHeight >= p.height;
    if (core::gScreenSize == 1) {
      if (!fits) {
        app.MsgBox("Resize your video display to at least 800X600 resolution", forms::vbOKOnly,
                   "Resolution Too Small");
        return;
      }
      Move(0, 0, Width(), Height());
      SetHeight(p.height);
      SetWidth(p.width);
      return;
    }
    if (fits) {
      Move(0, 0, p.width, p.height);
      return;
    }
    --core::gScreenSize;
  }
}

void frmMain::PlaceBelow(const forms::Control& ref, forms::Control& ctl) {
  ctl.SetTop(ref.Top() + ref.Height());
  ctl.SetLeft(ref.Left());
}

void frmMain::MoveForm2TopLeft() {
  SetTop(0);
  SetLeft(0);
}

// The resizer's notification after each layout: ends the loading state, and once per run puts
// a window that is not wholly on the screen at the top-left corner (a small screen also gets
// the size the resizer reports).  A failing step is skipped.
void frmMain::RXResizer1_Resized() {
  auto attempt = [](auto&& step) {
    try {
      step();
    } catch (const vb::VbError&) {
    }
  };
  auto& app = forms::App::Current();
  if (mbFormLoading) {
    attempt([&] { app.DoEvents(); });
    mbFormLoading = core::vbFalse;
  }
  attempt([&] { core::CheckFormOnScreen(*this); });
  if (Visible() && !core::gbFormOnScreen) {
    if (core::gbSmallScreen) {
      attempt([&] { core::gFormWidth = RXResizer1.ReportedWidth(); });
      attempt([&] { core::gFormHeight = RXResizer1.ReportedHeight(); });
      attempt([&] { SetWindowState(forms::vbNormal); });
      attempt([&] { SetWidth(core::gFormWidth); });
      attempt([&] { SetHeight(core::gFormHeight); });
      attempt([&] { RXResizer1.Relayout(); });
      attempt([&] { MoveForm2TopLeft(); });
      core::gbSmallScreen = core::vbFalse;
    } else {
      attempt([&] { MoveForm2TopLeft(); });
    }
    core::gbFormOnScreen = core::vbTrue;
  }
  attempt([&] { app.BringToFront(app.Title()); });
}

}  // namespace photo_pages
