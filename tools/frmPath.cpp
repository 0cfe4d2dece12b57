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
#include "tools/DialogCommon.h"
#include "tools/MediaCopy.h"

namespace tools {

using forms::App;

namespace {

std::string IniDrive() {
  return core::GetFileDrive(core::gIniDir);
}

}  // namespace

frmPath::frmPath() : Form("frmPath") {
  BindEvents();
}

void frmPath::BindEvents() {
  BindClick(cmdCopy, imaCopy, "CmdCopy_Click", [this] { CmdCopy_Click(); });
  BindClick(cmdCancel, imaCancel, "cmdCancel_Click", [this] { cmdCancel_Click(); });
  BindClick(cmdSelectAll, imaSelectAll, "cmdSelectAll_Click", [this] { cmdSelectAll_Click(); });
  BindClick(cmdClear, imaClear, "cmdClear_Click", [this] { cmdClear_Click(); });
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
  lists_.ExpectMediaErrorsOnLoad(trap);
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
  trap.Step([this] { lists_.ShowPreviewSetting(); });

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
  CentreOnMainWindow(*this);
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

void frmPath::Form_Unload(int& /*Cancel*/) {
  core::gLastCopy = core::CkRSlash(newPath.Path());
  // Pictures copied by a run that stopped early are in the capture directory too: the main
  // window must show them.
  if (copiedSome) core::gbRefreshThumbs = core::vbTrue;
}

// ---- Copy ----------------------------------------------------------------------------------

// Copies the highlighted pictures.  The source folder and the names are fixed before the first
// copy, so that clicks let through between the files cannot change what is copied.
void frmPath::CmdCopy_Click() {
  App& app = App::Current();
  const std::string src = lists_.ListFolder();
  const std::string target = core::CkRSlash(core::gCaptureDir);
  core::Trap trap("CmdCopy_Click");
  ExpectCopyMediaErrors(trap, [this] { PutListsOnIniDriveRoot(); });
  const DefaultPointerOnExit pointerReset;
  const CopyStart start = StartCopy(trap, src, target);
  if (start == CopyStart::kLeft) return;
  if (start == CopyStart::kReady) {
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

// False when the copy was left before its end, or the window was closed meanwhile.  What could
// not be copied is named either way.
bool frmPath::CopyPictures(core::Trap& trap, const std::string& src,
                           const std::vector<std::string>& names) {
  core::gCurrentProc = "CmdCopy_Click";  // the helpers called above named themselves
  CopyShortfall shortfall;
  const bool ran = CopyPictureList(
      trap, src, names,
      [this](bool copied) {
        if (copied) copiedSome = true;
        DoEvents();
        return Loaded();  // Cancel between two pictures ends the run
      },
      shortfall);
  ReportShortfall(src, shortfall);
  if (!ran) return false;
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

void frmPath::cmdSelectAll_Click() {
  lists_.SelectAllAndPreview();
}

void frmPath::cmdClear_Click() {
  lists_.ClearAll();
}

void frmPath::ckbPicPreview_Click() {
  lists_.PreviewBoxClicked();
}

void frmPath::filListBox_Click() {
  IgnoreErrors([this] { core::ErrClearPict(geaPreview); });
  if (ckbPicPreview.Value() != 1 || core::gPreviewCopyPics != 1) return;
  IgnoreErrors([] { DoEvents(); });
  std::string folder, name;
  IgnoreErrors([&] {
    folder = lists_.ListFolder();
    name = filListBox.List(filListBox.ListIndex());
  });
  IgnoreErrors([] { DoEvents(); });
  IgnoreErrors([&] { core::ErrLoadPict(geaPreview, folder + core::StripRChar(name)); });
  IgnoreErrors([] { DoEvents(); });
}

// ---- Browsing ------------------------------------------------------------------------------

void frmPath::NewDrive_Change() {
  core::gCurrentProc = "NewDrive_Change";
  lists_.OpenPickedDrive();
}

void frmPath::newPath_Click() {
  filListBox.SetPath(newPath.List(newPath.ListIndex()));
}

void ShowMediaCopy() {
  forms::FormInstance<frmPath>().Show(forms::vbModal);
}

}  // namespace tools
