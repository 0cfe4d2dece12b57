#pragma once
// Program-wide state and settings.
//
// Every window and module reads and writes these variables directly; they live for the whole
// run.  Texts start empty, numbers 0 and booleans false.  Types keep the widths of the original
// program: Integer is std::int16_t, Long std::int32_t, and booleans are VbBool (16 bits, true is
// -1), so arithmetic and comparisons on them behave as they always did.  Directory texts end in
// "\" once they went through CkRSlash.
//
// ResetGlobals() puts every variable back to its start value (tests use it between cases).

#include <array>
#include <cstdint>
#include <string>

#include "platform/vbrt/FixedString.h"

namespace core {

using VbBool = std::int16_t;
constexpr VbBool vbTrue = -1;
constexpr VbBool vbFalse = 0;
constexpr VbBool ToVbBool(bool b) {
  return b ? vbTrue : vbFalse;
}

// Addresses of one kind of slot, indexes 0 to 20.
using AddrArray = std::array<std::string, 21>;

// ---- Files and folders --------------------------------------------------------------------
extern std::string gIniDir;       // folder in which both INI files are looked for
extern std::string gAppraiseDir;  // "X:\APPRAISE\" at the root of the system drive, or empty
extern VbBool gbOsVista;          // the Windows major version is 6
extern std::string gMainIniPath;  // full path of "VELMORA.INI"
extern std::string gKepIniPath;   // full path of "KEP.INI"
extern std::string gAppDir;       // program folder: empty.jpg, velmod.dat, help, update folder
extern std::string gUserDir;      // where the JPEG copies handed to KEP are written
extern std::string gCaptureDir;   // capture directory (its TRASHCAN\ while the trash is browsed)
extern std::string gCurrentDir;   // copy of gUserDir taken at start-up
extern std::string gLastCopy;     // folder last copied from by the copy-from-media window
extern std::string gKepDataDir;
extern std::string gKepPrivateDir;
extern std::string gKepAppDir;  // "refresh.bas" is looked for here

// ---- Settings -----------------------------------------------------------------------------
extern std::string gCompanyName;
extern std::string gTechPhone;
extern std::string gProgramAlias;
extern std::string gVendorAppName;
extern std::int16_t gScreenSize;  // window layout 0 to 5 (1 = compact)
extern VbBool gbUseButtons;
extern std::int16_t gPreviewCopyPics;  // 1 = preview pictures in the dialogs
extern VbBool gbTrashcan;
extern VbBool gbAutoDelete;
extern std::int16_t gJpegQuality;  // 1 to 100
extern std::int16_t gBrightness;   // -100 to 100
extern VbBool gbRedux;
extern std::int32_t gResolX;
extern std::int32_t gResolY;

// ---- Open report --------------------------------------------------------------------------
extern VbBool gbKepReportActive;
extern std::string gCurrentReport;
extern std::string gReportForms;
extern std::string gFormType;
extern std::string gReportImages;
extern VbBool gbFileInUserDir;
extern std::string gSubjectAddr;
extern AddrArray gCompAddr;
extern AddrArray gAltCompAddr;
extern AddrArray gListingAddr;
extern AddrArray gSpecificListingAddr;
extern AddrArray gReoListingAddr;
extern AddrArray gReo2ListingAddr;
extern AddrArray gRentalAddr;

// ---- Drag, placement and dialogs ----------------------------------------------------------
extern std::string gDragSourceKind;  // "THUMB" or "KEP"
extern std::string gDragSourcePath;
extern std::string gGenViewCaption;  // "\CANCEL/" after a cancelled caption window
extern std::string gGenViewAddr;
extern std::int16_t gGenViewIndex;
extern std::string gEditPicturePath;
extern VbBool gbRefreshThumbs;
extern std::string gCopyDialogCaption;
extern std::string gMaintCaption;
extern std::string gMaintDir;
extern VbBool gbMaintDeleted;
extern VbBool gbSetupOpen;

// ---- Window, keyboard, screen, errors and trace -------------------------------------------
extern VbBool gbUnloading;
extern VbBool gbKeyHeld;
extern VbBool gbSmallScreen;
extern VbBool gbFormOnScreen;
extern std::int32_t gFormWidth;
extern std::int32_t gFormHeight;
extern vb::FixedString<20> gCurrentProc;  // name of the running procedure
extern std::int16_t gErrAction;           // last answer of ErrReport
extern std::int16_t gTraceCount;
extern VbBool gbTraceDoEvents;

// Defaults of the program INI file's settings.
namespace defaults {
inline constexpr const char* kCompanyName = "Ostrel, Inc.";
inline constexpr const char* kTechPhone = "1-800-555-0147";
inline constexpr const char* kProgramAlias = "Corvane Velmora";
inline constexpr const char* kAppDir = "C:\\Velmora";
inline constexpr const char* kUserDir = "C:\\Velmora";
inline constexpr const char* kCaptureDir = "C:\\GLENVUE";
inline constexpr const char* kVendorAppName = "Corvane Appraisals";
inline constexpr const char* kKepDataDir = "C:\\KEPDATA";
inline constexpr const char* kKepPrivateDir = "C:\\KEPPRIV";
inline constexpr const char* kKepAppDir = "C:\\KEP";
}  // namespace defaults

// Every variable above back to its start value.
void ResetGlobals();
// The slot addresses of the last report (gSubjectAddr and the address arrays) back to "".
void ClearSlotAddresses();

// Fills the settings from gMainIniPath and gKepIniPath (both must be known).  A value that does
// not fit its variable (SCREENSIZE=40000) leaves that setting at its default, the other keys are
// still read, and the error (6) is then raised to the caller; the file is never changed.
void ReadGlobals();
// Makes sure the capture directory can be used (CaptureDirFallback when it does not exist).
void check4CaptureDir();
void CaptureDirFallback();

}  // namespace core
