// The caption and address boxes of the general photos (12 pages of 3) and the extended photos
// (6 pages of 6): reading their texts from the report, sending every edit back at once,
// filling their drop-down lists, and the caption window opened by a drop on such a slot.
//
// General photo i lies on general page (i - 1) \ 3 + 1, extended photo i on extended page
// (i - 1) \ 6 + 1.  An extended photo's report field holds address, CR LF, caption.

#include <string>

#include "core/ErrTrap.h"
#include "core/kepcalls.h"
#include "core/lstControl.h"
#include "core/modListLoad.h"
#include "core/modOpSys.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "tools/frmGenView.h"

namespace photo_pages {

namespace {
constexpr const char* kCrLf = "\r\n";
// Per place on a general page: the address, then the caption.
constexpr const char* kGeneralKeys[] = {"GENERAL_ADDR_", "GENERAL_DATA_"};
constexpr const char* kNotAvailable = "N/A";

bool IsPhotoIndex(int Index) {
  return Index >= 1 && Index <= 36;
}
// The place (1 to 6) of extended photo Index on its page, and the page (1 to 6).
int ExtendedPlace(int Index) {
  return ((Index - 1) % 6) + 1;
}
int ExtendedPage(int Index) {
  return ((Index - 1) / 6) + 1;
}

// The report text of an extended photo: address, CR LF, caption; either part may be missing.
std::string ExtendedText(const std::string& sAddr, const std::string& sCaption) {
  const bool noAddr = vb::Trim(sAddr).empty();
  const bool noCaption = vb::Trim(sCaption).empty();
  if (noAddr && noCaption) return "";
  if (noCaption) return sAddr;
  if (noAddr) return kCrLf + sCaption;
  return sAddr + kCrLf + sCaption;
}

// A caption the caption window handed back: neither blank nor the cancel mark.
bool IsChosenCaption(const std::string& caption) {
  return !caption.empty() && caption != tools::kGenViewCancel;
}
}  // namespace

std::string frmMain::SetSubjectAddress(const std::string& sAddr) {
  if (vb::Trim(sAddr).empty()) return lblSubjectAddr.Caption();
  return sAddr;
}

void frmMain::AddGenViews2CBO() {
  core::LoadListFromIni(lstViews, core::gMainIniPath, "GENERAL VIEWS", "GENERALVIEW", -1);
  for (int i = 1; i <= 36; ++i) core::lstCopy(lstViews, cboGeneral[i]);
}

void frmMain::PostViews2ExtendedCBO() {
  for (int i = 1; i <= 36; ++i) {
    cboExtended[i].Clear();
    core::lstCopy(lstViews, cboExtended[i]);
  }
}

// The address list grows in cboGeneralAddress(1) (never cleared there) and is copied to every
// other address box; the boxes keep their texts.
void frmMain::PostAddr2Combos() {
  forms::ComboBox& first = cboGeneralAddress[1];
  core::lstAddUnique(first, lblSubjectAddr.Caption());
  auto add = [&](forms::ControlArray<forms::Label>& labels, int count) {
    for (int i = 1; i <= count; ++i) core::lstAddUnique(first, labels[i].Caption());
  };
  add(lblCompAddr, 9);
  add(lblRentalAddr, 9);
  add(lblListingAddr, 6);
  add(lblAltCompAddr, 6);
  add(lblReoListingAddr, 3);
  add(lblReo2ListingAddr, 3);
  for (int i = 2; i <= 36; ++i) CopyListKeepText(first, cboGeneralAddress[i]);
  for (int i = 1; i <= 36; ++i) CopyListKeepText(first, cboExtendedAddress[i]);
  first.SetText("");
}

// lstCopy clears the target, which also empties an editable box's text; the text stays here.
void frmMain::CopyListKeepText(forms::ComboBox& source, forms::ComboBox& target) {
  const std::string text = target.Text();
  core::lstCopy(source, target);
  if (target.Text() != text) target.SetText(text);
}

void frmMain::TabPopulateExtendedText() {
  const std::string forms = vb::UCase(vb::Trim(txtKepListForms.Text()));
  const std::string section = core::KepPageSection("EXTENDED_1", forms);
  const std::string report = TxtKepReport.Text();
  KepRequestExtendedCaptions(section, report, forms);
}

// The field of extended photo k (1 to 6) of a page.
std::string frmMain::ExtendedField(const std::string& sSection, const std::string& sPage, int k) {
  return sPage + "|" +
         core::ReadIni(core::gKepIniPath, sSection, "Extended_ADDR_" + std::to_string(k), "");
}

// The pages are asked for once more here; reading them changes nothing and raises nothing.
void frmMain::KepRequestExtendedCaptions(const std::string& sSection, const std::string& sReport,
                                         const std::string& sForms) {
  std::vector<std::string> fields;
  for (int n = 1; n <= 6; ++n) {
    const std::string page = core::KepReturnPage("Extended_" + std::to_string(n), sForms);
    for (int k = 1; k <= 6; ++k) fields.push_back(ExtendedField(sSection, page, k));
  }
  core::KepPrefetchFields(txtDDE, sReport, fields);
  for (int n = 1; n <= 6; ++n) {
    const std::string page = core::KepReturnPage("Extended_" + std::to_string(n), sForms);
    GetExtendedText(sSection, sReport, page, txtDDE, 6 * n - 5);
  }
}

void frmMain::GetExtendedText(const std::string& sSection, const std::string& sReport,
                              const std::string& sPage, forms::TextBox& link, int nStart) {
  core::Trap trap("GetExtendedText");
  for (int k = 1; k <= 6; ++k) {
    const int s = nStart + k - 1;
    std::string text;
    if (!trap.Step([&] {
          text = core::KepGetFieldInfo(link, sReport, ExtendedField(sSection, sPage, k));
        })) {
      return;
    }
    if (!trap.Step([&] {
          if (vb::InStr(text, kCrLf) > 0) {
            cboExtendedAddress[s].SetText(core::ParseLR(text, "L", kCrLf));
            cboExtended[s].SetText(core::ParseLR(text, "r", kCrLf));
          } else if (vb::Trim(text).empty()) {
            cboExtendedAddress[s].SetText("");
            cboExtended[s].SetText("");
          } else {
            cboExtendedAddress[s].SetText(text);
            cboExtended[s].SetText("");
          }
        })) {
      return;
    }
  }
}

void frmMain::TabPopulateGeneralText() {
  const std::string forms = vb::UCase(vb::Trim(txtKepListForms.Text()));
  const std::string section = core::KepPageSection("SUBJECT_1", forms);
  const std::string report = TxtKepReport.Text();
  KepRequestGeneralCaptions(section, report, forms);
}

// The field of a general photo's address or caption (key GENERAL_ADDR_ or GENERAL_DATA_) at
// place k (1 to 3) of a page.
std::string frmMain::GeneralField(const std::string& sSection, const std::string& sPage,
                                  const char* key, int k) {
  return sPage + "|" + core::ReadIni(core::gKepIniPath, sSection, key + std::to_string(k), "");
}

// The pages are asked for once more here; reading them changes nothing and raises nothing.
void frmMain::KepRequestGeneralCaptions(const std::string& sSection, const std::string& sReport,
                                        const std::string& sForms) {
  std::vector<std::string> fields;
  for (int n = 1; n <= 12; ++n) {
    const std::string page = core::KepReturnPage("GENERAL_" + std::to_string(n), sForms);
    for (int k = 1; k <= 3; ++k) {
      for (const char* key : kGeneralKeys) fields.push_back(GeneralField(sSection, page, key, k));
    }
  }
  core::KepPrefetchFields(txtDDE, sReport, fields);
  for (int n = 1; n <= 12; ++n) {
    const std::string page = core::KepReturnPage("GENERAL_" + std::to_string(n), sForms);
    GetGeneralText(sSection, sReport, page, txtDDE, 3 * n - 2);
  }
}

// Address first, then caption.  Each box shows what the report holds, an empty field (or a page
// the report lacks) as an empty box: a text kept from before would be sent back into the report
// by the box's next event.
void frmMain::GetGeneralText(const std::string& sSection, const std::string& sReport,
                             const std::string& sPage, forms::TextBox& link, int nStart) {
  core::Trap trap("GetGeneralText");
  for (int k = 1; k <= 3; ++k) {
    const int s = nStart + k - 1;
    for (const char* key : kGeneralKeys) {
      if (!trap.Step([&] {
            const std::string reply =
                core::KepGetFieldInfo(link, sReport, GeneralField(sSection, sPage, key, k));
            if (std::string(key) == "GENERAL_ADDR_") {
              cboGeneralAddress[s].SetText(reply);
            } else {
              cboGeneral[s].SetText(reply);
            }
          })) {
        return;
      }
    }
  }
}

// ---- Sending the extended texts ----------------------------------------------------------------

// Extended photos go to fixed page names, not to KEP.INI's page values.
std::string frmMain::KepReturnExtendedKepPage(const std::string& sSection, int Index) {
  if (!IsPhotoIndex(Index)) return "";
  const std::string page = std::to_string(ExtendedPage(Index));
  if (vb::InStr(sSection, "3X5") > 0) return "PHT350" + page;
  if (vb::InStr(sSection, "4X6") > 0) return "PHT460" + page;
  return "";
}

std::string frmMain::KepReturnExtendedData(const std::string& sSection, const std::string& sKey) {
  return core::ReadIni(core::gKepIniPath, sSection, sKey, "");
}

std::string frmMain::KepReturnExtendedAddr(const std::string& /*sSection*/, int Index) {
  if (!IsPhotoIndex(Index)) return "";
  return "EXTENDED_ADDR_" + std::to_string(ExtendedPlace(Index));
}

// The text is sent even when it is empty, so that a cleared photo text is cleared in the report.
void frmMain::KepSendExtendedAddress(int Index, const std::string& sAddr,
                                     const std::string& sCaption) {
  const std::string text = ExtendedText(sAddr, sCaption);
  const std::string forms = vb::UCase(vb::Trim(txtKepListForms.Text()));
  const std::string section = core::PhotoPagesSection(core::FormPageSize(forms));
  const std::string key = KepReturnExtendedAddr(section, Index);
  const std::string field = KepReturnExtendedData(section, key);
  const std::string page = KepReturnExtendedKepPage(section, Index);
  core::KepPokeText(txtDDE, "Kep|" + vb::Trim(TxtKepReport.Text()), page + "|" + field, text);
}

// ---- The boxes' events -------------------------------------------------------------------------

// Each edit goes to the report at once.  A poke that KEP fails reaches the event's handler,
// which reports it; the box keeps what the user typed.
void frmMain::BindCaptionEvents() {
  auto bind = [this](forms::ControlArray<forms::ComboBox>& boxes, void (frmMain::*body)(int)) {
    const std::string name = boxes.Name();
    boxes.Bind(&forms::Control::Click, [this, name, body](int Index) {
      core::RunEvent(name + "_Click", [&] { (this->*body)(Index); });
    });
    boxes.Bind(&forms::Control::LostFocus, [this, name, body](int Index) {
      core::RunEvent(name + "_LostFocus", [&] { (this->*body)(Index); });
    });
  };
  bind(cboGeneral, &frmMain::cboGeneral_Change);
  bind(cboGeneralAddress, &frmMain::cboGeneral_Change);
  bind(cboExtended, &frmMain::cboExtended_Change);
  bind(cboExtendedAddress, &frmMain::cboExtendedAddress_Change);
}

// Both texts of the general photo are sent on every event of either box; a blank address is
// sent blank.  Nothing is sent while the window is still loading.
void frmMain::cboGeneral_Change(int Index) {
  if (mbFormLoading) return;
  core::KepSendGeneralData(Index, cboGeneral[Index].Text());
  core::KepSendGeneralAddr(Index, cboGeneralAddress[Index].Text());
}

// A caption on a page the report lacks is not sent.
void frmMain::cboExtended_Change(int Index) {
  if (tabExtended.Caption() == kNotAvailable) return;
  cboExtendedAddress_Change(Index);
}

// A blank address takes the subject's address before the photo's text is sent.
void frmMain::cboExtendedAddress_Change(int Index) {
  forms::ComboBox& address = cboExtendedAddress[Index];
  address.SetText(SetSubjectAddress(address.Text()));
  KepSendExtendedAddress(Index, address.Text(), cboExtended[Index].Text());
}

// ---- The caption window ----------------------------------------------------------------------

// After a drop on general photo gGenViewIndex: the chosen caption goes into its box.  False
// when the window was cancelled (or handed back no caption).
bool frmMain::ChooseGeneralCaption() {
  tools::ShowGenView();
  if (!IsChosenCaption(core::gGenViewCaption)) return false;
  cboGeneral[core::gGenViewIndex].SetText(core::gGenViewCaption);
  return true;
}

// After a drop on extended photo gGenViewIndex: a cancelled window gives the caption
// "General View <Index>".  Always True.
bool frmMain::ChooseExtendedCaption(int Index) {
  tools::ShowGenView();
  const std::string caption =
      IsChosenCaption(core::gGenViewCaption)
          ? core::gGenViewCaption
          : "General View " + core::IntToStr(static_cast<std::int16_t>(Index));
  cboExtended[core::gGenViewIndex].SetText(caption);
  return true;
}

}  // namespace photo_pages
