// The picture editor's compression, its undo, and the file copy both use.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "core/modVBCommon.h"
#include "core/modVelmodSlots.h"
#include "platform/forms/App.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/winfs/WinFs.h"
#include "tools/frmDouble.h"
#include "tools/frmDouble_Steps.h"

namespace tools {

using forms::App;
using namespace double_steps;

namespace {

bool SamePath(const std::string& a, const std::string& b) {
  return vb::UCase(vb::Trim(a)) == vb::UCase(vb::Trim(b));
}

}  // namespace

std::string double_steps::LastExtension(const std::string& path) {
  const std::string::size_type slash = path.find_last_of('\\');
  const std::string::size_type dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return vb::UCase(path.substr(dot + 1));
}

bool double_steps::IsJpegName(const std::string& path) {
  const std::string ext = LastExtension(path);
  return ext == "JPG" || ext == "JPEG";
}

std::string double_steps::CompressedName(const std::string& path) {
  if (IsJpegName(path)) return path;
  const std::string ext = LastExtension(path);
  return path.substr(0, path.size() - (ext.empty() ? 0 : ext.size() + 1)) + ".jpg";
}

// The keeper copies the picture into the trash folder of `folder` (a trash folder keeps it beside
// itself) and reads the copy back; the editor writes over the picture next.
std::string double_steps::CopyIntoTrash(const std::string& file, const std::string& folder,
                                        const std::string& leaf) {
  core::KeepIntent intent;
  intent.replace = true;
  intent.base = folder;
  intent.leaf = leaf;
  const core::KeepAnswer kept = core::KeepPicture(file, intent);
  if (kept.outcome == core::KeepOutcome::Missing) vb::Raise(vb::kFileNotFound);
  if (!kept.Safe()) vb::Raise(vb::kPathFileAccess);
  return kept.copy;
}

std::string double_steps::TrashBase(const std::string& picture) {
  if (!vb::Trim(core::gCaptureDir).empty()) return core::gCaptureDir;
  const std::string::size_type cut = picture.find_last_of('\\');
  if (cut == std::string::npos) vb::Raise(vb::kPathNotFound);
  return picture.substr(0, cut + 1);
}

void double_steps::TrashLeftover(const std::string& file, const std::string& picture,
                                 const std::string& leaf) {
  core::KeepIntent intent;
  intent.remove = true;
  intent.base = TrashBase(picture);
  intent.leaf = leaf;
  const core::KeepAnswer kept = core::KeepPicture(file, intent);
  if (!kept.Safe()) vb::Raise(vb::kPathFileAccess);
  if (!kept.removed && kept.outcome != core::KeepOutcome::Missing) vb::Raise(vb::kPathFileAccess);
}

// The compressed result's name: t beside the picture, or "t (2).jpg", ... when another file of
// the folder already has that name.
std::string double_steps::ResultName(const std::string& s, const std::string& t) {
  if (SamePath(s, t)) return t;
  const std::string::size_type cut = t.find_last_of('\\');
  return core::FreeCopyName(t.substr(0, cut + 1), {}, t.substr(cut + 1));
}

// ---- Compression ---------------------------------------------------------------------------

void frmDouble::cmdCompress_Click() {
  std::string s;
  IgnoreErrors([&] { s = bmpDouble.ThumbPath(); });
  if (s.empty()) return;
  const std::string t = CompressedName(s);
  // A later click only refreshes the information: the result of the first one is kept as it is.
  if (!Compressed() && !FirstCompression(s, ResultName(s, t), LastExtension(s))) return;
  IgnoreErrors([this] { ShowFileInfo(bmpDouble2, 1); });
  IgnoreErrors([this] { SetPendingMark(true); });
  bCompressed = core::vbTrue;
  core::gbRefreshThumbs = core::vbTrue;
  IgnoreErrors([this] { cmdCancel.SetEnabled(true); });
  IgnoreErrors([this] { EnableAdjustControls(false); });
  IgnoreErrors([this] { cmdExit.SetFocus(); });
}

// Keeps the unedited file, writes the compressed picture and only then gives the unedited file
// up; when a step fails everything is put back as it was and false is returned.
bool frmDouble::FirstCompression(const std::string& s, const std::string& t,
                                 const std::string& ext) {
  const std::string k = core::CkRSlash(core::gUserDir) + "tempOrig." + ext;
  // A kept original no earlier opening could move away is never overwritten: when it cannot
  // go to the trash now, the error is reported and nothing is changed.
  if (core::FileExists(k)) TrashLeftover(k, s);
  IgnoreErrors([&] { winfs::SetAttr(s, winfs::kNormal); });
  sTempOrig = k;
  sOrigFile = s;
  sTargetFile = t;
  sOrigExt = ext;
  if (!MoveToTempOriginal(s, k)) {
    IgnoreErrors([&] { core::DelPict(k, true); });
    return false;
  }
  IgnoreErrors([] { DoEvents(); });
  if (!LoadWorkingCopy(k, ext, t)) {
    IgnoreErrors([&] { core::DelPict(k, true); });
    return false;
  }
  // The picture now lives on as the compressed JPEG (and as the kept file).
  if (!SamePath(s, t)) IgnoreErrors([&] { core::DelPict(s, true); });
  IgnoreErrors([] { DoEvents(); });
  return true;
}

// The unedited file is copied to the kept path; the copy must hold the same bytes before the
// picture may be replaced.
bool frmDouble::MoveToTempOriginal(const std::string& source, const std::string& kept) {
  IgnoreErrors([&] { CopyFile(source, kept); });
  return SameFileBytes(source, kept);
}

bool frmDouble::LoadWorkingCopy(const std::string& kept, const std::string& /*ext*/,
                                const std::string& target) {
  const bool loaded = IgnoreErrors([&] {
    bmpDouble2.SetAutoResizeX(0);
    bmpDouble2.SetAutoResizeY(0);
    bmpDouble2.SetSaveFormat(forms::kGearJpeg);
    bmpDouble2.SetImageWidth(bmpDouble.ImageWidth());
    bmpDouble2.SetImageHeight(bmpDouble.ImageHeight());
    bmpDouble2.LoadImage(kept);
  });
  if (!loaded) return false;
  if (core::gbRedux != core::vbFalse) {
    // Fitted inside the limits with its proportions kept, as a placed picture is reduced.
    const bool resized = IgnoreErrors([this] {
      const imaging::Size fit = imaging::FittedSize(
          bmpDouble2.ImageWidth(), bmpDouble2.ImageHeight(), core::gResolX, core::gResolY);
      bmpDouble2.SetNewWidth(fit.width);
      bmpDouble2.SetNewHeight(fit.height);
      if (bmpDouble2.NewWidth() != bmpDouble2.ImageWidth() ||
          bmpDouble2.NewHeight() != bmpDouble2.ImageHeight())
        bmpDouble2.ApplyResize();
    });
    if (!resized) return false;
  }
  if (!IgnoreErrors([&] { SaveCompressed(target); })) return false;
  IgnoreErrors([this] { ShowWorkingCopy(true); });
  return true;
}

// Writes the working copy as the target JPEG (a temporary file renamed over the target, so a
// failed save leaves the old file), then shows the file as saved.
void frmDouble::SaveCompressed(const std::string& target) {
  bmpDouble2.SetSaveFormat(forms::kGearJpeg);
  const bool changed = ImageAttributesChanged();
  bmpDouble2.SetSaveBrightness(changed ? hsbcapturebrightness.Value() : nInitBrightness);
  bmpDouble2.SetSaveQuality(changed ? hsbquality.Value() : nInitQuality);
  bmpDouble2.SaveImage(target);
  // The saved file carries the brightness: later saves of the copy (a crop) add none.
  bmpDouble2.SetSaveBrightness(0);
  IgnoreErrors([&] { bmpDouble2.LoadImage(target); });
  bmpDouble2.SetThumbPath(target);
}

// ---- Cancel --------------------------------------------------------------------------------

void frmDouble::cmdCancel_Click() {
  if (!RestoreOriginal()) {
    App::Current().MsgBox("Unable to undo changes: original file is missing", forms::vbOKOnly,
                          "Unable to Retrieve Original");
    return;
  }
  IgnoreErrors([this] { SetPendingMark(false); });
  IgnoreErrors([this] {
    if (core::FileExists(sTempOrig)) core::DelPict(sTempOrig, true);
  });
  IgnoreErrors([this] { ShowWorkingCopy(false); });
  IgnoreErrors([this] { ShowFileInfo(bmpDouble, 0); });
  IgnoreErrors([this] { ClearSelectionMode(); });
  IgnoreErrors([this] { ResetAdjustValues(); });
  bCompressed = core::vbFalse;
  core::gbRefreshThumbs = core::vbFalse;
  IgnoreErrors([this] { EnableAdjustControls(true); });
  IgnoreErrors([this] { cmdCancel.SetEnabled(false); });
  IgnoreErrors([this] { cmdExit.SetFocus(); });
}

// Copies the kept file back over the edited one.  The kept file is only let go (by the caller)
// once the copy in place holds its bytes; a compressed JPEG made beside the picture goes.
bool frmDouble::RestoreOriginal() {
  if (vb::Trim(sTempOrig).empty()) return true;
  const bool kept = core::FileExists(sTempOrig);
  IgnoreErrors([this] { CopyFile(sTempOrig, sOrigFile); });
  bool found = false;
  IgnoreErrors([&] { found = core::FileExists(sOrigFile); });
  if (!found) return false;
  if (kept && !SameFileBytes(sTempOrig, sOrigFile)) return false;
  // The compressed JPEG made beside the picture goes (it never took another picture's name).
  if (kept && !SamePath(sOrigFile, sTargetFile))
    IgnoreErrors([this] { core::DelPict(sTargetFile, true); });
  return true;
}

// ---- File copy -----------------------------------------------------------------------------

void frmDouble::CopyFile(const std::string& sSource, const std::string& sTarget) {
  core::Trap trap("CopyFile");
  std::string sd, sf, sn, se, td, tf, tn, te;
  if (!trap.Step([&] {
        core::ParseFileName(sSource, sd, sf, sn, se);
        core::ParseFileName(sTarget, td, tf, tn, te);
      }))
    return;
  if (sn.empty() || tn.empty()) return;
  // The files keep the case the caller gave: a restored picture gets its own name back.
  const std::string source = vb::Trim(sSource);
  const std::string target = vb::Trim(sTarget);
  if (SamePath(source, target)) return;
  const std::string targetDir = target.substr(0, target.find_last_of('\\'));
  if (!trap.Step([&] {
        if (!winfs::DirExists(targetDir)) winfs::MkDir(targetDir);
      }))
    return;
  trap.Step([&] {
    if (winfs::FileExists(source)) winfs::FileCopy(source, target);
  });
}

}  // namespace tools
