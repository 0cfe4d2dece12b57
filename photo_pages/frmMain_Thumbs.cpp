// The thumbnail strip: twelve thumbnails of the capture directory, from the hidden file list's
// top entry on, each with its file name under it.

#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/ErrTrap.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"
#include "tools/frmCamera.h"

namespace photo_pages {

namespace {

constexpr int kThumbs = 12;
constexpr int kPage = 12;
// The size limits of a thumbnail's on-screen copy.
constexpr int kThumbX = 80;
constexpr int kThumbY = 60;
constexpr forms::OleColor kOversizeColor = 0x0080FFFF;  // light yellow
constexpr forms::OleColor kWindowBackground = forms::vbWindowBackground;

// The label colour of a thumbnail: light yellow for a picture larger than the configured size.
forms::OleColor TagColor(const forms::Gear& thumb) {
  return thumb.ImageWidth() > core::gResolX || thumb.ImageHeight() > core::gResolY
             ? kOversizeColor
             : kWindowBackground;
}

// A drive without a readable medium (a card taken out, a disc ejected).  52 is left to the
// start-up's own question about an empty drive.
bool IsMediaError(int number) {
  return number == vb::kDeviceUnavailable || number == vb::kDiskNotReady;
}

}  // namespace

void frmMain::errdisplayThumbs() {
  core::Trap trap("errdisplayThumbs");
  // The pointer goes back to normal before the procedure is left or the error raised again.
  trap.OnError([this](const vb::VbError& err) -> std::optional<int> {
    if (IsMediaError(err.Number())) return ShowMediaGone();
    const int action = core::ErrReport(err.Number(), err.Description());
    if (action != core::kRetry && action != core::kNext) SetMousePointer(forms::vbDefault);
    return action;
  });
  if (!trap.Step([this] { SetMousePointer(forms::vbHourglass); })) return;
  if (!trap.Step([this] {
        if (vb::InStr(core::gCaptureDir, ".") > 0) RefuseCaptureDirWithPeriod();
      })) {
    return;
  }
  if (!CaptureDirReadable()) return;
  if (!trap.Step([this] { SetCaptureDir(core::gCaptureDir); })) return;
  if (!trap.Step([this] { filCapture.Refresh(); })) return;
  if (filCapture.ListCount() == 0) {
    if (!trap.Step([this] { ClearThumbs(); })) return;
    SetMousePointer(forms::vbDefault);
    return;
  }
  DecodePageAhead();
  for (int i = 0; i < kThumbs; ++i) {
    if (!trap.Step([this] { StopWhenUnloading(); })) return;
    if (!trap.Step([] { forms::App::Current().DoEvents(); })) return;
    if (!trap.Step([this, i] { ShowThumb(i); })) return;
    if (!trap.Step([] { forms::App::Current().DoEvents(); })) return;
  }
  if (!trap.Step([this] { StopWhenUnloading(); })) return;
  if (!trap.Step([this] { UpdateScrollArrows(filCapture); })) return;
  SetMousePointer(forms::vbDefault);
}

// The capture folder's medium went away: one message for the whole redraw (each picture would
// fail the same way), and the strip empties.
int frmMain::ShowMediaGone() {
  forms::App::Current().MsgBox("Media appears to be unreadable or not inserted properly.",
                               forms::vbOKOnly);
  try {
    ClearThumbs();
  } catch (const vb::VbError&) {
    // Clearing touches no file; nothing to report.
  }
  SetMousePointer(forms::vbDefault);
  return core::kLeave;
}

// A window being closed stops the redraw by ending the program.
void frmMain::StopWhenUnloading() {
  if (!core::gbUnloading) return;
  SetMousePointer(forms::vbDefault);
  forms::App::Current().End();
}

// Thumbnail i shows entry TopIndex + i of the file list, or is hidden past the list's end.
void frmMain::ShowThumb(int i) {
  const int k = filCapture.TopIndex() + i;
  const std::string path = core::CkRSlash(core::gCaptureDir) + filCapture.List(k);
  if (path.empty() || k > filCapture.ListCount() - 1) {
    HideThumb(i);
    return;
  }
  forms::Gear& thumb = GeaThumb[i];
  forms::Label& tag = lbltag[i];
  core::ErrLoadThumb(thumb, path);
  StopWhenUnloading();
  forms::App::Current().DoEvents();
  core::ErrLoadLblTag(tag, core::GetFileNameExt(thumb.ThumbPath()));
  thumb.SetVisible(true);
  tag.SetVisible(true);
  SetTagColor(i);
}

void frmMain::SetTagColor(int i) {
  lbltag[i].SetBackColor(TagColor(GeaThumb[i]));
}

// The twelve pictures of the page are decoded in parallel before the strip shows them one by
// one; each thumbnail's load then takes its decoded picture (or its error) in the usual order.
// A file changed in between is decoded again by its own load.
void frmMain::DecodePageAhead() {
  try {
    std::vector<std::filesystem::path> hosts;
    std::vector<std::string> paths;
    std::vector<int> thumbs;
    int maxW = 0, maxH = 0;
    GeaThumb[0].ReducedLoadSize(kThumbX, kThumbY, maxW, maxH);
    const int top = filCapture.TopIndex();
    for (int i = 0; i < kThumbs && top + i < filCapture.ListCount(); ++i) {
      int w = 0, h = 0;
      GeaThumb[i].ReducedLoadSize(kThumbX, kThumbY, w, h);
      if (w != maxW || h != maxH) continue;
      const std::string path = core::CkRSlash(core::gCaptureDir) + filCapture.List(top + i);
      try {
        hosts.push_back(winfs::ToHost(path));
      } catch (const vb::VbError&) {
        continue;  // the thumbnail's own load reports it
      }
      paths.push_back(path);
      thumbs.push_back(i);
    }
    std::vector<imaging::ReducedLoad> decoded = imaging::LoadReducedMany(hosts, maxW, maxH);
    for (std::size_t n = 0; n < decoded.size(); ++n) {
      GeaThumb[thumbs[n]].PrepareLoad(paths[n], maxW, maxH, std::move(decoded[n]));
    }
  } catch (const std::exception&) {
    // Only a shortcut: every thumbnail loads on its own below.
  }
}

void frmMain::HideThumb(int i) {
  core::ErrClearPict(GeaThumb[i]);
  lbltag[i].SetCaption("");
  GeaThumb[i].SetVisible(false);
  lbltag[i].SetVisible(false);
}

void frmMain::ClearThumbs() {
  for (int i = 0; i < kThumbs; ++i) {
    core::ErrClearPict(GeaThumb[i]);
    lbltag[i].SetCaption("");
    GeaThumb[i].SetVisible(false);
    lbltag[i].SetVisible(false);
  }
}

// A folder whose path holds "." cannot be shown: the user is told, and the strip turns to the
// user directory, the folder last copied from, or the root of the INI folder's drive.
void frmMain::RefuseCaptureDirWithPeriod() {
  const std::string a = vb::UCase(vb::Trim(core::CkRSlash(core::gCaptureDir)));
  std::string b = core::gCurrentDir;
  if (b.empty()) b = core::gLastCopy;
  if (b.empty()) b = core::CkRSlash(core::GetFileDrive(core::gIniDir));
  b = vb::UCase(vb::Trim(core::CkRSlash(b)));
  const std::string c = vb::UCase(vb::Trim(core::CkRSlash(core::gLastCopy)));
  const std::string d = vb::UCase(vb::Trim(core::CkRSlash(core::GetFileDrive(core::gIniDir))));
  forms::App::Current().MsgBox(
      "Unable to open capture directory. The folder path has a period '.' character. Please "
      "Rename the Folder (excluding the period) OR choose a different capture directory. "
      "Chosen Directory = " +
          core::gCaptureDir,
      forms::vbOKOnly, "Unable to Open Capture Directory");
  if (b != a) {
    core::gCaptureDir = b;
  } else if (c != a) {
    core::gCaptureDir = c;
  } else {
    core::gCaptureDir = d;
  }
}

void frmMain::SetCaptureDir(std::string& dir) {
  std::string shown = dir;
  lblCapDir.SetCaption(core::StripRChar(shown));
  filCapture.SetPath(dir);
}

// A capture folder that is there but may not be read would show as an empty strip: the user is
// told which folder cannot be read, and the strip empties.  A missing folder or drive is left to
// the listing's own errors.
bool frmMain::CaptureDirReadable() {
  std::string dir = core::gCaptureDir;
  if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();  // found without listing it
  std::error_code ec;
  try {
    std::filesystem::directory_iterator probe(winfs::ToHost(dir), ec);
  } catch (const vb::VbError&) {
    return true;
  }
  if (ec != std::errc::permission_denied && ec != std::errc::operation_not_permitted) return true;
  forms::App::Current().MsgBox("The capture directory " + core::gCaptureDir +
                                   " cannot be read (Permission denied).  Choose another capture "
                                   "directory, or make this one readable.",
                               forms::vbOKOnly | forms::vbExclamation);
  ClearThumbs();
  SetMousePointer(forms::vbDefault);
  return false;
}

// The paging buttons show "at the top" and "at the bottom" arrows from the hidden holders.
void frmMain::UpdateScrollArrows(forms::FileListBox& list) {
  const int top = list.TopIndex();
  const int count = list.ListCount();
  const bool atTop = top == 0;
  imaScroll[0].SetPicture(imaScroll[atTop ? 4 : 8].Picture());
  imaScroll[1].SetPicture(imaScroll[atTop ? 5 : 9].Picture());
  const bool atBottom = top + 11 >= count - 1;
  imaScroll[2].SetPicture(imaScroll[atBottom ? 6 : 10].Picture());
  imaScroll[3].SetPicture(imaScroll[atBottom ? 7 : 11].Picture());
}

// ---- Paging ------------------------------------------------------------------------------------
// Each operation moves the file list only; a change of its top entry raises the list's Scroll,
// which redraws the strip.  An empty list is left as it is.

void frmMain::lstPageFirst() {
  core::Trap trap("lstPageFirst");
  if (IsListEmpty(filCapture)) return;
  if (!trap.Step([this] {
        if (filCapture.ListIndex() == -1) filCapture.SetListIndex(0);
      })) {
    return;
  }
  if (!trap.Step([this] { filCapture.SetTopIndex(0); })) return;
  trap.Step([this] { filCapture.SetListIndex(filCapture.TopIndex()); });
}

// The page start snaps back to the previous multiple of twelve.
void frmMain::ErrLstPageUp() {
  core::Trap trap("ErrLstPageUp");
  if (IsListEmpty(filCapture)) return;
  const int top = filCapture.TopIndex();
  if (top <= 0) return;
  if (top - kPage >= 0) {
    const int r = top % kPage == 0 ? kPage : top % kPage;
    if (!trap.Step([&] { filCapture.SetTopIndex(top - r); })) return;
    trap.Step([this] { filCapture.SetListIndex(filCapture.TopIndex()); });
  } else {
    trap.Step([this] { filCapture.SetTopIndex(0); });
  }
}

// The step is measured from the selected entry; near the end the list moves by one entry.
void frmMain::lstPageDown() {
  core::Trap trap("lstPageDown");
  if (IsListEmpty(filCapture)) return;
  if (!trap.Step([this] {
        if (filCapture.ListIndex() == -1) filCapture.SetListIndex(0);
      })) {
    return;
  }
  const int last = filCapture.ListCount() - 1;
  if (filCapture.ListIndex() + kPage < last) {
    if (!trap.Step([this] { filCapture.SetTopIndex(filCapture.ListIndex() + kPage); })) return;
    trap.Step([this] { filCapture.SetListIndex(filCapture.TopIndex()); });
  } else {
    const int next = filCapture.TopIndex() + 1;
    trap.Step([&] { filCapture.SetTopIndex(next <= last ? next : last); });
  }
}

// The last page always holds twelve pictures when there are that many.
void frmMain::lstPageLast() {
  core::Trap trap("lstPageLast");
  if (IsListEmpty(filCapture)) return;
  if (!trap.Step([this] {
        if (filCapture.ListIndex() == -1) filCapture.SetListIndex(0);
      })) {
    return;
  }
  const int count = filCapture.ListCount();
  if (!trap.Step([&] { filCapture.SetTopIndex(count > 11 ? count - kPage : 0); })) return;
  trap.Step([this] { filCapture.SetListIndex(filCapture.TopIndex()); });
}

// ---- Events of the strip -----------------------------------------------------------------------

void frmMain::BindThumbEvents() {
  GeaThumb.Bind(&forms::Control::MouseDown, [this](int Index, int Button, int, float, float) {
    core::RunEvent("geaThumb_MouseDown", [&] { geaThumb_MouseDown(Index, Button); });
  });
  GeaThumb.Bind(&forms::Control::MouseMove, [this](int Index, int, int, float, float) {
    core::RunEvent("GeaThumb_MouseMove", [&] { GeaThumb_MouseMove(Index); });
  });
  GeaThumb.Bind(
      &forms::Control::DragOver, [](int, forms::Control& Source, float X, float Y, int State) {
        core::RunEvent("GeaThumb_DragOver", [&] { core::TargetDragOverKep(Source, X, Y, State); });
      });
  GeaThumb.Bind(&forms::Control::DragDrop, [this](int Index, forms::Control& Source, float, float) {
    core::RunEvent("GeaThumb_DragDrop", [&] { GeaThumb_DragDrop(Index, Source); });
  });
  GeaThumb.Bind(&forms::Control::DblClick, [this](int Index) {
    core::RunEvent("GeaThumb_DblClick", [&] { GeaThumb_DblClick(Index); });
  });
  imaFolder.Click = [this] { core::RunEvent("imaFolder_Click", [this] { ShowCameraDialog(); }); };
  lblCapDir.Click = [this] { core::RunEvent("lblCapDir_Click", [this] { ShowCameraDialog(); }); };
}

// Any button but the right one selects the picture's entry and starts dragging it.
void frmMain::geaThumb_MouseDown(int Index, int Button) {
  core::Trap trap("geaThumb_MouseDown");
  if (Button == forms::vbRightButton) return;
  if (!trap.Step([] { core::gDragSourceKind = "THUMB"; })) return;
  if (!trap.Step([&] { filCapture.SetListIndex(filCapture.TopIndex() + Index); })) return;
  if (!trap.Step([&] { core::SourceMouseDown(GeaThumb[Index]); })) return;
  trap.Step([&] { core::SetDragSource(GeaThumb[Index]); });
}

// A picture that could not be read has no size to show.
void frmMain::GeaThumb_MouseMove(int Index) {
  forms::Gear& thumb = GeaThumb[Index];
  if (!thumb.HasImage() || thumb.ImageWidth() <= 0 || thumb.ImageHeight() <= 0) {
    thumb.SetToolTipText("");
    return;
  }
  thumb.SetToolTipText("Resolution: " + std::to_string(thumb.ImageWidth()) + " x " +
                       std::to_string(thumb.ImageHeight()));
}

// A report picture dropped on a thumbnail is copied back into the capture directory, as on the
// strip's free space: the strip is drawn again, so that a thumbnail of a picture the copy
// replaced never goes on showing the picture now in the trash folder.  A thumbnail dropped on
// the strip does nothing.
void frmMain::GeaThumb_DragDrop(int /*Index*/, forms::Control& Source) {
  if (vb::UCase(vb::Trim(Source.Name())) == "GEATHUMB") return;
  CopyBackToCapture(Source);
}

// The picture editor on the thumbnail's picture; an edited picture is shown in its place
// before the strip is drawn again.
void frmMain::GeaThumb_DblClick(int Index) {
  core::Trap trap("GeaThumb_DblClick");
  const std::string scratch = core::CkRSlash(core::gUserDir) + "temptemp.jpg";
  if (!trap.Step([&] {
        if (winfs::FileExists(scratch)) core::DelPict(scratch, true);
      })) {
    return;
  }
  if (!trap.Step([] { core::gbRefreshThumbs = core::vbFalse; })) return;
  if (!trap.Step([&] { ShowPictureEditor(GeaThumb[Index].ThumbPath()); })) return;
  if (core::gbRefreshThumbs) {
    forms::Gear& thumb = GeaThumb[Index];
    if (!trap.Step([&] { thumb.SetThumbPath(core::gDragSourcePath); })) return;
    if (!trap.Step([&] { core::ErrLoadThumb(thumb, thumb.ThumbPath()); })) return;
    if (!trap.Step([&] {
          core::ErrLoadLblTag(lbltag[Index], core::GetFileBaseName(thumb.ThumbPath()));
        })) {
      return;
    }
    if (!trap.Step([&] { SetTagColor(Index); })) return;
  }
  if (!trap.Step([this] { errdisplayThumbs(); })) return;
  trap.Step([] { core::gbRefreshThumbs = core::vbFalse; });
}

// The chooser hands the capture directory back in gCaptureDir; the strip is reloaded whatever
// it did, which shows the folder.
void frmMain::ShowCameraDialog() {
  tools::ShowCaptureDirChooser();
  RedrawThumbsWithHourglass();
}

void frmMain::RedrawThumbsWithHourglass() {
  SetMousePointer(forms::vbHourglass);
  errdisplayThumbs();
  SetMousePointer(forms::vbDefault);
}

// ---- A picture copied back from a slot ---------------------------------------------------------

// Shows the dropped picture's own file of the capture directory in the first hidden thumbnail,
// unless a thumbnail already shows it or none is free.
void frmMain::AddThumbFromDrop(forms::Control& Source) {
  const auto* gear = dynamic_cast<const forms::Gear*>(&Source);
  const std::string own = gear ? gear->ThumbPath() : std::string();
  std::string drive, directory, name, extension;
  core::ParseFileName(own, drive, directory, name, extension);
  const std::string leaf = extension.find('\\') == std::string::npos
                               ? name + "." + extension
                               : OwnFileName(own, name, extension);
  const std::string path = core::CkRSlash(lblCapDir.Caption()) + leaf;
  if (core::DirLookup(path).empty()) return;
  if (IsThumbTagShown(core::GetFileBaseName(path))) return;
  const int i = FindFreeThumb();
  if (i == -1) return;
  core::ErrLoadThumb(GeaThumb[i], path);
  core::ErrLoadLblTag(lbltag[i], core::GetFileBaseName(GeaThumb[i].ThumbPath()));
  GeaThumb[i].SetVisible(true);
  lbltag[i].SetVisible(GeaThumb[i].Visible());
}

bool frmMain::IsThumbTagShown(const std::string& name) {
  const std::string wanted = vb::UCase(vb::Trim(name));
  for (int k = 0; k < kThumbs; ++k) {
    if (vb::UCase(vb::Trim(lbltag[k].Caption())) == wanted) return true;
  }
  return false;
}

int frmMain::FindFreeThumb() {
  for (int k = 0; k < kThumbs; ++k) {
    if (!GeaThumb[k].Visible()) return k;
  }
  return -1;
}

}  // namespace photo_pages
