#include "tools/frmDouble.h"

#include <algorithm>
#include <vector>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/modVBCommon.h"
#include "core/modVelmodSlots.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tools/frmDouble_Steps.h"

namespace tools {

using forms::App;
using namespace double_steps;

namespace {

constexpr const char* kCropQuestion =
    "Select the area to crop with your mouse.   Select with same shape as picture? Do NOT save "
    "if you don't like the results.   It's permanent.";

}  // namespace

frmDouble::frmDouble() : Form("frmDouble") {
  BindEvents();
}

void frmDouble::BindEvents() {
  hsbcapturebrightness.Change = [this] {
    core::RunEvent("hsbcapturebrightness_Change", [this] { hsbcapturebrightness_Change(); });
  };
  hsbquality.Change = [this] {
    core::RunEvent("hsbquality_Change", [this] { hsbquality_Change(); });
  };
  imacapturebrightness.Click = [this] {
    core::RunEvent("imacapturebrightness_Click", [this] { imacapturebrightness_Click(); });
  };
  lblQualityCaption.Click = [this] {
    core::RunEvent("lblQualityCaption_Click", [this] { lblQualityCaption_Click(); });
  };
  BindClick(cmdcrop, Image1, "cmdcrop_Click", [this] { cmdcrop_Click(); });
  BindClick(cmdCompress, imaCompress, "cmdCompress_Click", [this] { cmdCompress_Click(); });
  BindClick(cmdCancel, imaCancel, "cmdCancel_Click", [this] { cmdCancel_Click(); });
  BindClick(cmdReset, imaReset, "cmdReset_Click", [this] { cmdReset_Click(); });
  BindClick(cmdHelp, imaHelp, "cmdHelp_Click", [this] { cmdHelp_Click(); });
  BindClick(cmdExit, imaExit, "cmdExit_Click", [this] { cmdExit_Click(); });
  bmpDouble.SelectionDone = [this](int l, int t, int r, int b) {
    core::RunEvent("bmpDouble_SelectionDone", [&] { SelectionDone(bmpDouble, l, t, r, b); });
  };
  bmpDouble2.SelectionDone = [this](int l, int t, int r, int b) {
    core::RunEvent("bmpDouble2_SelectionDone", [&] { SelectionDone(bmpDouble2, l, t, r, b); });
  };
}

// ---- Opening and closing -------------------------------------------------------------------

void frmDouble::Form_Load() {
  core::RunEvent("Form_Load", [this] { LoadSteps(); });
}

void frmDouble::LoadSteps() {
  IgnoreErrors([this] { CentreOnMainWindow(*this); });
  IgnoreErrors([this] { SetIcon(core::frmMain().Icon()); });
  IgnoreErrors([this] { ResetAdjustValues(); });
  bCompressed = core::vbFalse;
  IgnoreErrors([] { App::Current().SetMousePointer(forms::vbHourglass); });
  ClearLeftovers();
  IgnoreErrors([this] { LoadOriginalPicture(); });
  IgnoreErrors([] { App::Current().SetMousePointer(forms::vbDefault); });
}

// Files an earlier opening may have left in the user folder.  A kept "tempOrig.*" may be the
// only copy of an unedited picture: it goes to the trash folder, and stays where it is when it
// cannot be copied there.
void frmDouble::ClearLeftovers() {
  const std::string user = core::CkRSlash(core::gUserDir);
  std::vector<std::string> kept;
  IgnoreErrors([&] { kept = winfs::ListFiles(user, "tempOrig.*"); });
  for (const std::string& name : kept)
    IgnoreErrors([&] { TrashLeftover(user + name, core::gEditPicturePath); });
  IgnoreErrors([&] {
    if (core::FileExists(user + "temptemp.jpg")) core::DelPict(user + "temptemp.jpg", true);
  });
}

void frmDouble::Form_Unload(int& /*Cancel*/) {
  IgnoreErrors([] { App::Current().DoEvents(); });
  CommitChanges();
}

void frmDouble::cmdExit_Click() {
  App::Current().DoEvents();
  Unload();
}

// The kept file goes to the trash under the picture's own name (from now on the change cannot
// be undone here; when it cannot go there it stays for the next opening) and the picture to
// show from now on is handed back.
void frmDouble::CommitChanges() {
  IgnoreErrors([this] {
    if (vb::Trim(sTempOrig).empty() || !core::FileExists(sTempOrig)) return;
    TrashLeftover(sTempOrig, sOrigFile, sOrigFile.substr(sOrigFile.find_last_of('\\') + 1));
  });
  IgnoreErrors([this] {
    // After a Cancel the working copy's file is gone: the picture itself is the result.
    const std::string working = bmpDouble2.ThumbPath();
    core::gDragSourcePath =
        Compressed() && !vb::Trim(working).empty() ? working : bmpDouble.ThumbPath();
  });
  IgnoreErrors([] { App::Current().SetMousePointer(forms::vbDefault); });
}

// ---- Brightness and quality ----------------------------------------------------------------

void frmDouble::ResetAdjustValues() {
  nInitQuality = static_cast<std::int16_t>(std::clamp<int>(core::gJpegQuality, 1, 100));
  hsbquality.SetValue(nInitQuality);
  nInitBrightness = static_cast<std::int16_t>(std::clamp<int>(core::gBrightness, -100, 100));
  hsbcapturebrightness.SetValue(nInitBrightness);
}

bool frmDouble::ImageAttributesChanged() {
  if (hsbcapturebrightness.Value() != nInitBrightness) return true;
  return hsbquality.Value() != nInitQuality;
}

void frmDouble::hsbcapturebrightness_Change() {
  bmpDouble.SetBrightness(hsbcapturebrightness.Value());
  lblBrightness.SetCaption(vb::CStr(hsbcapturebrightness.Value()));
}

void frmDouble::hsbquality_Change() {
  lblquality.SetCaption(vb::CStr(hsbquality.Value()));
}

void frmDouble::imacapturebrightness_Click() {
  SetControlValue(hsbcapturebrightness, 0);
  lblBrightness.SetCaption(vb::CStr(hsbcapturebrightness.Value()));
}

void frmDouble::lblQualityCaption_Click() {
  hsbquality.SetValue(70);
}

void frmDouble::SetControlValue(forms::Control& ctl, int value) {
  if (auto* bar = dynamic_cast<forms::HScrollBar*>(&ctl)) bar->SetValue(value);
}

void frmDouble::EnableAdjustControls(bool on) {
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &hsbquality, &lblQualityCaption, &lblquality, &hsbcapturebrightness,
           &lblBrightnessCaption, &imacapturebrightness, &lblBrightness})
    c->SetEnabled(on);
}

void frmDouble::cmdReset_Click() {
  ClearSelectionMode();
  ResetAdjustValues();
}

// ---- Picture -------------------------------------------------------------------------------

void frmDouble::LoadOriginalPicture() {
  core::ErrLoadPict(bmpDouble, core::gEditPicturePath);
  ClearSelectionMode();
  ShowFileInfo(bmpDouble, 0);
}

void frmDouble::ClearSelectionMode() {
  bmpDouble.ClearSelection();
  bmpDouble2.ClearSelection();
}

void frmDouble::ShowWorkingCopy(bool on) {
  fraHLight.SetVisible(on);
  bmpDouble.SetVisible(!on);
  bmpDouble2.SetVisible(on);
}

// ---- Crop ----------------------------------------------------------------------------------

void frmDouble::cmdcrop_Click() {
  App& app = App::Current();
  const int answer = app.MsgBox(kCropQuestion, forms::vbYesNoCancel, app.Title());
  if (answer == forms::vbCancel) return;
  for (forms::Gear* g : {&bmpDouble, &bmpDouble2}) {
    g->SetKeepProportions(answer == forms::vbYes);
    g->SetRubberBand(true);
  }
}

// The user released the mouse after dragging the rectangle on the visible picture.  A click
// without a drag (or a rectangle beside the picture) selects nothing: the rubber band stays on.
void frmDouble::SelectionDone(forms::Gear& ctl, int left, int top, int right, int bottom) {
  if (!SelectsPixels(ctl, left, top, right, bottom)) return;
  ctl.SetCropRect(left, top, right, bottom);
  ctl.ApplyCrop();
  ctl.SetRubberBand(false);
  App& app = App::Current();
  const bool working = &ctl == &bmpDouble2;
  IgnoreErrors([&] { DisplayFileAttribs(ctl.ThumbPath(), working ? 1 : 0); });
  if (app.MsgBox("Save the results?", forms::vbYesNo, app.Title()) != forms::vbYes) {
    if (!working) {
      LoadOriginalPicture();
      return;
    }
    // The compressed copy shows its file again (the unedited file may no longer be in place).
    core::ErrLoadPict(bmpDouble2, bmpDouble2.ThumbPath());
    ShowFileInfo(bmpDouble2, 1);
    return;
  }
  SaveCrop(ctl, working);
}

// The compressed copy is saved over its own file (the picture handed back); the picture itself
// over the edited file, in its own format.  A picture of a format the editor does not write
// (TIFF) stays as it is: its crop becomes a JPEG beside it, which is handed back.  What the
// preview shows is saved, brightness included.
void frmDouble::SaveCrop(forms::Gear& ctl, bool working) {
  const std::string edited =
      working && !vb::Trim(ctl.ThumbPath()).empty() ? ctl.ThumbPath() : core::gEditPicturePath;
  const bool bmp = LastExtension(edited) == "BMP";
  const bool own = bmp || IsJpegName(edited);
  const std::string target = own ? edited : ResultName(edited, CompressedName(edited));
  ctl.SetSaveFormat(bmp ? forms::kGearBmp : forms::kGearJpeg);
  const int shown = ctl.Brightness();
  try {
    // The picture as it was stays in the trash: the crop cannot be undone here.
    if (own) CopyIntoTrash(target, TrashBase(target));
    ctl.SetSaveBrightness(shown);
    ctl.SaveImage(target);
    ctl.SetSaveBrightness(0);
  } catch (const vb::VbError&) {
    ctl.SetSaveBrightness(0);
    // The file on disk is unchanged: show it again as it is.
    IgnoreErrors([&] { core::ErrLoadPict(ctl, edited); });
    throw;
  }
  ctl.SetThumbPath(target);
  if (working || !own) core::gbRefreshThumbs = core::vbTrue;
  if (shown != 0) {
    // The file holds the brightness now: it is shown as saved, and the bar adds nothing more.
    IgnoreErrors([&] { core::ErrLoadPict(ctl, target); });
    SetControlValue(hsbcapturebrightness, 0);
  }
  IgnoreErrors([&] { ShowFileInfo(ctl, working ? 1 : 0); });
}

bool frmDouble::SelectsPixels(const forms::Gear& ctl, int left, int top, int right, int bottom) {
  const int x0 = std::max(std::min(left, right), 0);
  const int y0 = std::max(std::min(top, bottom), 0);
  const int x1 = std::min(std::max(left, right), ctl.ImageWidth());
  const int y1 = std::min(std::max(top, bottom), ctl.ImageHeight());
  return x1 > x0 && y1 > y0;
}

// ---- Help ----------------------------------------------------------------------------------

void frmDouble::cmdHelp_Click() {
  if (vb::InStr(vb::UCase(cmdHelp.Caption()), "HIDE") > 0) {
    cmdHelp.SetCaption("Compression Help");
    lstHow2.SetVisible(false);
    lstHow2.ZOrder(1);
  } else {
    cmdHelp.SetCaption("Hide Help");
    lstHow2.SetVisible(true);
    lstHow2.ZOrder(0);
  }
}

void frmDouble::SetPendingMark(bool on) {
  const std::string caption = lblFileNameC.Caption();
  const bool marked = !caption.empty() && caption.back() == '*';
  if (on && !marked) lblFileNameC.SetCaption(caption + "*");
  if (!on && marked) lblFileNameC.SetCaption(caption.substr(0, caption.size() - 1));
}

void ShowDouble() {
  forms::FormInstance<frmDouble>().Show(forms::vbModal);
}

}  // namespace tools
