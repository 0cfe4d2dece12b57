#include "core/modVelmodDrag.h"

#include <array>
#include <string>
#include <utility>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/kepcalls.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "platform/forms/App.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Gear.h"
#include "platform/forms/TabControl.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"

namespace core {

namespace {

constexpr int kInvalidArrayIndex = 341;

bool Holds(const std::string& text, const char* part) {
  return vb::InStr(text, part) > 0;
}

const forms::StdPicture& DragIconPicture() {
  return frmMain().imaDragDrop[0].Picture();
}

// The sources whose icon is given again when they enter or leave a target.
bool TakesDragIcon(const std::string& name) {
  static const std::array<const char*, 8> kSources = {"GEATHUMB",  "FILCAPTURE", "IMASUBJECT",
                                                      "IMACOMP",   "IMAALTCOMP", "IMALISTING",
                                                      "IMARENTAL", "IMAGENERAL"};
  for (const char* s : kSources) {
    if (name == s) return true;
  }
  return false;
}

// Objects of the image list that have no slot.
bool IsSkippedObject(const std::string& object) {
  return object.empty() || object == "MAP_LOCATION" || object == "SUB_TITLE" ||
         object == "SKETCH_SUBJECT";
}

// The slot array that the first three characters of an object name designate; nullptr when
// none does.
forms::ControlArray<forms::Gear>* SlotArrayForKey(const std::string& key) {
  MainFormControls& f = frmMain();
  const std::array<std::pair<const char*, forms::ControlArray<forms::Gear>*>, 10> kKeys = {{
      {"SUB", &f.imaSubject},
      {"CMP", &f.imaComp},
      {"ALT", &f.imaAltComp},
      {"GN_", &f.imaGeneral},
      {"RCM", &f.imaRental},
      {"LCM", &f.imaListing},
      {"SCM", &f.imaSpecificListing},
      {"OCM", &f.imaReoListing},
      {"ECM", &f.imaReo2Listing},
      {"XP_", &f.imaExtended},
  }};
  for (const auto& [k, array] : kKeys) {
    if (key == k) return array;
  }
  return nullptr;
}

std::string ListingPrefix(int page) {
  switch (page) {
    case 0:
    case 1:
      return "LCMP";
    case 2:
      return "OCMP";
    case 3:
      return "ECMP";
    case 4:
    case 5:
      return "SCMP";
    default:
      return {};
  }
}

}  // namespace

// ---- Drag source and feedback ----------------------------------------------------------------

void SourceMouseDown(forms::Control& ctl) {
  Trap trap("SourceMouseDown");
  trap.Step([&] { ctl.SetDragIcon(DragIconPicture()); });
  trap.Step([&] { ctl.Drag(); });
}

void SetDragSource(forms::Gear& ctl) {
  gDragSourcePath = vb::Trim(ctl.ThumbPath()).empty() ? std::string() : ctl.ThumbPath();
}

void TargetDragOverKep(forms::Control& Source, float /*X*/, float /*Y*/, int State) {
  Trap trap("TargetDragOverKep");
  trap.Step([&] {
    const std::string name = vb::Trim(vb::UCase(Source.Name()));
    if (TakesDragIcon(name) && (State == forms::vbEnter || State == forms::vbLeave)) {
      Source.SetDragIcon(DragIconPicture());
    }
  });
}

// ---- Showing a report picture in its slot -----------------------------------------------------

bool ValidateData(std::int16_t nIndex, const std::string& sPath) {
  Trap trap("ValidateData");
  trap.Expect({vb::kPathNotFound}, [&sPath](const vb::VbError&) {
    forms::App::Current().MsgBox("The filename '" + sPath + "' does not exist or is invalid.",
                                 forms::vbOKOnly);
    return kLeave;
  });
  bool result = false;
  trap.Step([&] { result = nIndex != -1 && !DirLookup(sPath).empty(); });
  return result;
}

bool IsInUserDir(const std::string& sPath) {
  return vb::InStr(vb::UCase(vb::Trim(gUserDir)), vb::UCase(vb::Trim(sPath))) > 0;
}

std::int16_t ObjectSlotIndex(const std::string& sObject) {
  const long p1 = vb::InStr(sObject, "_");
  if (p1 == 0) return -1;
  const long p2 = vb::InStr(p1 + 1, sObject, "_");
  if (p2 == 0) return -1;
  const std::string number = vb::Trim(vb::Mid(sObject, p1 + 1, p2 - p1 - 1));
  if (number.empty() || number.find_first_of("0123456789") == std::string::npos) return -1;
  return GetIndexValue(sObject);
}

void LocateAndDisplay(const std::string& sObject, const std::string& sPath) {
  Trap trap("LocateAndDisplay");
  trap.Expect({kInvalidArrayIndex}, kLeave);
  std::string object;
  if (!trap.Step([&] { object = vb::Trim(vb::UCase(sObject)); })) return;
  if (IsSkippedObject(object)) return;

  // A name whose number could not be read displays nothing.
  std::int16_t n = -1;
  if (!trap.Step([&] { n = ObjectSlotIndex(object); })) return;
  bool valid = false;
  if (!trap.Step([&] { valid = ValidateData(n, sPath); })) return;
  if (!valid) {
    trap.Step([&] { gbFileInUserDir = ToVbBool(IsInUserDir(sPath)); });
    return;
  }
  forms::ControlArray<forms::Gear>* slots = nullptr;
  if (!trap.Step([&] { slots = SlotArrayForKey(vb::UCase(vb::Trim(vb::Left(object, 3)))); })) {
    return;
  }
  if (slots == nullptr) return;
  trap.Step([&] { ErrLoadThumb((*slots)[n], sPath); });
}

// ---- Naming and hand-off ----------------------------------------------------------------------

std::string SlotPrefix(const forms::TabControl& tabCtl, const forms::Control& slotCtl) {
  const std::string tab = vb::UCase(tabCtl.Name());
  if (Holds(tab, "SUBJ")) return "SUB";
  if (Holds(tab, "COMP")) return Holds(vb::UCase(slotCtl.Name()), "ALT") ? "ALT" : "CMP";
  if (Holds(tab, "LIST")) return ListingPrefix(tabCtl.Tab());
  if (Holds(tab, "RENT")) return "RCMP";
  if (Holds(tab, "GEN")) return "GN";
  if (Holds(tab, "EXTEND")) return "XP";
  return {};
}

std::string PhotoObjectBase(const forms::TabControl& tabCtl, const forms::Control& slotCtl,
                            std::int16_t nIndex) {
  switch (nIndex) {
    case -1:
      return "MAP_LOCATION";
    case -2:
      return "MAP_GENERAL_1";
    case -3:
      return "FAX_SCAN_A";
    case -4:
      return {};
    default:
      return SlotPrefix(tabCtl, slotCtl) + "_" + vb::CStr(nIndex) + "_";
  }
}

bool SendPhotoToKep(forms::TabControl& tabCtl, forms::Gear& slotCtl, std::int16_t nIndex) {
  const bool taken = SetSlotPhotoOnKep(tabCtl, slotCtl, nIndex) == HandOver::Taken;
  RunKepRefreshScript();
  return taken;
}

// Another report active in KEP than the one the window shows (opened since the last refresh)
// gets nothing: the picture or caption would land in the wrong report.
HandOver KepReportCheck(forms::TextBox& lnk) {
  lnk.SetText("");
  KepQueryActiveReports(lnk);
  const std::string report = vb::UCase(vb::Trim(FirstCommaField(lnk.Text())));
  if (report.empty()) return HandOver::NoReport;
  const std::string shownReport = vb::UCase(vb::Trim(gCurrentReport));
  if (!shownReport.empty() && report != shownReport) return HandOver::OtherReport;
  return HandOver::Taken;
}

HandOver SetSlotPhotoOnKep(forms::TabControl& tabCtl, forms::Gear& slotCtl, std::int16_t nIndex) {
  forms::TextBox& lnk = frmMain().txtDDE;
  std::string name = PhotoObjectBase(tabCtl, slotCtl, nIndex);

  const HandOver check = KepReportCheck(lnk);
  if (check != HandOver::Taken) return check;
  const std::string report = FirstCommaField(lnk.Text());
  KepOpenReport(lnk, report);
  KepListForms(lnk, report);
  if (nIndex >= 0) name += PhotoPageSize(lnk.Text());

  // SetImage goes out on the report's topic, which KepListForms left set.
  const std::string path = slotCtl.ThumbPath();
  const std::string shown = vb::UCase(path);
  const auto send = [&](const std::string& picture) {
    return KepSendPhoto2Object(lnk, name, picture) ? HandOver::Taken : HandOver::NoReport;
  };
  if (Holds(shown, "\\EMPTY.JPG")) return send("");
  // A file named only ".JPG": the object is cleared first, then set.
  if (Holds(shown, "\\.JPG")) KepSendPhoto2Object(lnk, name, "");
  return send(path);
}

void RunKepRefreshScript() {
  if (FileExists(gKepAppDir + "refresh.bas")) KepSendScript(frmMain().txtDDE, "refresh.bas");
}

}  // namespace core
