// Placing a dropped picture on a photo slot: the slot's old picture goes to the trash folder, a
// JPEG copy of the dropped picture is written into the user directory (reduced to the
// configured size where the settings ask for it), shown in the slot and handed to KEP, and the
// source goes to the trash folder under the user's settings.
//
// Nothing is deleted before the picture that replaces it exists: the old slot picture is
// deleted only after KEP took the new copy, and when no copy could be written, or KEP did not
// take it (KEP stopped, or without the report), the slot, the report and both pictures stay as
// they were.

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "core/kepcalls.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/dde/Link.h"
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

// Whether `path` lies in the folder `folder` (ending in "\"), both upper-cased: a prefix of
// bytes, the length of the folder's text in bytes.
bool LiesIn(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.compare(0, folder.size(), folder) == 0;
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

// The folder or file name of the slot copy's path that KEP's code page cannot hold, when KEP
// never got the copy for that reason; "" otherwise.  Set by HandPhotoToKep, told by
// TellNotHandedToKep.
std::string g_nameKepCannotRead;

// The first part of `path` (between "\"s) that holds one of `letters` (UTF-8).
std::string PartHolding(const std::string& path, const std::string& letters) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    std::string part = path.substr(start, end - start);
    for (std::size_t i = 0; i < letters.size();) {
      std::size_t n = 1;
      while (i + n < letters.size() && (letters[i + n] & 0xC0) == 0x80) ++n;
      if (part.find(letters.substr(i, n)) != std::string::npos) return part;
      i += n;
    }
    if (end == path.size()) return "";
    start = end + 1;
  }
}

// The photo object that the slot stands for in the report the window shows.
std::string SlotObject(forms::Gear& Target, forms::TabControl& TabCtl, int Index) {
  return vb::UCase(core::PhotoObjectBase(TabCtl, Target, static_cast<std::int16_t>(Index)) +
                   core::PhotoPageSize(core::gReportForms));
}

}  // namespace

// ---- Placing -----------------------------------------------------------------------------------

bool frmMain::PlacePhotoOnSlot(forms::Gear& Target, forms::TabControl& TabCtl, int Index) {
  const std::string src = core::gDragSourcePath;
  const std::string shown = Target.ThumbPath();
  const std::string old = vb::UCase(vb::Trim(shown));
  OldSlotPicture plan;
  if (!old.empty() && vb::InStr(old, "EMPTY.JPG") == 0 &&
      !KeepOldSlotPicture(old, src, SlotObject(Target, TabCtl, Index), plan)) {
    TellNotKept(old, plan.folder, "Picture Not Placed",
                "so the picture was not placed and nothing was handed to " + core::gVendorAppName);
    return false;
  }
  filREA.Refresh();
  Target.SetThumbPath(src);
  bool written = false;
  try {
    written = FormatPictureNow(src, Target, plan.keepName, plan.newName);
  } catch (...) {
    PutBackOldPicture(Target, shown, plan);
    throw;
  }
  Yield();
  if (!written) {
    PutBackOldPicture(Target, shown, plan);
    return false;
  }
  SetFilIndex(filCapture.ListIndex());
  core::ErrLoadThumb(Target, Target.ThumbPath());
  Yield();
  BringToFront();
  const core::HandOver handed = HandPhotoToKep(Target, TabCtl, Index);
  if (handed != core::HandOver::Taken) {
    TakeBackSlotCopy(Target, shown, src, plan.keepName, plan.trashCopy);
    TellNotHandedToKep(handed);
    return false;
  }
  Yield();
  if (plan.deleteOld && StillTheTrashedPicture(old, plan.trashCopy.path, Target.ThumbPath())) {
    core::KeepIntent intent;
    intent.remove = true;
    intent.leaf = LeafName(old);
    intent.exceptObject = SlotObject(Target, TabCtl, Index);
    core::KeepPicture(old, intent);
  }
  TrashPlacedSource(src);
  Yield();
  filREA.Refresh();
  Yield();
  BringToFront();
  return true;
}

// The placed picture's source goes to the trash folder under the user's settings; the keeper
// leaves a source that a report names or that lies in KEP's store where it is.
void frmMain::TrashPlacedSource(const std::string& src) {
  core::KeepIntent intent;
  intent.keep = core::gbTrashcan != core::vbFalse;
  intent.remove = core::gbAutoDelete != core::vbFalse;
  intent.leaf = LeafName(src);
  core::KeepPicture(src, intent);
}

// Hands the slot copy to KEP; anything but Taken when KEP did not take it (not running, another
// report or none open, or refusing it).  The DDE operations themselves stay quiet; the caller
// tells the user, once.  Any other error (a KEP that stopped answering) is raised: KEP may still
// take the command, so the new copy stays and nothing is deleted.
core::HandOver frmMain::HandPhotoToKep(forms::Gear& Target, forms::TabControl& TabCtl, int Index) {
  core::HandOver handed = core::HandOver::Refused;
  try {
    handed = core::SetSlotPhotoOnKep(TabCtl, Target, static_cast<std::int16_t>(Index));
  } catch (const vb::VbError& e) {
    if (e.Number() != vb::kDdeRefused) throw;
    g_nameKepCannotRead = PartHolding(Target.ThumbPath(), dde::LettersNotInCodePage(e));
  }
  if (handed != core::HandOver::Taken) return handed;
  core::RunKepRefreshScript();
  Yield();
  return handed;
}

// Says why the picture is not in the report (or, with `what`, what else did not happen): KEP
// shows another report than the window (switch back or refresh), KEP refused it, or KEP is not
// running or has no report open.
void frmMain::TellNotHandedToKep(core::HandOver why, const std::string& what) {
  const std::string kep = core::gVendorAppName;
  const std::string name = std::exchange(g_nameKepCannotRead, {});
  if (!name.empty()) {
    forms::App::Current().MsgBox(
        kep + " cannot read the name \"" + name + "\": it holds letters that " + kep +
            " does not know.  The picture was not handed to " + kep +
            ", so it is not in the report.  Nothing was deleted.  Give the folder or file a "
            "name without such letters (the user directory is set in Setup), then drop the "
            "picture again.",
        forms::vbOKOnly | forms::vbExclamation, "Picture Not Placed");
    return;
  }
  std::string text;
  if (why == core::HandOver::Refused) {
    text = what.empty() ? kep +
                              " refused the picture, so it is not in the report.  Nothing was "
                              "deleted."
                        : kep + " refused the change.  " + what;
  } else {
    text = (what.empty() ? "The picture was not handed to " + kep +
                               ", so it is not in the report.  Nothing was deleted."
                         : what) +
           "  ";
    if (why == core::HandOver::OtherReport) {
      text += kep + " now shows another report than " + vb::Trim(core::gCurrentReport) +
              ".  Switch " + kep + " back to that report, or press Refresh to work on the " +
              "report " + kep + " shows, then drop the picture again.";
    } else {
      text += "Make sure the report is open in " + kep + ", then drop the picture again.";
    }
  }
  forms::App::Current().MsgBox(text, forms::vbOKOnly | forms::vbExclamation,
                               what.empty() ? "Picture Not Placed" : "Photo Not Cleared");
}

// A slot copy that KEP did not take is taken back: a new file is removed again, and a copy that
// took the old picture's name gets the old picture back from its trash copy.  The trash copy of
// the old picture made for this drop goes again once the old picture is back in place, so the
// user directory and the trash folder are as before.  The slot shows what it showed before,
// which is what the report holds.
void frmMain::TakeBackSlotCopy(forms::Gear& Target, const std::string& shown,
                               const std::string& src, bool keptName,
                               const TrashCopy& oldTrashCopy) {
  const std::string copy = vb::UCase(vb::Trim(Target.ThumbPath()));
  const bool ours = LiesIn(copy, vb::UCase(UserFolder())) && copy != vb::UCase(vb::Trim(src)) &&
                    copy != vb::UCase(vb::Trim(shown));
  try {
    if (keptName && !oldTrashCopy.path.empty()) {
      winfs::FileCopy(oldTrashCopy.path, copy);
    } else if (ours && winfs::FileExists(copy)) {
      winfs::Kill(copy);
    }
  } catch (const vb::VbError&) {
    // The copy stays where it is; no picture is lost by that.
  }
  DropUnusedTrashCopy(shown, oldTrashCopy);
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
// it lies in a trash folder already); false, with the folder that could not be written, when
// that copy cannot be made: then the placement does not go on.  A picture of the user
// directory that is the program's to replace gives its name to the new copy; any other picture
// that is the program's to delete is deleted once KEP took the new copy.  A file the keeper
// guards (another object of the report names it, or it lies in KEP's store) or that is not a
// picture of the program's folders stays as it is, and the new copy takes a new name.
bool frmMain::KeepOldSlotPicture(const std::string& old, const std::string& src,
                                 const std::string& object, OldSlotPicture& plan) {
  if (!core::IsPictureName(old)) return true;
  core::KeepIntent intent;
  intent.leaf = LeafName(old);
  const core::KeepAnswer kept = core::KeepPicture(old, intent);
  Yield();
  if (!kept.Safe()) {
    plan.folder = kept.folder;
    return false;
  }
  plan.trashCopy = {kept.copy, kept.made};
  if (kept.outcome == core::KeepOutcome::Missing || core::IsInTrash(old)) return true;
  if (!core::IsOurs(old) || core::IsGuarded(old, object)) return true;
  const std::string user = vb::UCase(UserFolder());
  if (old.size() > user.size() && LiesIn(old, user) &&
      old.find('\\', user.size()) == std::string::npos) {
    plan.newName = intent.leaf;
    plan.keepName = true;
    return true;
  }
  plan.deleteOld = old != vb::UCase(vb::Trim(src));
  return true;
}

// A slot copy that could not be written: a copy cut short under the old picture's name gets the
// old picture back from its trash copy, and the slot shows it again.
void frmMain::PutBackOldPicture(forms::Gear& Target, const std::string& shown,
                                const OldSlotPicture& plan) {
  const std::string& kept = plan.trashCopy.path;
  if (plan.keepName && !kept.empty() && !core::SameFileBytes(shown, kept)) {
    try {
      winfs::FileCopy(kept, shown);
    } catch (const vb::VbError&) {
      // The old picture stays in the trash folder.
    }
  }
  RestoreSlot(Target, shown);
  DropUnusedTrashCopy(shown, plan.trashCopy);
}

// A placement that changed nothing leaves nothing behind: the trash copy it made of the slot's
// picture goes again while that picture is still in place.
void frmMain::DropUnusedTrashCopy(const std::string& shown, const TrashCopy& copy) {
  if (!copy.made || !core::SameFileBytes(shown, copy.path)) return;
  try {
    winfs::Kill(copy.path);
  } catch (const vb::VbError&) {
    // The copy stays in the trash folder; no picture is lost by that.
  }
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
  trap.Expect({vb::kPathFileAccess, vb::kPermissionDenied}, [&](const vb::VbError& e) {
    TellNotWritten(dest, destDir, e);
    return core::kLeave;
  });
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

// A user directory (or slot copy) that may not be written: the box names the folder, so the
// user knows where to look.
void frmMain::TellNotWritten(const std::string& dest, const std::string& folder,
                             const vb::VbError& e) {
  forms::App::Current().MsgBox(
      "The picture cannot be saved as " + dest + " (Error # " + std::to_string(e.Number()) + ": " +
          e.Description() + ").  Make sure that the folder " + folder +
          " may be written to, and that no read-only file of that name lies there, then drop the "
          "picture again.",
      forms::vbOKOnly | forms::vbExclamation, "Picture Not Placed");
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
