#include "core/kepcalls.h"

#include <initializer_list>
#include <string_view>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/modOpSys.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "platform/dde/Transport.h"
#include "platform/forms/TextBox.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/Val.h"
#include "platform/vbrt/VbError.h"

namespace core {

namespace {

constexpr const char* kQ = "\"";
constexpr const char* kCR = "\r";

bool Contains(std::string_view text, std::string_view find) {
  return vb::InStr(text, find) > 0;
}

// One conversation operation: its trap (with the errors that end it quietly) and the link
// settings, each run as one statement.  Every call returns false once the operation was left.
class Conversation {
 public:
  Conversation(forms::TextBox& lnk, std::string_view procName, std::initializer_list<int> quiet)
      : lnk_(lnk), trap_(procName) {
    trap_.Expect(quiet, kLeave);
  }
  bool Mode(int mode) {
    return trap_.Step([&] { lnk_.SetLinkMode(mode); });
  }
  bool Off() { return Mode(0); }
  bool Manual() { return Mode(2); }
  bool Topic(const std::string& topic) {
    return trap_.Step([&] { lnk_.SetLinkTopic(topic); });
  }
  bool Item(const std::string& item) {
    return trap_.Step([&] { lnk_.SetLinkItem(item); });
  }
  bool Request() {
    return trap_.Step([&] { lnk_.LinkRequest(); });
  }
  bool Execute(const std::string& command) {
    return trap_.Step([&] {
      lnk_.LinkExecute(vb::Trim(command));
      executed_ = true;
    });
  }
  // The server took the command (a step skipped after an error does not count).
  bool Executed() const { return executed_; }
  bool Text(const std::string& text) {
    return trap_.Step([&] { lnk_.SetText(text); });
  }
  bool Poke() {
    return trap_.Step([&] { lnk_.LinkPoke(); });
  }
  Trap& trap() { return trap_; }

 private:
  forms::TextBox& lnk_;
  Trap trap_;
  bool executed_ = false;
};

// A field item of blanks, or one that begins with "|", is answered "" without asking KEP.
bool FieldAsksKep(const std::string& sField) {
  return !vb::Trim(sField).empty() && vb::Left(sField, 1) != "|";
}

// General photo n (1 to 36): its place on the page (1 to 3) and its page (1 to 12).
bool IsGeneralIndex(int n) {
  return n >= 1 && n <= 36;
}
int PlaceOnPage(int n) {
  return ((n - 1) % 3) + 1;
}
int GeneralPage(int n) {
  return ((n - 1) / 3) + 1;
}

void SendGeneral(int nIndex, const std::string& key, const std::string& sText) {
  const std::string forms = vb::UCase(vb::Trim(gReportForms));
  const std::string section = PhotoPagesSection(FormPageSize(forms));
  const std::string field = ReadIni(gKepIniPath, section, key, "");
  const std::string page = KepGeneralPageKey(section, nIndex);
  KepPokeText(frmMain().txtDDE, "Kep|" + vb::Trim(gCurrentReport), page + "|" + field, sText);
}

}  // namespace

// ---- Conversation operations ----------------------------------------------------------------

void KepQueryActiveReports(forms::TextBox& lnk) {
  Conversation c(lnk, "KepQueryActiveReports", {vb::kDdeNoApp});
  (void)(c.Off() && c.Topic("KEP|Query") && c.Manual() && c.Item("ActiveReports") && c.Request() &&
         c.Off());
}

void KepOpenReport(forms::TextBox& lnk, const std::string& sReport) {
  Conversation c(lnk, "KepOpenReport", {vb::kDdeNoApp, vb::kInvalidPropertyValue});
  (void)(c.Off() && c.Topic("Kep|" + sReport) && c.Item("UserID") && c.Manual() && c.Request() &&
         c.Off());
}

void KepListForms(forms::TextBox& lnk, const std::string& sReport) {
  Conversation c(lnk, "KepListForms", {vb::kDdeNoApp, vb::kInvalidPropertyValue});
  (void)(c.Off() && c.Topic("KEP|" + sReport) && c.Item("ListForms") && c.Manual() && c.Request() &&
         c.Off());
}

std::string KepGetFieldInfo(forms::TextBox& lnk, const std::string& sReport,
                            const std::string& sField) {
  if (!FieldAsksKep(sField)) return "";
  Conversation c(lnk, "KepGetFieldInfo",
                 {vb::kDdeNoApp, vb::kDdeRefused, vb::kInvalidPropertyValue});
  std::string result;
  (void)(c.Off() && c.Topic("KEP|" + sReport) && c.Item(sField) && c.Manual() && c.Request() &&
         c.Off() && c.trap().Step([&] { result = lnk.Text(); }));
  return result;
}

void KepPrefetchFields(forms::TextBox& lnk, const std::string& sReport,
                       const std::vector<std::string>& fields) {
  std::vector<std::string> items;
  for (const std::string& field : fields) {
    if (FieldAsksKep(field)) items.push_back(field);
  }
  dde::CurrentTransport()->Prefetch(
      "KEP", sReport, items, std::chrono::milliseconds(dde::WaitMilliseconds(lnk.LinkTimeout())));
}

void KepQueryGetImages(forms::TextBox& lnk) {
  Conversation c(lnk, "KepQueryGetImages", {vb::kDdeNoApp});
  (void)(c.Off() && c.Topic("KEP|System") && c.Manual() && c.Execute(ImageListMacro()) &&
         c.Item("IMAGES") && c.Request() && c.Off());
}

bool KepSendPhoto2Object(forms::TextBox& lnk, const std::string& sObject,
                         const std::string& sPath) {
  Conversation c(lnk, "KepSendPhoto2Object", {vb::kDdeNoApp, vb::kDdeNoChannel});
  (void)(c.Off() && c.Manual() && c.Execute(SetImageMacro(sObject, DoubleBackslash(sPath))) &&
         c.Off());
  return c.Executed();
}

void KepSendScript(forms::TextBox& lnk, const std::string& sScript) {
  Conversation c(lnk, "KepSendScript", {vb::kDdeNoApp});
  (void)(c.Off() && c.Topic("KEP|System") && c.Manual() && c.Execute(RunScriptMacro(sScript)) &&
         c.Off());
}

void KepPokeText(forms::TextBox& lnk, const std::string& sTopic, const std::string& sItem,
                 const std::string& sValue) {
  Conversation c(lnk, "KepPokeText", {vb::kInvalidPropertyValue});
  (void)(c.Off() && c.Topic(sTopic) && c.Manual() && c.Item(sItem) && c.Text(vb::Trim(sValue)) &&
         c.Poke());
}

bool IsKepReportActive(forms::TextBox& lnk) {
  lnk.SetText("");
  KepQueryActiveReports(lnk);
  const std::string reply = vb::Trim(lnk.Text());
  const bool active = !reply.empty() && vb::LCase(reply) != "none";
  gbKepReportActive = ToVbBool(active);
  return active;
}

void KepSendGeneralData(int nIndex, const std::string& sText) {
  SendGeneral(nIndex, GeneralDataKey(nIndex), sText);
}

void KepSendGeneralAddr(int nIndex, const std::string& sText) {
  SendGeneral(nIndex, GeneralAddrKey(nIndex), sText);
}

// ---- Macro texts ----------------------------------------------------------------------------

std::string ImageListMacro() {
  return std::string("[RunMacro( SetRequest ") + kQ + "IMAGES" + kQ + ",  GetImages$(1))]";
}

std::string SetImageMacro(const std::string& sObject, const std::string& sPath) {
  return std::string("[RunMacro( SetImage ") + kQ + sObject + kQ + ", " + kQ + sPath + kQ + " ) ]" +
         kCR;
}

std::string RunScriptMacro(const std::string& sScript) {
  return "[RunMacro(" + vb::Trim(sScript) + ")]" + kCR;
}

// ---- Keys and sections ----------------------------------------------------------------------

std::string FormPageSize(const std::string& sForms) {
  return PhotoPageSize(vb::UCase(sForms));
}

std::string PhotoPageSize(const std::string& sForms) {
  if (Contains(sForms, "SUBPHOTO")) return "3X5";
  if (Contains(sForms, "SUBPHOT2")) return "4X6";
  return "";
}

std::string PhotoPagesSection(const std::string& sSize) {
  if (Contains(sSize, "3X5")) return "3X5_PHOTO_PAGES";
  if (Contains(sSize, "4X6")) return "4X6_PHOTO_PAGES";
  return "";
}

std::string GeneralDataKey(int n) {
  return IsGeneralIndex(n) ? "GENERAL_DATA_" + std::to_string(PlaceOnPage(n)) : "";
}

std::string GeneralAddrKey(int n) {
  return IsGeneralIndex(n) ? "GENERAL_ADDR_" + std::to_string(PlaceOnPage(n)) : "";
}

std::string KepGeneralPageKey(const std::string& sSection, int n) {
  if (!IsGeneralIndex(n)) return "";
  return ReadIni(gKepIniPath, sSection, "GENERAL_" + std::to_string(GeneralPage(n)), "");
}

// ---- Reply helpers --------------------------------------------------------------------------

std::string FirstCommaField(const std::string& sText) {
  const long comma = vb::InStr(sText, ",");
  return comma > 0 ? vb::Left(sText, comma - 1) : "";
}

std::string StripSemicolon(std::string& sText) {
  sText = vb::Trim(sText);
  if (sText.empty()) return "";
  if (sText.back() == ';') return sText.substr(0, sText.size() - 1);
  return sText;
}

std::string StripSemicolon(const std::string& sText) {
  std::string copy = sText;
  return StripSemicolon(copy);
}

std::int16_t GetIndexValue(const std::string& sName) {
  Trap trap("GetIndexValue");
  std::int16_t result = 0;
  trap.Step([&] {
    const long p1 = vb::InStr(sName, "_");
    const long p2 = vb::InStr(p1 + 1, sName, "_");
    result = vb::CInt(vb::Val(vb::Mid(sName, p1 + 1, p2 - p1 - 1)));
  });
  return result;
}

std::string DoubleBackslash(const std::string& sText) {
  return vb::Replace(sText, "\\", "\\\\");
}

std::string FormatKepField(const std::string& sField, const std::string& sStep, int n) {
  const std::string left = ParseLR(sField, "L", "|");
  const double right = vb::Val(ParseLR(sField, "R", "|"));
  const double step = vb::Val(sStep);
  switch (n) {
    case 1:
    case 4:
      return vb::Trim(sField);
    case 7:
    case 10:
      return sField;
    case 2:
    case 5:
    case 8:
      return left + "|" + vb::CStr(right + step);
    case 3:
    case 6:
    case 9:
      return left + "|" + vb::CStr(right + 2 * step);
    default:
      return "";
  }
}

// ---- Photo pages ----------------------------------------------------------------------------

std::string KepFormHasPage(const std::string& sPageKey, const std::string& sSection,
                           const std::string& sForms) {
  const std::string value = vb::UCase(vb::Trim(ReadIni(gKepIniPath, sSection, sPageKey, "")));
  std::string inner = "," + value + ",";
  if (inner == ",,") inner.clear();
  std::string leading = "," + value;
  if (leading == ",") leading.clear();
  const std::string forms = vb::UCase(sForms);
  bool has = false;
  if (Contains(vb::UCase(sPageKey), "ALTPH")) {
    has = Contains(forms, vb::UCase(sPageKey));
  } else {
    has = Contains(forms, leading) || Contains(forms, inner);
  }
  return has ? "True" : "False";
}

std::string KepPageSection(const std::string& sPageKey, const std::string& sForms) {
  if (Contains(vb::UCase(sPageKey), "ALT")) {
    if (KepFormHasPage(sPageKey, "Descriptions", sForms) == "True" ||
        Contains(vb::UCase(sForms), sPageKey)) {
      return "Descriptions";
    }
  }
  if (KepFormHasPage(sPageKey, "3X5_PHOTO_PAGES", sForms) == "True") return "3X5_PHOTO_PAGES";
  if (KepFormHasPage(sPageKey, "4X6_PHOTO_PAGES", sForms) == "True") return "4X6_PHOTO_PAGES";
  return "";
}

std::string KepPageValue(const std::string& sSection, const std::string& sPageKey) {
  return ReadIni(gKepIniPath, sSection, sPageKey, "");
}

std::string KepReturnPage(const std::string& sPageKey, const std::string& sForms) {
  Trap trap("KepReturnPage");
  std::string result;
  std::string section;
  if (!trap.Step([&] { section = KepPageSection(sPageKey, sForms); })) return result;
  if (vb::Trim(section).empty()) return result;
  trap.Step([&] {
    if (KepFormHasPage(sPageKey, section, sForms) == "True") {
      result = KepPageValue(section, sPageKey);
    }
  });
  return result;
}

}  // namespace core
