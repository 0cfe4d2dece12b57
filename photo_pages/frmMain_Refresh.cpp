// The report refresh: which report KEP has open, its forms and image list, and the slots,
// tabs, addresses and caption lists that follow from them.
//
// None of these procedures traps errors: a DDE failure that KEP's operations hand on stops the
// refresh where it happened and goes to the caller's trap.

#include <string>

#include "core/Approved.h"
#include "core/PictureKeeper.h"
#include "core/kepcalls.h"
#include "core/modListLoad.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "core/modVelmodTabs.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"

namespace photo_pages {

namespace {

constexpr forms::OleColor kTemplateColor = 128;               // dark red
constexpr forms::OleColor kActiveTitleBarColor = 0x80000002;  // system colour

// Puts the window's mouse pointer back to the default however the procedure ends.
struct PointerGuard {
  forms::Form& form;
  ~PointerGuard() { form.SetMousePointer(forms::vbDefault); }
};

}  // namespace

void frmMain::RefreshAppraisal() {
  SetMousePointer(forms::vbHourglass);
  PointerGuard guard{*this};
  KepUpdateDDE(txtDDE);
  core::gbKepReportActive = core::vbFalse;
  core::gbFileInUserDir = core::vbFalse;
  RefreshReport(true);
}

// Asks KEP for the active report's name and forms.  Every refresh does, also after a poke left
// the link in manual mode (each operation switches it off first).  The caption pokes and
// requests follow what OpenActiveReport takes on, not these answers: a refresh that stops
// part-way (KEP hung or gone) must not send captions to a report the window does not show.
void frmMain::KepUpdateDDE(forms::TextBox& link) {
  core::KepQueryActiveReports(link);
  const std::string report = core::FirstCommaField(link.Text());
  core::KepOpenReport(link, report);
  core::KepListForms(link, report);
}

void frmMain::RefreshReport(bool bResetTabs) {
  if (!core::IsKepReportActive(txtDDE)) {
    lblRPT.SetCaption("");
    lblSubjectAddr.SetCaption("");
    return;
  }
  OpenActiveReport();
  ClearAllPhotos();
  try {
    FillFromReport(bResetTabs);
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (...) {
    ShowPhotosLeftBlank();
    throw;
  }
}

void frmMain::FillFromReport(bool bResetTabs) {
  Yield();
  core::TabDisable(core::gReportForms);
  Yield();
  PostForm2Listbox();
  Yield();
  AddKepEntries2CVEL();
  Yield();
  DelTempPhotos();
  Yield();
  if (bResetTabs) ResetTabs();
  lstViews.Clear();
  core::LoadListFromIni(lstViews, core::gMainIniPath, "GENERAL VIEWS", "GENERALVIEW", -1);
  PostViews2ExtendedCBO();
  PostAddr2Combos();
  TabPopulateGeneralText();
  TabPopulateExtendedText();
  Yield();
}

// The link's text holds KEP's active-report list when this runs.  The window takes on the report
// only once KEP has answered every question about it: until then it keeps showing, and sending
// pictures and captions to, the report it showed.  A refresh that stops part-way (KEP hung or
// gone) so never leaves the slots of one report under the name of another, where a drop would
// replace a picture of that other report without its old bytes being kept.
void frmMain::OpenActiveReport() {
  const std::string report = core::FirstCommaField(txtDDE.Text());
  core::KepOpenReport(txtDDE, report);
  core::KepListForms(txtDDE, report);
  const std::string forms = txtDDE.Text();
  if (!core::IsApprovedForm(core::FirstCommaField(forms))) {
    auto& app = forms::App::Current();
    app.MsgBox(
        "This software is out of date for this form.  Please contact your software vendor for "
        "an update.",
        forms::vbInformation | forms::vbOKOnly, "Software Does Not Match Appraisal Form Type");
    Unload();
    app.End();
  }
  txtDDE.SetText(report);
  core::KepQueryGetImages(txtDDE);
  TakeOnReport(report, forms, txtDDE.Text());
}

// The report the window shows, where its pictures and captions go.
void frmMain::TakeOnReport(const std::string& report, const std::string& forms,
                           const std::string& images) {
  core::gCurrentReport = report;
  if (vb::InStr(vb::UCase(report), "\\SKELS\\") > 0) {
    mbTemplateReport = core::vbTrue;
    lblRPT.SetForeColor(kTemplateColor);
  } else {
    mbTemplateReport = core::vbFalse;
    lblRPT.SetForeColor(kActiveTitleBarColor);
  }
  lblRPT.SetCaption(report);
  core::gReportForms = forms;
  core::gFormType = core::FirstCommaField(forms);
  TxtKepReport.SetText(report);
  txtKepListForms.SetText(forms);
  core::gReportImages = images;
  txtDDE.SetText(images);
}

void frmMain::ClearAllPhotos() {
  ClearSlots(imaSubject, 3);
  ClearSlots(imaComp, 9);
  ClearSlots(imaAltComp, 6);
  ClearSlots(imaGeneral, 36);
  ClearSlots(imaListing, 6);
  ClearSlots(imaSpecificListing, 6);
  ClearSlots(imaReoListing, 3);
  ClearSlots(imaReo2Listing, 3);
  ClearSlots(imaRental, 9);
  ClearSlots(imaExtended, 36);
  Yield();
}

void frmMain::ClearSlots(forms::ControlArray<forms::Gear>& slots, int count) {
  for (int i = 1; i <= count; ++i) core::ErrClearPict(slots[i]);
}

// The temporary copies handed to KEP are kept while a template report is open or while a
// picture of the open report lies in the user directory.
void frmMain::DelTempPhotos() {
  filREA.SetPath(core::gUserDir);
  filREA.SetPattern("ptemp*.jpg");
  if (mbTemplateReport || core::gbFileInUserDir) return;
  filREA.Refresh();
  for (int i = 0; i < filREA.ListCount(); ++i) {
    const std::string copy = core::CkRSlash(core::gUserDir) + filREA.List(i);
    // A copy KEP took lives on in the report; one it never took, or one edited since, is the
    // only home of its bytes and goes through the trash folder.
    if (core::ReportHoldsBytesOf(copy)) {
      core::DelPict(copy, true);
    } else {
      core::KeepIntent removal;
      removal.remove = true;
      core::KeepPicture(copy, removal);
    }
  }
  filREA.Refresh();
}

void frmMain::ResetTabs() {
  TabData.SetTab(0);
  TabComp.SetTab(0);
  TabGeneral.SetTab(0);
  TabListing.SetTab(0);
  TabRental.SetTab(0);
}

}  // namespace photo_pages
