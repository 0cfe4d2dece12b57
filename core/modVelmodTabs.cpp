#include "core/modVelmodTabs.h"

#include <array>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"

namespace core {

namespace {

constexpr const char* kNotAvailable = "N/A";

// The three labels (or caption boxes) of one page: array elements first..first+2.
struct PageLabels {
  forms::ControlArrayBase* array = nullptr;
  int first = 0;
};

// Page n of a section whose pages hold three slots each: elements 3n+1 to 3n+3.
PageLabels Page(forms::ControlArrayBase& array, int n) {
  return {&array, 3 * n + 1};
}

PageLabels LabelsOf(const std::string& tabName, int nTab) {
  MainFormControls& m = frmMain();
  if (tabName == "TABCOMP") {
    if (nTab >= 0 && nTab <= 2) return Page(m.lblCompAddr, nTab);
    if (nTab == 3 || nTab == 4) return Page(m.lblAltCompAddr, nTab - 3);
  } else if (tabName == "TABRENTAL") {
    if (nTab >= 0 && nTab <= 2) return Page(m.lblRentalAddr, nTab);
  } else if (tabName == "TABLISTING") {
    if (nTab == 0 || nTab == 1) return Page(m.lblListingAddr, nTab);
    if (nTab == 2) return Page(m.lblReoListingAddr, 0);
    if (nTab == 3) return Page(m.lblReo2ListingAddr, 0);
    if (nTab == 4 || nTab == 5) return Page(m.lblSpecificListingAddr, nTab - 4);
  } else if (tabName == "TABGENERAL") {
    if (nTab >= 0 && nTab <= 11) return Page(m.cboGeneral, nTab);
  }
  return {};
}

forms::Control& Element(const forms::ControlArrayBase& array, int index) {
  forms::Control* c = array.Find(index);
  if (c == nullptr) forms::ControlArrayBase::RaiseMissing(index);
  return *c;
}

std::string Numbered(const char* key, int i) {
  return key + std::to_string(i);
}

// One page of the tab rules: whether the report offers it, its caption, its labels and,
// where asked, one pass through the message loop.  False once the procedure was left.
struct PageRule {
  forms::TabControl& tabs;
  int tab;
  std::string key;
  std::string caption;
  bool ersToo;
  bool pendingEvents;
};

bool ApplyPageRule(Trap& trap, const PageRule& rule, const std::string& sForms) {
  bool available = false;
  if (!trap.Step([&] {
        available = KepReturnPage(rule.key, sForms) != "" || (rule.ersToo && IsErsForm(sForms));
      })) {
    return false;
  }
  if (!trap.Step([&] { HandleTabCaption(rule.tabs, rule.tab, rule.caption, available); })) {
    return false;
  }
  if (!trap.Step([&] { HandleNALabel(rule.tabs, rule.tab, available); })) return false;
  if (rule.pendingEvents) return trap.Step([] { forms::App::Current().DoEvents(); });
  return true;
}

// Steps 1 to 8: comparables, alternates, general pages, listings, specific listings, REO,
// REO 2008, rentals.
bool ApplySectionRules(Trap& trap, MainFormControls& m, const std::string& sForms) {
  for (int i = 1; i <= 3; ++i) {
    if (!ApplyPageRule(
            trap,
            {m.TabComp, i - 1, Numbered("COMPARABLES_", i), PageRangeCaption("", i), false, true},
            sForms)) {
      return false;
    }
  }
  for (int j = 1; j <= 2; ++j) {
    if (!ApplyPageRule(
            trap,
            {m.TabComp, j + 2, Numbered("ALTPH", j), "Alt " + PageRangeCaption("", j), false, true},
            sForms)) {
      return false;
    }
  }
  for (int i = 1; i <= 12; ++i) {
    if (!ApplyPageRule(
            trap, {m.TabGeneral, i - 1, Numbered("GENERAL_", i), GeneralPageTag(i), false, true},
            sForms)) {
      return false;
    }
  }
  for (int i = 1; i <= 2; ++i) {
    if (!ApplyPageRule(trap,
                       {m.TabListing, i - 1, Numbered("LISTINGS_", i), PageRangeCaption("LIST ", i),
                        true, false},
                       sForms)) {
      return false;
    }
  }
  for (int i = 1; i <= 2; ++i) {
    if (!ApplyPageRule(trap,
                       {m.TabListing, i + 3, Numbered("SPECIFIC_", i), PageRangeCaption("SPEC ", i),
                        true, false},
                       sForms)) {
      return false;
    }
  }
  if (!ApplyPageRule(trap, {m.TabListing, 2, "REOS_1", "REO 1 - 3", false, false}, sForms)) {
    return false;
  }
  if (!ApplyPageRule(trap, {m.TabListing, 3, "REO2S_1", "REO 2008 1-3", false, false}, sForms)) {
    return false;
  }
  for (int i = 1; i <= 3; ++i) {
    if (!ApplyPageRule(
            trap,
            {m.TabRental, i - 1, Numbered("RENTALS_", i), PageRangeCaption("", i), false, true},
            sForms)) {
      return false;
    }
  }
  return true;
}

// Step 9: the extended pages; the sixth is left current.
bool ApplyExtendedRules(Trap& trap, MainFormControls& m, const std::string& sForms) {
  for (int i = 1; i <= 6; ++i) {
    if (!trap.Step([&] { m.tabExtended.SetTab(i - 1); })) return false;
    if (!trap.Step([&] {
          const bool available = KepReturnPage(Numbered("EXTENDED_", i), sForms) != "";
          m.tabExtended.SetCaption(available ? ExtendedPageCaption(i) : kNotAvailable);
        })) {
      return false;
    }
  }
  return true;
}

// Step 10: report forms whose pages differ from what KEP.INI says.
void ApplyFormExceptions(Trap& trap, MainFormControls& m, const std::string& sForms) {
  std::string formType;
  if (!trap.Step([&] { formType = vb::UCase(vb::Trim(FirstCommaField(sForms))); })) return;
  if (formType == "704") {
    for (int i = 1; i <= 2; ++i) {
      if (!trap.Step([&] {
            HandleTabCaption(m.TabListing, i - 1, PageRangeCaption("LIST ", i), false);
          })) {
        return;
      }
      if (!trap.Step([&] { HandleNALabel(m.TabListing, i - 1, false); })) return;
    }
  } else if (formType == "DT3") {
    for (int i = 5; i <= 6; ++i) {
      if (!trap.Step([&] { m.lblComp[i].SetVisible(false); })) return;
      if (!trap.Step([&] { m.imaComp[i].SetVisible(false); })) return;
    }
  }
}

}  // namespace

void TabDisable(const std::string& sForms) {
  Trap trap("TabDisable");
  if (!trap.Step([&] {
        if (KepReturnPage("SUBJECT_1", sForms) != "") frmMain().TabSubject.SetVisible(true);
      })) {
    return;
  }
  trap.Step([&] { TestOtherTabs(sForms); });
}

void TestOtherTabs(const std::string& sForms) {
  Trap trap("TestOtherTabs");
  MainFormControls* m = nullptr;
  if (!trap.Step([&] { m = &frmMain(); }) || m == nullptr) return;
  if (!ApplySectionRules(trap, *m, sForms)) return;
  if (!ApplyExtendedRules(trap, *m, sForms)) return;
  ApplyFormExceptions(trap, *m, sForms);
}

void HandleTabCaption(forms::TabControl& tabCtl, int nTab, const std::string& sCaption,
                      bool bAvailable) {
  Trap trap("HandleTabCaption");
  if (bAvailable) {
    if (!trap.Step([&] { tabCtl.SetEnabled(true); })) return;
    trap.Step([&] { tabCtl.SetTabCaption(nTab, sCaption); });
  } else {
    trap.Step([&] { tabCtl.SetTabCaption(nTab, kNotAvailable); });
  }
}

void HandleNALabel(forms::TabControl& tabCtl, int nTab, bool bAvailable) {
  Trap trap("HandleNALabel");
  PageLabels labels;
  if (!trap.Step([&] { labels = LabelsOf(vb::UCase(tabCtl.Name()), nTab); })) return;
  if (labels.array == nullptr) return;
  for (int i = labels.first; i < labels.first + 3; ++i) {
    if (!trap.Step([&] { Element(*labels.array, i).SetVisible(bAvailable); })) return;
  }
}

bool IsErsForm(const std::string& sForms) {
  return FirstCommaField(sForms) == "ERS";
}

std::string ExtendedPageCaption(int n) {
  static constexpr std::array<const char*, 6> kCaptions = {"1 - 6",   "7 - 12",  "13 - 18",
                                                           "19 - 24", "25 - 30", "31 - 36"};
  return n >= 1 && n <= 6 ? kCaptions[n - 1] : "";
}

std::string PageRangeCaption(const std::string& sPrefix, int n) {
  static constexpr std::array<const char*, 12> kRanges = {
      "1 - 3",   "4 - 6",   "7 - 9",   "10 - 12", "13 - 15", "16 - 18",
      "19 - 21", "22 - 24", "25 - 27", "28 - 30", "31 - 33", "34 - 36"};
  return n >= 1 && n <= 12 ? sPrefix + kRanges[n - 1] : "";
}

std::string GeneralPageTag(int n) {
  return "P" + std::to_string(n);
}

std::string TabCaptionPrefix(const std::string& sPageKey) {
  return vb::UCase(vb::Left(sPageKey, 4)) == "GENE" ? "P" : "";
}

}  // namespace core
