#pragma once
// Dragging pictures in the main window, and the names that tie a photo slot to a photo object of
// the report open in KEP.
//
// Photo object names: prefix, "_", slot number, "_", page size ("3X5" when the report's form
// list holds "SUBPHOTO", else "4X6" for "SUBPHOT2", else nothing), e.g. CMP_3_3X5, GN_12_4X6,
// ECMP_1_.  The special objects MAP_LOCATION, MAP_GENERAL_1, FAX_SCAN_A, SUB_TITLE and
// SKETCH_SUBJECT stand alone.
//
//   prefix  slot array           tab control   chosen when the tab's name holds
//   SUB     imaSubject           TabSubject    "SUBJ"
//   CMP     imaComp              TabComp       "COMP" (slot name without "ALT")
//   ALT     imaAltComp           TabComp       "COMP" (slot name with "ALT")
//   LCMP    imaListing           TabListing    "LIST", current page 0 or 1
//   OCMP    imaReoListing        TabListing    "LIST", current page 2
//   ECMP    imaReo2Listing       TabListing    "LIST", current page 3
//   SCMP    imaSpecificListing   TabListing    "LIST", current page 4 or 5
//   RCMP    imaRental            TabRental     "RENT"
//   GN      imaGeneral           TabGeneral    "GEN"
//   XP      imaExtended          tabExtended   "EXTEND"
//
// The listing prefix follows the page shown, not the slot's own array.

#include <cstdint>
#include <string>

namespace forms {
class Control;
class Gear;
class TabControl;
class TextBox;
}  // namespace forms

namespace core {

// Gives ctl the drag icon (frmMain's imaDragDrop(0)) and starts dragging it.
void SourceMouseDown(forms::Control& ctl);
// gDragSourcePath := ctl's ThumbPath as it stands, or "" when that is blank.
void SetDragSource(forms::Gear& ctl);
// Drag-over feedback of the strip and the slots: a thumbnail, the capture file list or a slot
// of the subject, comparable, alternate, listing, rental or general families entering (State
// 0) or leaving (1) a target gets imaDragDrop(0) as its icon again.  X and Y are not used.
void TargetDragOverKep(forms::Control& Source, float X, float Y, int State);

// True when nIndex is not -1 and sPath names an existing file.  A path whose folder is missing
// shows "The filename '<path>' does not exist or is invalid." and gives False.
bool ValidateData(std::int16_t nIndex, const std::string& sPath);
// True when the user directory's text (trimmed, upper-cased) contains sPath's text (the same).
bool IsInUserDir(const std::string& sPath);
// The slot number of an object name (the number between its first two "_"), -1 when the name
// has no number there.
std::int16_t ObjectSlotIndex(const std::string& sObject);

// Shows the picture sPath in the slot of frmMain that the photo object sObject names.  A
// picture that cannot be shown sets gbFileInUserDir to IsInUserDir(sPath) instead.
void LocateAndDisplay(const std::string& sObject, const std::string& sPath);

// The prefix of the slots on tabCtl (slotCtl tells comparables from alternates); "" when the
// tab control belongs to no slot family.
std::string SlotPrefix(const forms::TabControl& tabCtl, const forms::Control& slotCtl);
// The object name without its page size: a special object for nIndex -1 to -3, "" for -4,
// else prefix & "_" & nIndex & "_".
std::string PhotoObjectBase(const forms::TabControl& tabCtl, const forms::Control& slotCtl,
                            std::int16_t nIndex);

// Whether a picture can go to KEP, or went: KEP's active report is the report the window shows
// (or the window shows none yet), another report, or there is none (KEP not running or without a
// report); KEP refused the picture.
enum class HandOver { Taken, NoReport, OtherReport, Refused };
// Asks KEP for its active report (the reply stays in lnk.Text): Taken when a picture may go to
// it, else NoReport or OtherReport.
HandOver KepReportCheck(forms::TextBox& lnk);

// Tells KEP that the picture of slot nIndex (slotCtl on tabCtl) has changed: looks up the
// active report afresh, names the photo object, sends SetImage with the slot's ThumbPath ("" for
// the empty placeholder) and runs KEP's "refresh.bas" when KEP's program folder holds it.  DDE
// failures that KEP's operations do not end quietly reach the caller.  True when KEP took the
// SetImage command; nothing is sent when KEP's active report is not gCurrentReport (when set).
bool SendPhotoToKep(forms::TabControl& tabCtl, forms::Gear& slotCtl, std::int16_t nIndex);
// The two halves of SendPhotoToKep, for a caller that acts on the answer before the script runs
// (Taken, NoReport or OtherReport).
HandOver SetSlotPhotoOnKep(forms::TabControl& tabCtl, forms::Gear& slotCtl, std::int16_t nIndex);
void RunKepRefreshScript();

}  // namespace core
