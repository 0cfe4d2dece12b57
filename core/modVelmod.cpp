#include "core/modVelmod.h"

#include <cfloat>
#include <cmath>
#include <optional>

#include "core/ErrTrap.h"
#include "core/modOpSys.h"
#include "core/modVBCommon.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/Val.h"
#include "platform/winfs/WinFs.h"

namespace core {

std::string gIniDir;
std::string gAppraiseDir;
VbBool gbOsVista = vbFalse;
std::string gMainIniPath;
std::string gKepIniPath;
std::string gAppDir;
std::string gUserDir;
std::string gCaptureDir;
std::string gCurrentDir;
std::string gLastCopy;
std::string gKepDataDir;
std::string gKepPrivateDir;
std::string gKepAppDir;

std::string gCompanyName;
std::string gTechPhone;
std::string gProgramAlias;
std::string gVendorAppName;
std::int16_t gScreenSize = 0;
VbBool gbUseButtons = vbFalse;
std::int16_t gPreviewCopyPics = 0;
VbBool gbTrashcan = vbFalse;
VbBool gbAutoDelete = vbFalse;
std::int16_t gJpegQuality = 0;
std::int16_t gBrightness = 0;
VbBool gbRedux = vbFalse;
std::int32_t gResolX = 0;
std::int32_t gResolY = 0;

VbBool gbKepReportActive = vbFalse;
std::string gCurrentReport;
std::string gReportForms;
std::string gFormType;
std::string gReportImages;
VbBool gbFileInUserDir = vbFalse;
std::string gSubjectAddr;
AddrArray gCompAddr;
AddrArray gAltCompAddr;
AddrArray gListingAddr;
AddrArray gSpecificListingAddr;
AddrArray gReoListingAddr;
AddrArray gReo2ListingAddr;
AddrArray gRentalAddr;

std::string gDragSourceKind;
std::string gDragSourcePath;
std::string gGenViewCaption;
std::string gGenViewAddr;
std::int16_t gGenViewIndex = 0;
std::string gEditPicturePath;
VbBool gbRefreshThumbs = vbFalse;
std::string gCopyDialogCaption;
std::string gMaintCaption;
std::string gMaintDir;
VbBool gbMaintDeleted = vbFalse;
VbBool gbSetupOpen = vbFalse;

VbBool gbUnloading = vbFalse;
VbBool gbKeyHeld = vbFalse;
VbBool gbSmallScreen = vbFalse;
VbBool gbFormOnScreen = vbFalse;
std::int32_t gFormWidth = 0;
std::int32_t gFormHeight = 0;
vb::FixedString<20> gCurrentProc;
std::int16_t gErrAction = 0;
std::int16_t gTraceCount = 0;
VbBool gbTraceDoEvents = vbFalse;

void ClearSlotAddresses() {
  gSubjectAddr.clear();
  for (AddrArray* addr : {&gCompAddr, &gAltCompAddr, &gListingAddr, &gSpecificListingAddr,
                          &gReoListingAddr, &gReo2ListingAddr, &gRentalAddr}) {
    addr->fill({});
  }
}

void ResetGlobals() {
  for (std::string* text :
       {&gIniDir,          &gAppraiseDir,       &gMainIniPath,    &gKepIniPath,
        &gAppDir,          &gUserDir,           &gCaptureDir,     &gCurrentDir,
        &gLastCopy,        &gKepDataDir,        &gKepPrivateDir,  &gKepAppDir,
        &gCompanyName,     &gTechPhone,         &gProgramAlias,   &gVendorAppName,
        &gCurrentReport,   &gReportForms,       &gFormType,       &gReportImages,
        &gDragSourceKind,  &gDragSourcePath,    &gGenViewCaption, &gGenViewAddr,
        &gEditPicturePath, &gCopyDialogCaption, &gMaintCaption,   &gMaintDir}) {
    text->clear();
  }
  ClearSlotAddresses();
  for (VbBool* flag :
       {&gbOsVista, &gbUseButtons, &gbTrashcan, &gbAutoDelete, &gbRedux, &gbKepReportActive,
        &gbFileInUserDir, &gbRefreshThumbs, &gbMaintDeleted, &gbSetupOpen, &gbUnloading, &gbKeyHeld,
        &gbSmallScreen, &gbFormOnScreen, &gbTraceDoEvents}) {
    *flag = vbFalse;
  }
  for (std::int16_t* number : {&gScreenSize, &gPreviewCopyPics, &gJpegQuality, &gBrightness,
                               &gGenViewIndex, &gErrAction, &gTraceCount}) {
    *number = 0;
  }
  for (std::int32_t* number : {&gResolX, &gResolY, &gFormWidth, &gFormHeight}) *number = 0;
  gCurrentProc = vb::FixedString<20>();
}

namespace {

// Reads the settings of one INI file.  A number that does not fit its variable (or is not a
// number VB can read) leaves the variable as it was and is remembered; the keys after it are
// still read, and ReadGlobals raises the remembered error at its end.  So a bad value costs
// only its own setting (which keeps its default), every other setting holds what the file
// says, and nothing in the file is changed (the settings written back at exit are the stored
// ones, except the one that could not be held).
class SettingsReader {
 public:
  SettingsReader(const std::string& file, std::optional<vb::VbError>& firstError)
      : file_(file), firstError_(firstError) {}

  std::string Raw(const std::string& section, const std::string& key, const std::string& def) {
    return ReadIni(file_, section, key, def);
  }
  std::string Trimmed(const std::string& section, const std::string& key, const std::string& def) {
    return vb::Trim(Raw(section, key, def));
  }
  std::string Directory(const std::string& section, const std::string& key,
                        const std::string& def) {
    std::string value = Raw(section, key, def);
    return CkRSlash(value);
  }
  void Integer(const std::string& section, const std::string& key, const char* def,
               std::int16_t& var) {
    Convert([&] { var = vb::CInt(vb::Val(Raw(section, key, def))); });
  }
  void Long(const std::string& section, const std::string& key, const char* def,
            std::int32_t& var) {
    Convert([&] { var = vb::CLng(vb::Val(Raw(section, key, def))); });
  }
  void Switch(const std::string& section, const std::string& key, const char* def, VbBool& var) {
    Convert([&] { var = IniBool(vb::CSng(vb::Val(Raw(section, key, def)))); });
  }

 private:
  template <class F>
  void Convert(F&& assign) {
    try {
      assign();
    } catch (const vb::VbError& e) {
      if (!firstError_) firstError_ = e;
    }
  }

  const std::string& file_;
  std::optional<vb::VbError>& firstError_;
};

using ErrorSlot = std::optional<vb::VbError>;

void AssignSettingDefaults() {
  gScreenSize = 0;
  gbUseButtons = vbFalse;
  gLastCopy.clear();
  gPreviewCopyPics = 1;
  gbTrashcan = vbTrue;
  gbAutoDelete = vbTrue;
  gJpegQuality = 95;
  gBrightness = 0;
  gbRedux = vbTrue;
  gResolX = 800;
  gResolY = 600;
}

void ReadProductInfo(ErrorSlot& error) {
  SettingsReader ini(gMainIniPath, error);
  gCompanyName = ini.Trimmed("PRODUCT INFO", "COMPANY NAME", defaults::kCompanyName);
  gTechPhone = ini.Trimmed("PRODUCT INFO", "TECHPHONE", defaults::kTechPhone);
  gProgramAlias = ini.Trimmed("PROGRAM ALIAS", "CORVANE VELMORA", defaults::kProgramAlias);
}

void ReadKepSettings(ErrorSlot& error) {
  SettingsReader kep(gKepIniPath, error);
  gVendorAppName = kep.Trimmed("VENDOR", "ApplicationName", defaults::kVendorAppName);
  gKepDataDir = kep.Directory("DIRECTORIES", "DATADIR", defaults::kKepDataDir);
  gKepPrivateDir = kep.Directory("DIRECTORIES", "PRIVATEDIR", defaults::kKepPrivateDir);
  gKepAppDir = kep.Directory("DIRECTORIES", "APPDIR", defaults::kKepAppDir);
}

void ReadDirectories(ErrorSlot& error) {
  SettingsReader ini(gMainIniPath, error);
  gAppDir = ini.Directory("DIRECTORIES", "APPDIR", defaults::kAppDir);
  gUserDir = ini.Directory("DIRECTORIES", "USERDIR", defaults::kUserDir);
  gCaptureDir = ini.Directory("DIRECTORIES", "CAPTUREDIR", defaults::kCaptureDir);
  gCaptureDir = StripTrashcan(gCaptureDir);
  gCurrentDir = gUserDir;
}

void ReadPreferences(ErrorSlot& error) {
  SettingsReader ini(gMainIniPath, error);
  ini.Integer("PREFERENCES", "SCREENSIZE", "0", gScreenSize);
  ini.Switch("PREFERENCES", "USEBUTTONS", "0", gbUseButtons);
  gLastCopy = ini.Raw("COPY DEVICE", "LASTCOPY", "");
  ini.Integer("PREFERENCES", "PREVIEWCOPYPICS", "1", gPreviewCopyPics);
  ini.Raw("PREFERENCES", "IMAGE TYPE", "JPG");  // read, as always; it has no effect
  ini.Switch("PREFERENCES", "TRASHCAN", "1", gbTrashcan);
  ini.Switch("PREFERENCES", "AUTODELETE", "1", gbAutoDelete);
  ini.Integer("PREFERENCES", "QUALITY", "95", gJpegQuality);
  ini.Integer("PREFERENCES", "BRIGHTNESS", "0", gBrightness);
  ini.Switch("PREFERENCES", "REDUX", "1", gbRedux);
  ini.Long("PREFERENCES", "RESOLX", "800", gResolX);
  ini.Long("PREFERENCES", "RESOLY", "600", gResolY);
}

// A stored number the program cannot work with (a quality of 0, a size of 0) gives way to the
// default for this run; the file keeps what it holds.
void KeepSettingsWorking() {
  if (gJpegQuality < 1 || gJpegQuality > 100) gJpegQuality = 95;
  if (gBrightness < -100 || gBrightness > 100) gBrightness = 0;
  if (gResolX < 1) gResolX = 800;
  if (gResolY < 1) gResolY = 600;
}

}  // namespace

void ReadGlobals() {
  Trap trap("ReadGlobals");
  ErrorSlot error;
  AssignSettingDefaults();
  trap.Step([&] { ReadProductInfo(error); });
  trap.Step([&] { ReadKepSettings(error); });
  trap.Step([&] { ReadDirectories(error); });
  trap.Step([&] { ReadPreferences(error); });
  KeepSettingsWorking();
  trap.Step([&] {
    if (!error) return;
    const vb::VbError first = *error;  // the first value that did not fit, for the caller
    error.reset();
    throw first;
  });
}

void check4CaptureDir() {
  if (!winfs::DirExists(gCaptureDir)) CaptureDirFallback();
}

void CaptureDirFallback() {
  const std::string drive = GetFileDrive(gCaptureDir);
  std::string label;
  if (!drive.empty()) {
    try {
      label = winfs::VolumeLabel(drive[0]);
    } catch (const vb::VbError&) {
      label.clear();  // no medium or an unreadable drive: no label either
    }
  }
  if (label.empty()) {
    forms::App::Current().MsgBox("Drive " + gCaptureDir +
                                 " is empty or unreadable.  Changing to the local drive.");
    gCaptureDir = GetFileDrive(CkRSlash(gIniDir) + "command.com");
  } else {
    winfs::MkDir(gCaptureDir);
  }
}

}  // namespace core
