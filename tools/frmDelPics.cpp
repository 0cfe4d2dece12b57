#include "tools/frmDelPics.h"

#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "core/frmMainControls.h"
#include "core/modVBCommon.h"
#include "core/modVelmodSlots.h"
#include "core/mod_Resize.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tools/DialogCommon.h"

namespace tools {

using forms::App;

namespace {

vb::Date ToDate(const forms::CalendarDate& d) {
  return vb::DateSerial(d.Year, d.Month, d.Day);
}

// Moves a control up or down by dy twips.
void ShiftDown(forms::Control& c, int dy) {
  c.SetTop(c.Top() + dy);
}

}  // namespace

frmDelPics::frmDelPics() : Form("frmDelPics") {
  BindEvents();
}

void frmDelPics::BindEvents() {
  NewDrive.Change = [this] { NewDrive_Change(); };
  newPath.Click = [this] { core::RunEvent("newPath_Click", [this] { newPath_Click(); }); };
  filListBox.Click = [this] { filListBox_Click(); };
  DTPicker1.Change = [this] { core::RunEvent("DTPicker1_Change", [this] { DTPicker1_Change(); }); };
  DTPicker1.CloseUp = [this] {
    core::RunEvent("DTPicker1_CloseUp", [this] { DTPicker1_CloseUp(); });
  };
  BindClick(cmdSelectAll, imaSelectAll, "cmdSelectAll_Click", [this] { cmdSelectAll_Click(); });
  BindClick(cmdClear, imaClear, "cmdClear_Click", [this] { cmdClear_Click(); });
  BindClick(cmdDelete, imaDelete, "cmdDelete_Click", [this] { cmdDelete_Click(); });
  BindClick(cmdCancel, imaCancel, "cmdCancel_Click", [this] { cmdCancel_Click(); });
  ckbPicPreview.Click = [this] {
    core::RunEvent("ckbPicPreview_Click", [this] { ckbPicPreview_Click(); });
  };
}

// ---- Dates ---------------------------------------------------------------------------------

bool frmDelPics::IsOnOrBeforeDate(const std::string& path, const forms::CalendarDate& picked) {
  return IsOnOrBeforeDate(path, picked, vb::Now());
}

bool frmDelPics::IsOnOrBeforeDate(const std::string& path, const forms::CalendarDate& picked,
                                  vb::Date today) {
  try {
    const vb::Date modified = vb::DateFromUnix(winfs::FileDateTime(path));
    const long a = vb::DateDiffDays(modified, today);
    const long b = vb::DateDiffDays(ToDate(picked), today);
    return a >= b;
  } catch (const std::exception&) {
    return false;  // a missing file or a date that cannot be read is not selected
  }
}

forms::CalendarDate frmDelPics::DefaultPickDate(const forms::CalendarDate& today) {
  return forms::CalendarDate::Serial(today.Year, today.Month - 1, today.Day);
}

// ---- Loading -------------------------------------------------------------------------------

void frmDelPics::Form_Load() {
  core::RunEvent("Form_Load", [this] { LoadSteps(); });
}

void frmDelPics::LoadSteps() {
  core::Trap trap("Form_load");
  lists_.ExpectMediaErrorsOnLoad(trap);
  trap.Step([this] { core::ResetFormPos(*this); });
  trap.Step([this] { PlaceWindow(); });
  trap.Step([this] { SetIcon(core::frmMain().Icon()); });
  if (!core::gbUseButtons) {
    trap.Step([this] {
      for (forms::CommandButton* b : {&cmdSelectAll, &cmdClear, &cmdCancel, &cmdDelete})
        b->SetVisible(false);
    });
  }
  trap.Step([this] { lists_.ShowPreviewSetting(); });

  const std::string dir = core::gMaintDir;
  bool exists = false;
  if (!vb::Trim(dir).empty()) trap.Step([&] { exists = core::DirExists(dir); });
  if (exists) {
    trap.Step([] { DoEvents(); });
    trap.Step([&] { NewDrive.SetDrive(dir); });
    trap.Step([] { DoEvents(); });
    trap.Step([&] { newPath.SetPath(dir); });
  } else {
    const std::string drive = core::GetFileDrive(core::gIniDir);
    trap.Step([&] { NewDrive.SetDrive(drive); });
    trap.Step([&] { newPath.SetPath(drive); });
    if (vb::Trim(dir).empty())
      trap.Step([this] { core::gMaintDir = core::CkRSlash(newPath.Path()); });
  }
  trap.Step([this] { filListBox.SetPath(newPath.Path()); });
  trap.Step([this] { SetCaption(core::gMaintCaption); });
  trap.Step([this] {
    const forms::CalendarDate today = forms::CalendarDate::Today();
    dtLoadDate = ToDate(today);
    DTPicker1.SetValue(DefaultPickDate(today));
  });
}

void frmDelPics::PlaceWindow() {
  if (core::gScreenSize == 1) {
    Move(Left(), Top(), kWidth, kCompactHeight);
    UseCompactLayout();
    return;  // stays at the screen's top-left corner
  }
  Move(Left(), Top(), kWidth, kNormalHeight);
  CentreOnMainWindow(*this);
}

// A shorter folder list; everything below it moves up by what the list gave up.
void frmDelPics::UseCompactLayout() {
  const int dy = kCompactFolderHeight - newPath.Height();
  newPath.SetHeight(kCompactFolderHeight);
  lblFiller.SetTop(newPath.Top() + newPath.Height() + 200);
  filListBox.SetTop(lblFiller.Top() + 240);
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &fraButtons, &cmdDelete, &imaDelete, &cmdCancel, &imaCancel})
    ShiftDown(*c, dy);
}

// ---- Folder and preview --------------------------------------------------------------------

void frmDelPics::NewDrive_Change() {
  core::gCurrentProc = "NewDrive_Change";
  const std::string folder = newPath.Path();
  if (!lists_.OpenPickedDrive()) {
    // Setting the drive back moved the folder list to that drive's current folder; the folder
    // shown before goes back too, so both lists agree with the file list again.
    IgnoreErrors([&] { newPath.SetPath(folder); });
  }
}

void frmDelPics::newPath_Click() {
  filListBox.SetPath(newPath.List(newPath.ListIndex()));
}

void frmDelPics::filListBox_Click() {
  IgnoreErrors([this] { core::ErrClearPict(geaPreview); });
  if (ckbPicPreview.Value() != 1 || core::gPreviewCopyPics != 1) return;
  IgnoreErrors([] { DoEvents(); });
  std::string folder, name;
  IgnoreErrors([&] {
    folder = lists_.ListFolder();
    name = filListBox.List(filListBox.ListIndex());
  });
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([&] {
    std::string file = vb::Trim(name);
    core::ErrLoadPict(geaPreview, folder + core::StripRChar(file));
  });
  IgnoreErrors([] { DoEvents(); });
}

void frmDelPics::ckbPicPreview_Click() {
  lists_.PreviewBoxClicked();
}

// ---- Selection -----------------------------------------------------------------------------

void frmDelPics::SelectByDate(const forms::CalendarDate& picked) {
  const std::string folder = lists_.ListFolder();
  const vb::Date today = vb::Now();
  lists_.MarkWhere(
      [&](int i) { return IsOnOrBeforeDate(folder + filListBox.List(i), picked, today); });
}

void frmDelPics::DTPicker1_Change() {
  SelectByDate(DTPicker1.Value());
}

void frmDelPics::DTPicker1_CloseUp() {
  SelectByDate(DTPicker1.Value());
}

void frmDelPics::cmdSelectAll_Click() {
  lists_.SelectAllAndPreview();
}

void frmDelPics::cmdClear_Click() {
  lists_.ClearAll();
}

// ---- Deleting and closing ------------------------------------------------------------------

std::vector<std::string> frmDelPics::SelectedPictures() const {
  std::vector<std::string> files;
  const std::string folder = lists_.ListFolder();
  for (int i = 0; i < filListBox.ListCount(); ++i)
    if (filListBox.Selected(i)) files.push_back(folder + filListBox.List(i));
  return files;
}

void frmDelPics::cmdDelete_Click() {
  App& app = App::Current();
  // The files are fixed before asking: events that run while deleting (a date picked, another
  // folder opened) cannot add a picture the user did not confirm.
  const std::vector<std::string> files = SelectedPictures();
  if (!files.empty()) {
    const std::string question =
        "This is a PERMANENT UNREVERSABLE procedure. \r\n"
        "All selected photos ( count = " +
        std::to_string(files.size()) + " ) will be erased. \r\nAre you sure?";
    // No keeps the list and its selection as they are.
    if (app.MsgBox(question, forms::vbYesNo, "Delete Pictures") != forms::vbYes) {
      MarkCaptureFolderChanged();
      return;
    }
    DeleteConfirmed(files);
  } else {
    app.MsgBox(
        "No pictures have been selected (for deletion). Select appropriate pictures and try "
        "again.",
        forms::vbOKOnly, "No Pictures Selected");
  }
  IgnoreErrors([this] { filListBox.Refresh(); });  // a folder gone meanwhile still marks the strip
  IgnoreErrors([this] {
    if (!winfs::FileExists(geaPreview.ThumbPath())) core::ErrClearPict(geaPreview);
  });
  MarkCaptureFolderChanged();
}

// Deletes every confirmed picture; one that cannot be deleted does not stop the others, and the
// user is told which stayed.
void frmDelPics::DeleteConfirmed(const std::vector<std::string>& files) {
  std::string stayed;
  for (const std::string& file : files) {
    int error = 0;
    const core::KeepOutcome done = core::DeleteForUser(file, &error);
    if (done == core::KeepOutcome::Stayed || done == core::KeepOutcome::Failed) {
      stayed += "\r\n" + file;
    }
    IgnoreErrors([] { DoEvents(); });
  }
  if (stayed.empty()) return;
  App::Current().MsgBox(
      "These pictures could not be deleted (read-only, in use, or still in a "
      "report):" +
          stayed,
      forms::vbOKOnly | forms::vbExclamation, "Pictures Not Deleted");
}

// The main window reloads its strip when the listed folder is the one it shows, the capture
// folder (or the trash folder while the user browses it).
void frmDelPics::MarkCaptureFolderChanged() {
  const std::string listed = core::CkRSlash(vb::UCase(vb::Trim(filListBox.Path())));
  const std::string capture = core::CkRSlash(vb::UCase(vb::Trim(core::gCaptureDir)));
  if (listed == capture) core::gbMaintDeleted = core::vbTrue;
}

void frmDelPics::cmdCancel_Click() {
  Unload();
}

void ShowDelPics() {
  forms::FormInstance<frmDelPics>().Show(forms::vbModal);
}

}  // namespace tools
