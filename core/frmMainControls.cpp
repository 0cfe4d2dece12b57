#include "core/frmMainControls.h"

#include <utility>

#include "platform/vbrt/VbError.h"

namespace core {

namespace {
MainFormControls* gMainForm = nullptr;
constexpr int kObjectNotSet = 91;
}  // namespace

MainFormControls::MainFormControls(std::string name, std::string layoutName)
    : forms::Form(std::move(name), std::move(layoutName)) {}

MainFormControls::~MainFormControls() {
  if (gMainForm == this) gMainForm = nullptr;
}

void MainFormControls::CreateElements() {
  EnsureTabs(TabData, 6);
  EnsureTabs(TabSubject, 1);
  EnsureTabs(TabComp, 5);
  EnsureTabs(TabGeneral, 12);
  EnsureTabs(TabListing, 6);
  EnsureTabs(TabRental, 3);
  EnsureTabs(tabExtended, 6);

  EnsureRange(lblCompAddr, 1, 9);
  EnsureRange(lblAltCompAddr, 1, 6);
  EnsureRange(lblRentalAddr, 1, 9);
  EnsureRange(lblListingAddr, 1, 6);
  EnsureRange(lblReoListingAddr, 1, 3);
  EnsureRange(lblReo2ListingAddr, 1, 3);
  EnsureRange(lblSpecificListingAddr, 1, 6);
  EnsureRange(cboGeneral, 1, 36);

  EnsureRange(lblComp, 1, 9);
  EnsureRange(imaComp, 1, 9);

  CreateSlotElements();
}

void MainFormControls::EnsureRange(forms::ControlArrayBase& array, int first, int last) {
  for (int i = first; i <= last; ++i) array.Ensure(i);
}

void MainFormControls::EnsureTabs(forms::TabControl& tabs, int n) {
  if (tabs.Tabs() < n) tabs.SetTabs(n);
}

MainFormControls& frmMain() {
  if (gMainForm == nullptr) vb::Raise(kObjectNotSet);
  return *gMainForm;
}

void SetMainForm(MainFormControls* form) {
  gMainForm = form;
}

bool HasMainForm() {
  return gMainForm != nullptr;
}

}  // namespace core
