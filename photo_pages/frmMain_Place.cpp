// Placing a dropped picture on a photo slot: the slot's old picture goes to the trash folder, a
// JPEG copy of the dropped picture is written into the user directory (reduced to the
// configured size where the settings ask for it), shown in the slot and handed to KEP, and the
// source goes to the trash folder under the user's settings.
//
// Nothing is deleted before the picture that replaces it exists: the old slot picture is
// deleted only after KEP took the new copy, and when no copy could be written, or KEP did not
// take it (KEP stopped, or without the report), the slot, the report and both pictures stay as
// they were.

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

// The user directory with its trailing "\", without recording a procedure name of its own
// (the caller's error report names the caller).
std::string UserFolder() {
  std::string dir = vb::Trim(core::gUserDir);
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

// The slot's old picture is deleted only once KEP has taken the new one, and only while it is
// still the picture whose copy went to the trash folder: KEP may keep the new picture under
// the old one's name.  When the new copy holds the old picture's very bytes (the same picture
// dropped again), the file cannot tell which it is: it may be KEP's copy of the new one, so it
// stays.
bool StillTheTrashedPicture(const std::string& old, const std::string& trashCopy,
                            const std::string& newCopy) {
  return !trashCopy.empty() && core::SameFileBytes(old, trashCopy) &&
         !core::SameFileBytes(old, newCopy);
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

bool frmMain::PlacePhotoOnSlot(forms::Gear& Target, forms::TabControl& TabCtl, int Index) {
  const std::string src = core::gDragSourcePath;
  const std::string shown = Target.ThumbPath();
  const std::string old = vb::UCase(vb::Trim(shown));
  bool keepName = false;
  std::string newName;
  std::string oldTrashCopy;
  bool deleteOld = false;
  if (!old.empty() && vb::InStr(old, "EMPTY.JPG") == 0) {
    deleteOld = TrashOldSlotPicture(old, src, keepName, newName, oldTrashCopy);
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
    return false;
  }
  SetFilIndex(filCapture.ListIndex());
  core::ErrLoadThumb(Target, Target.ThumbPath());
  Yield();
  BringToFront();
  if (!HandPhotoToKep(Target, TabCtl, Index)) {
    TakeBackSlotCopy(Target, shown, src, keepName ? oldTrashCopy : std::string());
    TellNotHandedToKep();
    return false;
  }
  Yield();
  if (deleteOld && StillTheTrashedPicture(old, oldTrashCopy, Target.ThumbPath())) {
    core::DelPict(old, true);
  }
  SendToTrashCan(core::gCaptureDir, src, name, ext);
  Yield();
  filREA.Refresh();
  Yield();
  BringToFront();
  return true;
}

// Hands the slot copy to KEP; false when KEP did not take it (not running, restarted without
// the report, or refusing it).  The DDE operations themselves stay quiet; the caller tells the
// user, once.  Any other error (a KEP that stopped answering) is raised: KEP may still take the
// command, so the new copy stays and nothing is deleted.
bool frmMain::HandPhotoToKep(forms::Gear& Target, forms::TabControl& TabCtl, int Index) {
  bool taken = false;
  try {
    taken = core::SetSlotPhotoOnKep(TabCtl, Target, static_cast<std::int16_t>(Index));
  } catch (const vb::VbError& e) {
    if (e.Number() != vb::kDdeRefused) throw;
    taken = false;
  }
  if (!taken) return false;
  core::RunKepRefreshScript();
  Yield();
  return true;
}

void frmMain::TellNotHandedToKep() {
  const std::string kep = core::gVendorAppName;
  forms::App::Current().MsgBox("The picture was not handed to " + kep +
                                   ", so it is not in the report.  Nothing was deleted.  Make "
                                   "sure the report is open in " +
                                   kep + ", then drop the picture again.",
                               forms::vbOKOnly | forms::vbExclamation, "Picture Not Placed");
}

// A slot copy that KEP did not take is taken back: a new file is removed again, and a copy that
// took the old picture's name gets the old picture back from its trash copy.  The slot shows
// what it showed before, which is what the report holds.
void frmMain::TakeBackSlotCopy(forms::Gear& Target, const std::string& shown,
                               const std::string& src, const std::string& oldTrashCopy) {
  const std::string copy = vb::UCase(vb::Trim(Target.ThumbPath()));
  const std::string user = vb::UCase(UserFolder());
  const bool ours = !user.empty() && vb::Left(copy, user.size()) == user &&
                    copy != vb::UCase(vb::Trim(src)) && copy != vb::UCase(vb::Trim(shown));
  try {
    if (!oldTrashCopy.empty()) {
      winfs::FileCopy(oldTrashCopy, copy);
    } else if (ours && winfs::FileExists(copy)) {
      winfs::Kill(copy);
    }
  } catch (const vb::VbError&) {
    // The copy stays where it is; no picture is lost by that.
  }
  RestoreSlot(Target, shown);
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
// the new copy, which then replaces it; any other is to be deleted once KEP took the new copy
// (the answer).  trashCopy: where the trash copy went ("" when none was made).  Without a trash
// copy the old picture is neither replaced nor deleted.
bool frmMain::TrashOldSlotPicture(const std::string& old, const std::string& src, bool& keepName,
                                  std::string& newName, std::string& trashCopy) {
  std::string drive, directory, name, ext;
  core::ParseFileName(old, drive, directory, name, ext);
  bool copied = false;
  {
    FlagRestore keepTrash(core::gbTrashcan);
    FlagRestore keepDelete(core::gbAutoDelete);
    core::gbTrashcan = core::vbTrue;
    core::gbAutoDelete = core::vbFalse;  // deleted after the new copy is written
    copied = SendToTrashCan(core::gCaptureDir, old, name, ext, &trashCopy);
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

// The control takes the picture src, which is saved again at its own size.
bool frmMain::SaveTheImage(const std::string& src, const std::string& dest, forms::Gear& ctl) {
  core::Trap trap("SaveTheImage");
  if (!trap.Step([&] { ctl.LoadImage(src); })) return false;
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
// digits.  That name can be taken (a number left free between the copies, or a hundred copies
// kept for a template report): then the numbers from the count on are tried, with as many
// digits as they need, until one names no file, so that another slot's copy is never
// overwritten.
std::string frmMain::MakeTempPhotoName() {
  const int count = filREA.ListCount();
  const auto name = [](const std::string& digits) { return vb::UCase("PTEMP_" + digits + ".jpg"); };
  const std::string folder = UserFolder();
  std::string result = name(core::PadLeft(std::to_string(count), 2, '0'));
  for (int n = count; winfs::FileExists(folder + result); ++n) {
    result = name(n < 10 ? "0" + std::to_string(n) : std::to_string(n));
  }
  return result;
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
