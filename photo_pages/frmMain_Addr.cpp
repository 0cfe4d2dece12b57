// The reference data file "velmod.dat": where each report form keeps the addresses of its
// subject, comparables, listings and rentals.  Loaded once into lstAddr, filtered for the open
// report's form type into lstForm, then read from KEP into the address globals.
//
// A line holds nine comma-separated fields:
//   1 unused, 2 form type, 3 item kind ("ADDRESS"), 4 field-name stem, 5 field number of the
//   group's first entry, 6 page (the form holding the fields), 7 category (SALE ALT RENT LIST
//   SPEC REO REO2), 8 first entry number (1, 4, 7, or 10 for the subject), 9 step between the
//   field numbers of a group's entries.

#include <fstream>
#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "core/kepcalls.h"
#include "core/lstControl.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/Val.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace photo_pages {

namespace {

constexpr const char* kDatName = "velmod.dat";

// The lines of a text file by Windows path.  CR LF ends a line; a lone CR or LF does too, so a
// file edited on this system reads the same.
std::vector<std::string> ReadTextLines(const std::string& winPath) {
  std::ifstream in(winfs::ToHost(winPath), std::ios::binary);
  if (!in) vb::Raise(53);
  std::vector<std::string> lines;
  std::string line;
  bool pending = false;
  char c = 0;
  while (in.get(c)) {
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      pending = false;
      if (c == '\r' && in.peek() == '\n') in.get(c);
      continue;
    }
    line.push_back(c);
    pending = true;
  }
  if (in.bad()) vb::Raise(57);
  if (pending) lines.push_back(line);
  return lines;
}

// Takes the text before the next comma of rest (trimmed) into field; false when no comma remains.
bool CutField(std::string& rest, std::string& field) {
  const auto comma = rest.find(',');
  if (comma == std::string::npos) return false;
  field = vb::Trim(rest.substr(0, comma));
  rest.erase(0, comma + 1);
  return true;
}

}  // namespace

frmMain::DatFields frmMain::CutDatFields(const std::string& line) {
  DatFields f;
  const auto first = line.find(',');
  if (first == std::string::npos) {
    f[0] = vb::Trim(line);
    return f;
  }
  f[0] = vb::Trim(line.substr(0, first));
  std::string rest = vb::UCase(line.substr(first + 1));
  for (int k = 1; k <= 7; ++k) {
    if (!CutField(rest, f[k])) return f;  // the missing fields stay ""
  }
  const auto comma = rest.find(',');
  f[8] = vb::Trim(comma == std::string::npos ? rest : rest.substr(0, comma));
  return f;
}

void frmMain::DatFileMissing() {
  auto& app = forms::App::Current();
  app.MsgBox(std::string(kDatName) + "Reference File NOT Found (from install)",
             forms::vbCritical | forms::vbOKOnly, "DAT file missing");
  app.End();
  throw forms::ProgramEnded{};  // End never returns; this keeps the compiler sure of it
}

void frmMain::PostAddr2Listbox() {
  const std::string path = core::CkRSlash(core::gAppDir) + kDatName;
  lstAddr.Clear();
  if (!core::FileExists(path)) DatFileMissing();
  try {
    for (const std::string& line : ReadTextLines(path)) lstAddr.AddItem(line);
  } catch (const vb::VbError&) {
    forms::App::Current().MsgBox(std::string(kDatName) + " Reference File invalid (.dat extension)",
                                 forms::vbOKOnly, "Reference file incomplete (re-install)");
  }
}

void frmMain::PostForm2Listbox() {
  lstForm.Clear();
  if (lstAddr.ListCount() == 0) PostAddr2Listbox();
  if (lstAddr.ListCount() == 0) DatFileMissing();
  try {
    const std::string form = vb::UCase(vb::Trim(core::gFormType));
    if (form.empty()) return;
    for (int i = 0; i < lstAddr.ListCount(); ++i) {
      const std::string line = lstAddr.List(i);
      if (vb::UCase(CutDatFields(line)[1]) == form) core::lstAddUnique(lstForm, line);
    }
  } catch (const vb::VbError&) {
    forms::App::Current().MsgBox(
        "Error filtering Form Type. Close appraisal program, reopen, refresh, and try again.",
        forms::vbCritical | forms::vbOKOnly, "Error Filtering Form Type");
  }
}

void frmMain::AddKepEntries2CVEL() {
  core::Trap trap("AddKepEntries2CVEL");
  bool active = false;
  if (!trap.Step([&] { active = core::IsKepReportActive(txtDDE); }) || !active) return;
  if (lstForm.ListCount() == 0) {
    forms::App::Current().MsgBox("Reference Entries Not Found (dat file incomplete).",
                                 forms::vbOKOnly, "No Matches to Form Type Found");
    // No address of this report can be read, so the last report's must not stand under its
    // slots.  The slots are still filled below: left blank, a drop would replace one of the
    // report's pictures without the question and without keeping its old bytes.
    core::ClearSlotAddresses();
  }
  const std::string report = core::gCurrentReport;
  const std::string form = vb::UCase(vb::Trim(core::gFormType));
  core::KepPrefetchFields(txtDDE, report, AddressFields(form));
  for (int i = 0; i < lstForm.ListCount(); ++i) {
    DatFields f;
    if (!trap.Step([&] { f = CutDatFields(lstForm.List(i)); })) return;
    if (f[1] != form) continue;
    if (!trap.Step([&] { ReadAddressLine(f, report); })) return;
    if (!trap.Step([] { forms::App::Current().DoEvents(); })) return;
  }
  trap.Step([&] { SetAllDde(); });
}

// The fields AddKepEntries2CVEL asks KEP for, in its order, up to a line it cannot read.
std::vector<std::string> frmMain::AddressFields(const std::string& form) {
  std::vector<std::string> fields;
  try {
    for (int i = 0; i < lstForm.ListCount(); ++i) {
      const DatFields f = CutDatFields(lstForm.List(i));
      if (f[1] != form) continue;
      for (const auto& [address, field] : AddressLineFields(f)) fields.push_back(field);
    }
  } catch (...) {  // the loop stops at that line too
  }
  return fields;
}

// One matching line: the subject's address, or the three addresses of a group.
void frmMain::ReadAddressLine(const DatFields& f, const std::string& report) {
  for (const auto& [address, field] : AddressLineFields(f)) {
    *address = core::KepGetFieldInfo(txtDDE, report, field);
  }
}

// The fields of a reference line and where their texts go: none for a line that is not a
// matching address line.
std::vector<std::pair<std::string*, std::string>> frmMain::AddressLineFields(const DatFields& f) {
  const std::string& kind = f[2];
  if (kind != "ADDRESS") return {};
  const std::string ref = f[3] + "|" + f[4];
  const std::string& page = f[5];
  const std::string& category = f[6];
  const double n = vb::Int(vb::Val(f[7]));
  if (n == 10) return {{&core::gSubjectAddr, page + "|" + ref}};
  if (n != 1 && n != 4 && n != 7) return {};
  // The categories in the order they are tested; REO lines always fill elements 1 to 3.
  struct Category {
    const char* name;
    core::AddrArray* addresses;
    bool fromOne;
  };
  const Category categories[] = {
      {"SALE", &core::gCompAddr, false},
      {"ALT", &core::gAltCompAddr, false},
      {"RENT", &core::gRentalAddr, false},
      {"LIST", &core::gListingAddr, false},
      {"SPEC", &core::gSpecificListingAddr, false},
      {"REO", &core::gReoListingAddr, true},
      {"REO2", &core::gReo2ListingAddr, true},
  };
  core::AddrArray* target = nullptr;
  int first = static_cast<int>(n);
  for (const Category& c : categories) {
    if (category == c.name) {
      target = c.addresses;
      if (c.fromOne) first = 1;
      break;
    }
  }
  std::vector<std::pair<std::string*, std::string>> fields;
  if (target == nullptr) return fields;
  for (int k = first; k <= first + 2; ++k) {
    fields.emplace_back(&(*target)[k], page + "|" + core::FormatKepField(ref, f[8], k));
  }
  return fields;
}

}  // namespace photo_pages
