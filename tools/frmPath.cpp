#include "tools/frmPath.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/lstControl.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodSlots.h"
#include "core/mod_Resize.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "tools/MediaCopy.h"

namespace tools {

using forms::App;

namespace {

void DoEvents() {
  App::Current().DoEvents();
}

std::string IniDrive() {
  return core::GetFileDrive(core::gIniDir);
}

}  // namespace

frmPath::frmPath() : Form("frmPath") {
  BindEvents();
}

void frmPath::BindEvents() {
  auto copy = [this] { core::RunEvent("CmdCopy_Click", [this] { CmdCopy_Click(); }); };
  auto cancel = [this] { core::RunEvent("cmdCancel_Click", [this] { cmdCancel_Click(); }); };
  auto selectAll = [this] {
    core::RunEvent("cmdSelectAll_Click", [this] { cmdSelectAll_Click(); });
  };
  auto clear = [this] { core::RunEvent("cmdClear_Click", [this] { cmdClear_Click(); }); };
  cmdCopy.Click = copy;
  imaCopy.Click = copy;
  cmdCancel.Click = cancel;
  imaCancel.Click = cancel;
  cmdSelectAll.Click = selectAll;
  imaSelectAll.Click = selectAll;
  cmdClear.Click = clear;
  imaClear.Click = clear;
  ckbPicPreview.Click = [this] {
    core::RunEvent("ckbPicPreview_Click", [this] { ckbPicPreview_Click(); });
  };
  filListBox.Click = [this] { filListBox_Click(); };
  NewDrive.Change = [this] { NewDrive_Change(); };
  newPath.Click = [this] { core::RunEvent("newPath_Click", [this] { newPath_Click(); }); };
}

// ---- Opening -------------------------------------------------------------------------------

void frmPath::Form_Load() {
  core::RunEvent("Form_Load", [this] { LoadSteps(); });
}

void frmPath::LoadSteps() {
  core::Trap trap("Form_load");
  trap.Expect({vb::kBadFileName, vb::kDeviceUnavailable}, [this](const vb::VbError&) {
    if (App::Current().MsgBox("Media is not ready/readable. Try again?", forms::vbYesNo) ==
        forms::vbYes)
      return core::kRetry;
    PutListsOnIniDrive();
    return core::kLeave;
  });
  trap.Step([this] { core::ResetFormPos(*this); });
  trap.Step([this] { PlaceWindow(); });
  trap.Step([this] { SetIcon(core::frmMain().Icon()); });
  trap.Step([this] { SetCaption(core::gCopyDialogCaption); });
  if (!core::gbUseButtons) {
    trap.Step([this] {
      for (forms::CommandButton* b : {&cmdSelectAll, &cmdClear, &cmdCopy, &cmdCancel})
        b->SetVisible(false);
    });
  }
  trap.Step([this] {
    geaPreview.SetVisible(core::gPreviewCopyPics == 1);
    // Only a box value can be shown; any other number leaves the box unticked.
    if (core::gPreviewCopyPics >= 0 && core::gPreviewCopyPics <= 2)
      ckbPicPreview.SetValue(core::gPreviewCopyPics);
  });

  const std::string last = core::gLastCopy;
  if (!vb::Trim(last).empty()) {
    bool found = false;
    trap.Step([&] { found = DirectoryLookupFinds(last); });
    if (found) {
      trap.Step([] { DoEvents(); });
      trap.Step([&] { NewDrive.SetDrive(last); });
      trap.Step([] { DoEvents(); });
      trap.Step([&] { newPath.SetPath(last); });
    } else {
      trap.Step([this] { NewDrive.SetDrive(IniDrive()); });
      trap.Step([this] { newPath.SetPath(IniDrive()); });
      trap.Step([] { DoEvents(); });
    }
  } else {
    trap.Step([this] { NewDrive.SetDrive(IniDrive()); });
    trap.Step([this] { newPath.SetPath(IniDrive()); });
    trap.Step([this] { core::gLastCopy = core::CkRSlash(newPath.Path()); });
  }
  trap.Step([this] { filListBox.SetPath(newPath.Path()); });
}

void frmPath::PlaceWindow() {
  if (core::gScreenSize == 1) {
    UseCompactLayout();
    core::ResetFormPos(*this);
    return;
  }
  const core::MainFormControls& main = core::frmMain();
  SetTop(main.Top() + (main.Height() - Height()) / 2);
  SetLeft(main.Left() + (main.Width() - Width()) / 2);
}

// A shorter folder list with the file list right under it; the buttons move up into the
// smaller window by what the window gave up.
void frmPath::UseCompactLayout() {
  const int dy = kCompactHeight - Height();
  Move(Left(), Top(), kCompactWidth, kCompactHeight);
  newPath.SetHeight(kCompactFolderHeight);
  lblFill.SetTop(newPath.Top() + newPath.Height() + 200);
  const int fillEnd = lblFill.Top() + lblFill.Height();
  filListBox.SetTop(fillEnd + 240);
  linPath.SetEnds(linPath.X1(), fillEnd, linPath.X2(), fillEnd);
  for (forms::Control* c : std::initializer_list<forms::Control*>{&frabuttons, &imaCopy, &cmdCopy,
                                                                  &imaCancel, &cmdCancel})
    c->SetTop(c->Top() + dy);
}

// After the user gave up on a medium: both lists on the INI folder's drive.
void frmPath::PutListsOnIniDrive() {
  IgnoreErrors([this] { NewDrive.SetDrive(IniDrive()); });
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([this] { newPath.SetPath(IniDrive()); });
  IgnoreErrors([] { DoEvents(); });
}

void frmPath::Form_Unload(int& /*Cancel*/) {
  core::gLastCopy = core::CkRSlash(newPath.Path());
  // Pictures copied by a run that stopped early are in the capture directory too: the main
  // window must show them.
  if (copiedSome) core::gbRefreshThumbs = core::vbTrue;
}

// ---- Copy ----------------------------------------------------------------------------------

std::string frmPath::ListFolder() const {
  return core::CkRSlash(filListBox.Path());
}

// Copies the highlighted pictures.  The source folder and the names are fixed before the first
// copy, so that clicks let through between the files cannot change what is copied.
void frmPath::CmdCopy_Click() {
  App& app = App::Current();
  const std::string src = ListFolder();
  const std::string target = core::CkRSlash(core::gCaptureDir);
  core::Trap trap("CmdCopy_Click");
  ExpectCopyMediaErrors(trap, [this] { PutListsOnIniDriveRoot(); });
  // The pointer is back to normal however the copy ends.
  struct PointerReset {
    ~PointerReset() { App::Current().SetMousePointer(forms::vbDefault); }
  } pointerReset;

  if (vb::UCase(vb::Trim(target)) == vb::UCase(vb::Trim(src))) {
    app.MsgBox("The Source and target directories are the same.  Copy ignored.", forms::vbOKOnly);
    return;
  }
  if (!trap.Step([&] { app.SetMousePointer(forms::vbHourglass); })) return;
  bool found = false;
  if (!trap.Step([&] { found = FolderHasPictures(src); })) return;
  if (found) {
    std::int16_t selected = 0;
    if (!trap.Step([&] { selected = core::lstCountSelected(filListBox); })) return;
    if (selected == 0) {
      app.MsgBox("Please select AT LEAST ONE picture to copy and try again.", forms::vbOKOnly,
                 "No Picture(s) Selected");
    } else if (!CopyPictures(trap, src, SelectedNames())) {
      return;
    }
  }
  app.SetMousePointer(forms::vbDefault);
  if (core::gbRefreshThumbs && Loaded()) Unload();
}

std::vector<std::string> frmPath::SelectedNames() const {
  std::vector<std::string> names;
  for (int i = 0; i < filListBox.ListCount(); ++i)
    if (filListBox.Selected(i)) names.push_back(filListBox.List(i));
  return names;
}

// False when the copy was left before its end, or the window was closed meanwhile.
bool frmPath::CopyPictures(core::Trap& trap, const std::string& src,
                           const std::vector<std::string>& names) {
  core::gCurrentProc = "CmdCopy_Click";  // the helpers called above named themselves
  for (const std::string& name : names) {
    if (!trap.Step([&] {
          CopyPictureToCaptureDir(src, name);
          copiedSome = true;
        }))
      return false;
    DoEvents();
    if (!Loaded()) return false;  // Cancel between two pictures ends the run
  }
  core::gbRefreshThumbs = core::vbTrue;
  return true;
}

// After the user gave up on a medium during a copy: the lists on the root of the INI folder's
// drive.
void frmPath::PutListsOnIniDriveRoot() {
  std::string drive = IniDrive();
  IgnoreErrors([&] { NewDrive.SetDrive(core::StripRChar(drive)); });
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([&] { newPath.SetPath(core::CkRSlash(IniDrive())); });
  IgnoreErrors([] { DoEvents(); });
  App::Current().SetMousePointer(forms::vbDefault);
}

void frmPath::cmdCancel_Click() {
  Unload();
}

// ---- Selection and preview -----------------------------------------------------------------

void frmPath::MarkAll(bool selected) {
  core::gPreviewCopyPics = 0;  // the list's clicks must not load previews meanwhile
  for (int i = 0; i < filListBox.ListCount(); ++i) filListBox.SetSelected(i, selected);
  core::gPreviewCopyPics = static_cast<std::int16_t>(ckbPicPreview.Value());
}

void frmPath::cmdSelectAll_Click() {
  App& app = App::Current();
  app.SetMousePointer(forms::vbHourglass);
  MarkAll(true);
  // The current picture is previewed whatever the preview box says.
  if (filListBox.ListCount() >= 1)
    core::ErrLoadPict(geaPreview, ListFolder() + filListBox.List(filListBox.ListIndex()));
  app.SetMousePointer(forms::vbDefault);
}

void frmPath::cmdClear_Click() {
  MarkAll(false);
  core::ErrClearPict(geaPreview);
}

void frmPath::ckbPicPreview_Click() {
  geaPreview.SetVisible(ckbPicPreview.Value() == 1);
  core::gPreviewCopyPics = static_cast<std::int16_t>(ckbPicPreview.Value());
}

void frmPath::filListBox_Click() {
  IgnoreErrors([this] { core::ErrClearPict(geaPreview); });
  if (ckbPicPreview.Value() != 1 || core::gPreviewCopyPics != 1) return;
  IgnoreErrors([] { DoEvents(); });
  std::string folder, name;
  IgnoreErrors([&] {
    folder = ListFolder();
    name = filListBox.List(filListBox.ListIndex());
  });
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([&] { core::ErrLoadPict(geaPreview, folder + core::StripRChar(name)); });
  IgnoreErrors([] { DoEvents(); });
}

// ---- Browsing ------------------------------------------------------------------------------

void frmPath::NewDrive_Change() {
  core::gCurrentProc = "NewDrive_Change";
  const std::string keep = vb::Left(newPath.Path(), 1);
  try {
    newPath.SetPath(vb::Left(NewDrive.Drive(), 2));
  } catch (const vb::VbError& e) {
    if (e.Number() == vb::kBadFileName)
      App::Current().MsgBox("Media is not ready/readable.", forms::vbOKOnly);
    else if (e.Number() == vb::kDeviceUnavailable)
      App::Current().MsgBox("Media appears to be unreadable or not inserted properly.",
                            forms::vbOKOnly);
    IgnoreErrors([&] { NewDrive.SetDrive(keep); });
  }
}

void frmPath::newPath_Click() {
  filListBox.SetPath(newPath.List(newPath.ListIndex()));
}

void ShowMediaCopy() {
  forms::FormInstance<frmPath>().Show(forms::vbModal);
}

}  // namespace tools
