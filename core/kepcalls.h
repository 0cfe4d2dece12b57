#pragma once
// The conversation with KEP over DDE, and the rule that tells whether the open report offers a
// photo page.
//
// Every conversation operation takes the link control (the main window's hidden text box
// txtDDE) and sets the conversation up anew: link off, topic, manual link on, item (before or
// after opening, per operation), the transfer, and mostly link off again.  The order of these
// settings is the protocol; do not reorder them.  Errors that mean "KEP is not there" or "KEP
// refused" end an operation quietly (per operation, see the .cpp); any other error goes to
// ErrReport.  A quiet end leaves the previous reply in the link's Text.
//
// KEP's replies:
//   "ActiveReports"  report names, each followed by ","; "none" or "" when none is open
//   "ListForms"      the report's forms separated by ","; the first is its main form type
//   "IMAGES"         "OBJECT|path;" for every photo object
//   a field item     "page|field" -> the field's text

#include <cstdint>
#include <string>
#include <vector>

namespace forms {
class TextBox;
}

namespace core {

// ---- Conversation operations ----------------------------------------------------------------

// Asks KEP|Query for "ActiveReports"; the reply stays in lnk.Text.
void KepQueryActiveReports(forms::TextBox& lnk);
// Opens the report's conversation (requests "UserID" on "Kep|" & report; the reply is unused).
void KepOpenReport(forms::TextBox& lnk, const std::string& sReport);
// Asks the report for "ListForms"; the reply stays in lnk.Text.
void KepListForms(forms::TextBox& lnk, const std::string& sReport);
// The text of one field ("page|field"); "" without any traffic for an item of blanks or one
// that begins with "|".
std::string KepGetFieldInfo(forms::TextBox& lnk, const std::string& sReport,
                            const std::string& sField);
// Asks KEP at once for the fields that the KepGetFieldInfo calls about to follow will ask for,
// in their order (dde::Transport::Prefetch): under Wine that spares a round trip per field.
// Each call still gets exactly what KEP answered its own request; any other conversation in
// between drops what was asked ahead.
void KepPrefetchFields(forms::TextBox& lnk, const std::string& sReport,
                       const std::vector<std::string>& fields);
// Runs the image-list macro on KEP|System and requests "IMAGES"; the reply stays in lnk.Text.
void KepQueryGetImages(forms::TextBox& lnk);
// Sends the set-an-image macro on the topic the previous operation left (no topic is set).
// True when KEP took the command; false when the operation ended quietly (no KEP, no report).
bool KepSendPhoto2Object(forms::TextBox& lnk, const std::string& sObject, const std::string& sPath);
// Runs a KEP script (a bare file name) on KEP|System.
void KepSendScript(forms::TextBox& lnk, const std::string& sScript);
// Pokes Trim(sValue) into sItem on sTopic; the link is left open in manual mode.
void KepPokeText(forms::TextBox& lnk, const std::string& sTopic, const std::string& sItem,
                 const std::string& sValue);
// Whether KEP has a report open (also stored in gbKepReportActive).  Clears lnk.Text first;
// the "ActiveReports" reply stays there.
bool IsKepReportActive(forms::TextBox& lnk);

// Pokes the caption (Data) or address (Addr) of general photo nIndex (1 to 36) into the open
// report, through frmMain().txtDDE.
void KepSendGeneralData(int nIndex, const std::string& sText);
void KepSendGeneralAddr(int nIndex, const std::string& sText);

// ---- Macro texts (byte for byte as KEP takes them) ------------------------------------------

std::string ImageListMacro();
std::string SetImageMacro(const std::string& sObject, const std::string& sPath);
std::string RunScriptMacro(const std::string& sScript);

// ---- Keys and sections of KEP.INI -----------------------------------------------------------

// "3X5" when the forms hold "SUBPHOTO" (any case), else "4X6" for "SUBPHOT2", else "".
std::string FormPageSize(const std::string& sForms);
// The same rule, case-sensitive.
std::string PhotoPageSize(const std::string& sForms);
// "3X5_PHOTO_PAGES", "4X6_PHOTO_PAGES" or "" for the page size.
std::string PhotoPagesSection(const std::string& sSize);
// "GENERAL_DATA_1" to "_3" / "GENERAL_ADDR_1" to "_3" by the photo's place on its page
// (n = 1 to 36; "" otherwise).
std::string GeneralDataKey(int n);
std::string GeneralAddrKey(int n);
// The form that carries general photo n's page (KEP.INI sSection, "GENERAL_1" to
// "GENERAL_12"); "" for n outside 1 to 36, without reading the file.
std::string KepGeneralPageKey(const std::string& sSection, int n);

// ---- Reply helpers --------------------------------------------------------------------------

// The text before the first ","; "" when there is none.
std::string FirstCommaField(const std::string& sText);
// Trims the text (the caller's variable too) and drops one trailing ";".
std::string StripSemicolon(std::string& sText);
std::string StripSemicolon(const std::string& sText);
// The number between the first and second "_" of a photo-object name (3 for CMP_3_3X5).
// A name without two "_" raises 5 through ErrReport.
std::int16_t GetIndexValue(const std::string& sName);
// Every "\" doubled.
std::string DoubleBackslash(const std::string& sText);
// The field reference of entry n (1 to 10) of a group of three, from the first entry's "L|R"
// and the step between entries; "" for any other n.
std::string FormatKepField(const std::string& sField, const std::string& sStep, int n);

// ---- Photo pages the open report offers ------------------------------------------------------

// The form that carries the page in this report (as KEP.INI spells it), or "".
std::string KepReturnPage(const std::string& sPageKey, const std::string& sForms);
// "Descriptions", "3X5_PHOTO_PAGES", "4X6_PHOTO_PAGES" or "".
std::string KepPageSection(const std::string& sPageKey, const std::string& sForms);
// "True" when the report's forms hold the page as sSection defines it, else "False".  A key
// that the section lacks counts as present for any non-empty form list.
std::string KepFormHasPage(const std::string& sPageKey, const std::string& sSection,
                           const std::string& sForms);
// KEP.INI's value of the key in the section, as stored.
std::string KepPageValue(const std::string& sSection, const std::string& sPageKey);

}  // namespace core
