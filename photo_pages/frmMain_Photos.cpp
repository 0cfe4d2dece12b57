// Filling the photo slots from the report's image list ("OBJECT|path;" entries), family by
// family, each followed by its address labels or caption lists.

#include <array>
#include <string>

#include "core/ErrTrap.h"
#include "core/kepcalls.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"

namespace photo_pages {

namespace {

// Upper-cases ASCII letters only, so that byte positions stay those of the original text.
std::string AsciiUpper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

void frmMain::SetAllDde() {
  core::Trap trap("SetAllDde");
  auto step = [&](const char* text, auto&& body) {
    return trap.Step([&] { core::DebugTrace(text, ""); }) && trap.Step(body);
  };
  if (!step("SetPhotos('SUB')", [this] { SetPhotos("SUB"); })) return;
  if (!step("setSubjectLabels", [] { core::setSubjectLabels(); })) return;
  if (!step("SetPhotos('CMP')", [this] { SetPhotos("CMP"); })) return;
  if (!step("SetSalesLabels", [] { core::SetSalesLabels(); })) return;
  if (!step("SetPhotos('ALT')", [this] { SetPhotos("ALT"); })) return;
  if (!step("SetAltSalesLabels", [] { core::SetAltSalesLabels(); })) return;
  if (!step("SetPhotos('GN')", [this] { SetPhotos("GN"); })) return;
  if (!step("TabPopulateGeneralText", [this] { TabPopulateGeneralText(); })) return;
  if (!step("SetPhotos('LCMP')", [this] { SetPhotos("LCMP"); })) return;
  if (!step("SetListingLabels", [] { core::SetListingLabels(); })) return;
  if (!step("SetPhotos('SCMP')", [this] { SetPhotos("SCMP"); })) return;
  if (!step("SetSpecificListingLabels", [] { core::SetSpecificListingLabels(); })) return;
  if (!step("SetPhotos('OCMP')", [this] { SetPhotos("OCMP"); })) return;
  if (!step("SetReoListingLabels", [] { core::SetReoListingLabels(); })) return;
  if (!step("SetPhotos('ECMP')", [this] { SetPhotos("ECMP"); })) return;
  if (!trap.Step([] { core::SetReo2ListingLabels(); })) return;
  if (!step("SetPhotos('RCMP')", [this] { SetPhotos("RCMP"); })) return;
  if (!step("SetRentalLabels", [] { core::SetRentalLabels(); })) return;
  if (!step("SetPhotos('XP')", [this] { SetPhotos("XP"); })) return;
  step("TabPopulateExtendedText", [this] { TabPopulateExtendedText(); });
}

// The slot families by photo-object prefix, with their slot counts.
std::array<frmMain::SlotFamilyEntry, 10> frmMain::SlotFamilies() {
  return {{
      {"SUB", 3, &imaSubject},
      {"CMP", 9, &imaComp},
      {"ALT", 6, &imaAltComp},
      {"GN", 36, &imaGeneral},
      {"LCMP", 6, &imaListing},
      {"SCMP", 6, &imaSpecificListing},
      {"OCMP", 3, &imaReoListing},
      {"ECMP", 3, &imaReo2Listing},
      {"RCMP", 9, &imaRental},
      {"XP", 36, &imaExtended},
  }};
}

forms::ControlArray<forms::Gear>* frmMain::SlotFamily(const std::string& sPrefix, int& count) {
  for (const SlotFamilyEntry& f : SlotFamilies()) {
    if (sPrefix == f.prefix) {
      count = f.count;
      return f.gears;
    }
  }
  count = 0;
  return nullptr;
}

// A slot whose handling fails keeps what it showed; the next slot goes on.
// With onlyBlank, the slots that show something are left as they are.
void frmMain::SetPhotos(const std::string& sPrefix, bool onlyBlank) {
  int count = 0;
  forms::ControlArray<forms::Gear>* slots = SlotFamily(sPrefix, count);
  for (int i = 1; i <= count; ++i) {
    forms::Gear& slot = (*slots)[i];
    if (onlyBlank && !vb::Trim(slot.ThumbPath()).empty()) continue;
    try {
      const std::string key = sPrefix + "_" + std::to_string(i) + "_";
      const std::string entry = FindImageEntry(core::gReportImages, key);
      const std::string objectName = core::ParseLR(entry, "L", "|");
      std::string picture = core::ParseLR(entry, "R", "|");
      picture = core::StripSemicolon(picture);
      // NOLINTNEXTLINE(bugprone-branch-clone): the first and last cases clear for different reasons
      if (vb::Trim(picture).empty() || core::IsEmptyPict(picture)) {
        core::geaClearImage(slot);
      } else if (vb::UCase(vb::Trim(slot.ThumbPath())) != vb::UCase(vb::Trim(picture))) {
        core::LocateAndDisplay(objectName, picture);
      } else {
        core::geaClearImage(slot);
      }
    } catch (const forms::ProgramEnded&) {
      throw;
    } catch (...) {
    }
  }
}

// A refresh that stops part-way (KEP hung or gone) after clearing the slots leaves those not yet
// filled blank under the name of the report it took on, where a drop would replace that
// object's picture without the question and without keeping its old bytes: they show the
// report's pictures.
void frmMain::ShowPhotosLeftBlank() {
  for (const SlotFamilyEntry& f : SlotFamilies()) SetPhotos(f.prefix, true);
}

std::string frmMain::FindImageEntry(const std::string& sList, const std::string& sKey) {
  const std::string list = ";" + sList;
  const std::string upper = AsciiUpper(list);
  const auto p1 = upper.find(";" + sKey);
  if (p1 == std::string::npos) return "";
  const auto p2 = upper.find(';', p1 + 1);
  // An entry that no ";" closes cannot be cut out (a negative length, as the list reader
  // always had it).
  if (p2 == std::string::npos) vb::Raise(vb::kInvalidProcedureCall);
  return list.substr(p1 + 1, p2 - p1 - 1);
}

}  // namespace photo_pages
