// Placing a dropped picture on a photo slot: the slot's old picture goes to the trash folder, a
// JPEG copy of the dropped picture is written into the user directory (reduced to the
// configured size where the settings ask for it), shown in the slot and handed to KEP, and the
// source goes to the trash folder under the user's settings.
//
// Nothing is deleted before the picture that replaces it exists: the old slot picture is
// deleted (or overwritten) only after the new copy was written, and when no copy could be
// written the slot, the report and both pictures stay as they were.

#include <cstdint>
#include <string>

#include "core/ErrTrap.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/FlagRestore.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace photo_pages {

namespace {

// The picture reduced to fit inside the limits with its proportions kept (never enlarged).  A
// large JPEG is decoded already scaled down in the DCT, close to the final size, and then
// averaged down exactly; it is never decoded at full size.
imaging::Picture ReducedPicture(const std::filesystem::path& host, int limitX, int limitY) {
  if (limitX < 1 || limitY < 1) vb::Raise(vb::kInvalidPropertyValue);
  const imaging::PictureInfo info = imaging::Probe(host);
  const imaging::Size fit = imaging::FittedSize(info.width, info.height, limitX, limitY);
  if (fit.width == info.width && fit.height == info.height) return imaging::Load(host);
  imaging::Picture pic = imaging::LoadReduced(host, fit.width, fit.height);
  if (pic.Width() != fit.width || pic.Height() != fit.height) {
    pic = imaging::Resize(pic, fit.width, fit.height);
  }
  return pic;
}

// The JPEG unchanged, byte for byte, unless its orientation tag turns it: then it is written
// upright with no tag (losslessly where its size allows), so the report never shows it lying
// on its side.  A file whose tag cannot be read is copied as it is.
void CopyUpright(const std::string& src, const std::string& dest) {
  const std::filesystem::path host = winfs::ToHost(src);
  int orientation = 1;
  try {
    orientation = imaging::Probe(host).orientation;
  } catch (const vb::VbError&) {
  }
  if (orientation == 1) {
    winfs::FileCopy(src, dest);
  } else {
    imaging::SaveUprightJpeg(host, winfs::ToHost(dest), 100);
  }
}

}  // namespace

// ---- Placing -----------------------------------------------------------------------------------

void frmMain::PlacePhotoOnSlot(forms::Gear& Target, forms::TabControl& TabCtl, int Index) {
  const std::string src = core::gDragSourcePath;
  const std::string shown = Target.ThumbPath();
  const std::string old = vb::UCase(vb::Trim(shown));
  bool keepName = false;
  std::string newName;
  bool deleteOld = false;
  if (!old.empty() && vb::InStr(old, "EMPTY.JPG") == 0) {
    deleteOld = TrashOldSlotPicture(old, src, keepName, newName);
  }
  filREA.Refresh();
  Target.SetThumbPath(src);
  std::string drive, directory, name, ext;
  core::ParseFileName(src, drive, directory, name, ext);
  bool written = false;
  try {
    written = FormatPictureNow(src, Target, keepName, newName);
  } catch (...) {
    RestoreSlot(Target, shown);
    throw;
  }
  Yield();
  if (!written) {
    RestoreSlot(Target, shown);
    return;
  }
  if (deleteOld) core::DelPict(old, true);
  SetFilIndex(filCapture.ListIndex());
  core::ErrLoadThumb(Target, Target.ThumbPath());
  Yield();
  BringToFront();
  core::SendPhotoToKep(TabCtl, Target, static_cast<std::int16_t>(Index));
  Yield();
  SendToTrashCan(core::gCaptureDir, src, name, ext);
  Yield();
  filREA.Refresh();
  Yield();
  BringToFront();
}

// A slot whose new copy could not be written shows its old picture again.
void frmMain::RestoreSlot(forms::Gear& Target, const std::string& shown) {
  if (core::IsEmptyPict(shown)) {
    core::geaClearImage(Target);
  } else {
    core::ErrLoadThumb(Target, shown);
  }
  Target.SetThumbPath(shown);
}

// The slot's old picture is copied into the trash folder whatever the user's settings (unless
// it lies in a trash folder already).  One that lay in the user directory gives its name to
// the new copy, which then replaces it; any other is to be deleted once the new copy exists
// (the answer).  Without a trash copy the old picture is neither replaced nor deleted.
bool frmMain::TrashOldSlotPicture(const std::string& old, const std::string& src, bool& keepName,
                                  std::string& newName) {
  std::string drive, directory, name, ext;
  core::ParseFileName(old, drive, directory, name, ext);
  bool copied = false;
  {
    FlagRestore keepTrash(core::gbTrashcan);
    FlagRestore keepDelete(core::gbAutoDelete);
    core::gbTrashcan = core::vbTrue;
    core::gbAutoDelete = core::vbFalse;  // deleted after the new copy is written
    copied = SendToTrashCan(core::gCaptureDir, old, name, ext);
  }
  Yield();
  const std::string user = vb::UCase(vb::Trim(core::gUserDir));
  const bool safe = copied || IsInTrashCan(old);
  if (safe && vb::InStr(old, user) > 0) {
    newName = name + "." + ext;
    keepName = true;
  }
  return copied && !keepName && old != vb::UCase(vb::Trim(src));
}

// ---- Writing the slot copy ---------------------------------------------------------------------

// Writes the slot copy of src into the user directory and points the slot at it.  True when the
// copy was written.
bool frmMain::FormatPictureNow(const std::string& src, forms::Gear& Target, bool KeepName,
                               const std::string& NewName) {
  core::Trap trap("FormatPictureNow");
  std::string drive, directory, name, ext;
  core::ParseFileName(src, drive, directory, name, ext);
  const std::string destDir = core::CkRSlash(core::gUserDir);
  bool present = false;
  if (!trap.Step([&] { present = !name.empty() && core::FileExists(src); })) return false;
  if (!present) return false;
  core::gCurrentProc = "FormatPictureNow";  // FileExists recorded its own name
  std::string dest;
  if (!trap.Step([&] { dest = destDir + (KeepName ? NewName : MakeTempPhotoName()); })) {
    return false;
  }
  bool written = false;
  if (ext != "JPG" || core::gbRedux) {
    if (!trap.Step([&] {
          WriteReducedCopy(src, dest);
          written = true;
        })) {
      return false;
    }
  } else if (core::gJpegQuality == 100) {
    if (!trap.Step([&] {
          CopyUpright(src, dest);
          written = true;
        })) {
      return false;
    }
  } else {
    // The slot takes the dropped picture, which is saved again at its own size.
    if (!trap.Step([&] { Target.LoadImage(src); })) return false;
    if (!trap.Step([&] { written = SaveTheImage(src, dest, Target); })) return false;
  }
  if (!written) return false;
  trap.Step([&] { Target.SetThumbPath(dest); });
  return true;
}

void frmMain::WriteReducedCopy(const std::string& src, const std::string& dest) {
  const imaging::Picture pic = ReducedPicture(winfs::ToHost(src), core::gResolX, core::gResolY);
  Yield();
  imaging::SaveJpeg(pic, winfs::ToHost(dest), core::gJpegQuality);
}

bool frmMain::SaveTheImage(const std::string& /*src*/, const std::string& dest, forms::Gear& ctl) {
  core::Trap trap("SaveTheImage");
  if (!trap.Step([&] { ctl.SetSaveFormat(forms::kGearJpeg); })) return false;
  if (!trap.Step([&] {
        if (vb::UCase(vb::Right(dest, 3)) == "JPG") ctl.SetSaveQuality(core::gJpegQuality);
      })) {
    return false;
  }
  bool saved = false;
  trap.Step([&] {
    ctl.SaveImage(dest);
    saved = true;
  });
  return saved;
}

// "PTEMP_" and the number of temporary photos already in the user directory, cut to two
// digits.
std::string frmMain::MakeTempPhotoName() {
  return vb::UCase("PTEMP_" + core::PadLeft(std::to_string(filREA.ListCount()), 2, '0') + ".jpg");
}

// ---- The capture list's selection --------------------------------------------------------------

void frmMain::SetFilIndex(int value) {
  core::Trap trap("SetFilIndex");
  if (IsListEmpty(filCapture) || filCapture.ListCount() == value) return;
  trap.Step([this] {
    if (IsLastListItem(filCapture)) filCapture.SetListIndex(filCapture.ListCount() - 1);
  });
}

bool frmMain::IsLastListItem(const forms::ListBox& list) {
  return list.ListIndex() == -1 || list.ListIndex() == list.ListCount() - 1;
}

bool frmMain::IsListEmpty(const forms::ListBox& list) {
  return list.ListCount() == 0;
}

void frmMain::BringToFront() {
  forms::App& app = forms::App::Current();
  app.BringToFront(app.Title());
}

}  // namespace photo_pages
