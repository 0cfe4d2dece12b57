// The trash button, browsing the capture directory's trash folder, and copying report pictures
// back into the capture directory.  What may be copied, kept or deleted the keeper decides
// (core/PictureKeeper.h).

#include <cstdint>
#include <optional>
#include <string>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "core/modVBCommon.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace photo_pages {

namespace {

std::string SourceName(const forms::Control& Source) {
  return vb::UCase(vb::Trim(Source.Name()));
}

// The picture a dragged control stands for: a thumbnail's or slot's file, or the file list's
// selected file.
std::string DraggedPicturePath(const forms::Control& Source) {
  if (const auto* gear = dynamic_cast<const forms::Gear*>(&Source)) return gear->ThumbPath();
  if (const auto* list = dynamic_cast<const forms::FileListBox*>(&Source)) {
    const std::string file = list->FileName();
    return file.empty() ? std::string() : core::CkRSlash(list->Path()) + file;
  }
  return {};
}

// Errors of the drop procedures go on with the next statement.
void ResumeNext(core::Trap& trap) {
  trap.OnError([](const vb::VbError&) -> std::optional<int> { return core::kNext; });
}

}  // namespace

// ---- Names -----------------------------------------------------------------------------------

// The picture's file name from ParseFileName's parts, which cut the path at its first dot: in a
// folder whose name holds a dot ("C:\KEP.DATA\...") they hold folders as well, and then the
// path's last name (upper-cased as those parts are) is the file's name.
std::string frmMain::OwnFileName(const std::string& fullPath, const std::string& name,
                                 const std::string& ext) {
  std::string leaf = name + (ext.empty() ? "" : "." + ext);
  if (leaf.find('\\') == std::string::npos) return leaf;
  return vb::UCase(vb::Trim(fullPath.substr(fullPath.find_last_of('\\') + 1)));
}

std::string frmMain::LeafName(const std::string& fullPath) {
  std::string drive, directory, name, ext;
  core::ParseFileName(vb::UCase(fullPath), drive, directory, name, ext);
  return OwnFileName(vb::UCase(fullPath), name, ext);
}

// ---- The trash button --------------------------------------------------------------------------

// Switches the strip between the capture directory and its trash folder.
void frmMain::imaTrash_Click() {
  core::CkRSlash(core::gCaptureDir);
  forms::App& app = forms::App::Current();
  std::string dir;
  if (!core::IsTrashFolder(core::gCaptureDir)) {
    if (app.MsgBox("Change the camera directory to the trashcan directory?", forms::vbYesNo) !=
        forms::vbYes) {
      return;
    }
    dir = core::gCaptureDir + vb::LCase(core::kTrashName);
    if (!winfs::DirExists(dir)) return;
  } else {
    if (app.MsgBox("Change back to the capture directory?", forms::vbYesNo) != forms::vbYes) {
      return;
    }
    dir = core::StripTrashcan(core::gCaptureDir);
  }
  lblCapDir.SetCaption(dir);
  filCapture.SetPath(dir);
  core::gCaptureDir = dir;
  errdisplayThumbs();
}

void frmMain::imaTrash_DragDrop(forms::Control& Source) {
  core::Trap trap("imaTrash_DragDrop");
  ResumeNext(trap);
  trap.Step([this] { SetMousePointer(forms::vbHourglass); });
  bool done = false;
  std::string file;
  trap.Step([&] { file = DraggedPicturePath(Source); });
  trap.Step([&] { done = DropPhotoOnTarget(Source, 1); });
  if (done) {
    const std::string name = SourceName(Source);
    if (name == "FILCAPTURE") trap.Step([this] { errdisplayThumbs(); });
    if (name == "GEATHUMB") {
      // The strip shows what the folder holds: a picture that stayed keeps its thumbnail.
      trap.Step([&] { Source.SetVisible(winfs::FileExists(file)); });
      trap.Step([&] { lbltag[Source.Index()].SetVisible(Source.Visible()); });
    }
  }
  trap.Step([this] { SetMousePointer(forms::vbDefault); });
}

// ---- Drops on the trash button and on the strip ----------------------------------------------

// Mode 0 copies the dropped picture back into the capture directory, mode 1 throws it away.
// True when the drop was taken (also when a step of it failed).
bool frmMain::DropPhotoOnTarget(forms::Control& Source, int Mode) {
  core::Trap trap("DropPhotoOnTarget");
  ResumeNext(trap);
  std::string capDir;
  std::string src;
  trap.Step([&] { capDir = vb::UCase(vb::Trim(core::CkRSlash(lblCapDir.Caption()))); });
  trap.Step([&] { src = vb::UCase(vb::Trim(DraggedPicturePath(Source))); });
  if (src.empty()) {
    trap.Step([] {
      forms::App::Current().MsgBox(
          "Refresh " + core::gProgramAlias + " to view absolute path of saved photo",
          forms::vbOKOnly | forms::vbInformation, "Refresh Program");
    });
    return false;
  }
  if (vb::InStr(src, "EMPTY.JPG") > 0) return false;
  if (Mode == 0) {
    std::string target;
    trap.Step([&] { target = capDir + MakeCopyBackName(Source); });
    trap.Step([&] {
      if (SaveOverwrittenCopyBack(target, src)) winfs::FileCopy(src, target);
    });
    trap.Step([this] { filCapture.Refresh(); });
    trap.Step([] { forms::App::Current().DoEvents(); });
  } else if (Mode == 1) {
    trap.Step([] { forms::App::Current().DoEvents(); });
    if (core::gDragSourceKind == "KEP") {
      trap.Step([&] { TrashSlotPicture(Source, src); });
    } else if (core::gDragSourceKind == "THUMB") {
      trap.Step([&] { TrashDroppedPicture(src); });
    }
  }
  return true;
}

// A report picture is copied into the trash folder, never deleted; the slot is then emptied
// and the report told.  When the trash folder is on but the copy could not be made, the slot
// and the report keep the picture: KEP may delete or reuse the file of an emptied object.  A
// file that is gone has nothing to keep: its slot is emptied.
void frmMain::TrashSlotPicture(forms::Control& Source, const std::string& src) {
  core::Trap trap("DropPhotoOnTarget");
  ResumeNext(trap);
  if (core::gbTrashcan) {
    core::KeepIntent intent;
    intent.leaf = LeafName(src);
    const core::KeepAnswer kept = core::KeepPicture(src, intent);
    if (!kept.Safe()) {
      TellNotKept(src, kept.folder, "Picture Kept", "so it stays in the report");
      return;
    }
  }
  trap.Step([] { forms::App::Current().DoEvents(); });
  forms::TabControl* tab = SlotTab(SourceName(Source));
  auto* slot = dynamic_cast<forms::Gear*>(&Source);
  if (tab && slot) trap.Step([&] { ClearPhoto(*slot, *tab, false); });
  trap.Step([] { forms::App::Current().DoEvents(); });
}

// A picture of the strip goes to the trash folder under the user's settings; one that already
// lies there is deleted for good (the user's own delete).  The caller shows what stayed.
void frmMain::TrashDroppedPicture(const std::string& src) {
  if (!core::IsInTrash(src)) {
    core::KeepIntent intent;
    intent.keep = core::gbTrashcan != core::vbFalse;
    intent.remove = core::gbAutoDelete != core::vbFalse;
    intent.leaf = LeafName(src);
    core::KeepPicture(src, intent);
  } else {
    core::DeleteForUser(src);
  }
  forms::App::Current().DoEvents();
}

// Says that a picture could not be copied into the trash folder and what follows from it.
void frmMain::TellNotKept(const std::string& picture, const std::string& folder,
                          const std::string& title, const std::string& consequence) {
  forms::App::Current().MsgBox(
      "The picture " + picture + " cannot be copied into the trash folder " + folder + ", " +
          consequence + ".  Make sure that folder may be written to, " + "then try again.",
      forms::vbOKOnly | forms::vbExclamation, title);
}

// The tab control of a dropped slot.  Besides the families the trash always emptied, the
// extended, specific-listing and both REO families are emptied as well, so that every slot
// thrown away ends empty.
forms::TabControl* frmMain::SlotTab(const std::string& sourceName) {
  if (sourceName == "IMASUBJECT") return &TabSubject;
  if (sourceName == "IMACOMP" || sourceName == "IMAALTCOMP") return &TabComp;
  if (sourceName == "IMARENTAL") return &TabRental;
  if (sourceName == "IMAGENERAL") return &TabGeneral;
  if (sourceName == "IMAEXTENDED") return &tabExtended;
  if (sourceName == "IMALISTING" || sourceName == "IMAREOLISTING" ||
      sourceName == "IMAREO2LISTING" || sourceName == "IMASPECIFICLISTING") {
    return &TabListing;
  }
  return nullptr;
}

// Empties the slot once KEP took the change; a slot KEP did not empty shows its picture again
// and the user is told.  True when the slot was emptied.
bool frmMain::ClearPhoto(forms::Gear& slot, forms::TabControl& TabCtl, bool Confirm) {
  if (Confirm && forms::App::Current().MsgBox("Clear the photo.  Are you sure?", forms::vbYesNo) !=
                     forms::vbYes) {
    return false;
  }
  const std::string shown = slot.ThumbPath();
  core::geaClearImage(slot);
  core::HandOver handed = core::HandOver::Refused;
  try {
    handed = core::SetSlotPhotoOnKep(TabCtl, slot, static_cast<std::int16_t>(slot.Index()));
  } catch (const vb::VbError&) {
    RestoreSlot(slot, shown);
    throw;
  }
  if (handed != core::HandOver::Taken) {
    RestoreSlot(slot, shown);
    TellNotHandedToKep(handed, "The slot was not emptied, so the picture is still in the report.");
    return false;
  }
  core::RunKepRefreshScript();
  return true;
}

// ---- Copy-back ---------------------------------------------------------------------------------

void frmMain::CopyBackToCapture(forms::Control& Source) {
  if (!DropPhotoOnTarget(Source, 0)) return;
  AddThumbFromDrop(Source);
  SetMousePointer(forms::vbHourglass);
  errdisplayThumbs();
  SetMousePointer(forms::vbDefault);
}

// A copy-back replaces a different picture of the same name only after that picture was
// copied into the trash folder (in the trash folder itself: beside it); when that copy cannot
// be made the copy-back is not done and the user is told.
bool frmMain::SaveOverwrittenCopyBack(const std::string& target, const std::string& src) {
  if (!winfs::FileExists(target)) return true;
  if (vb::UCase(target) == vb::UCase(src)) return true;  // the copy itself reports it
  if (core::SameFileBytes(target, src)) return true;     // the copy changes nothing
  core::KeepIntent intent;
  intent.replace = true;
  intent.leaf = LeafName(target);
  const core::KeepAnswer kept = core::KeepPicture(target, intent);
  if (kept.Safe()) return true;
  TellNotKept(target, kept.folder, "Picture Not Copied", "so it was not replaced");
  return false;
}

// The file name a report picture is copied back under: made from its slot's address, or from
// the slot family and number when the slot has no address; a thumbnail keeps its own name.
std::string frmMain::MakeCopyBackName(forms::Control& Source) {
  const auto* gear = dynamic_cast<const forms::Gear*>(&Source);
  const std::string path = vb::UCase(gear ? gear->ThumbPath() : std::string());
  std::string drive, directory, name, ext;
  core::ParseFileName(path, drive, directory, name, ext);
  if (ext.find('\\') != std::string::npos) {
    core::ParseFileName(OwnFileName(path, name, ext), drive, directory, name, ext);
  }
  const std::string kind = SourceName(Source);
  const int i = Source.Index();
  const std::string n = std::to_string(i);
  std::string address;
  std::string plain;
  const auto rule = [&](const std::string& addr, const std::string& plainName) {
    address = addr;
    plain = plainName + n;
  };
  if (kind == "IMASUBJECT") rule(lblSubjectAddr.Caption(), "SUB_VIEW");
  if (kind == "IMACOMP") rule(lblCompAddr[i].Caption(), "CMP_VIEW");
  if (kind == "IMARENTAL") rule(lblRentalAddr[i].Caption(), "RNT_VIEW");
  if (kind == "IMALISTING") rule(lblListingAddr[i].Caption(), "LST_VIEW");
  if (kind == "IMAGENERAL") rule(lblSubjectAddr.Caption(), "GEN_VIEW");
  if (kind == "IMAALTCOMP") rule(lblAltCompAddr[i].Caption(), "ALT_VIEW");
  if (kind == "IMAEXTENDED") rule(cboExtendedAddress[i].Text(), "EXTEND");
  if (kind == "IMAREOLISTING") rule(lblReoListingAddr[i].Caption(), "REO");
  if (kind == "IMAREO2LISTING") rule(lblReo2ListingAddr[i].Caption(), "REO");
  if (kind == "IMASPECIFICLISTING") rule(lblSpecificListingAddr[i].Caption(), "SPC_VIEW");
  const bool own = kind == "IMATHUMB" || kind == "GEATHUMB";
  std::string base;
  if (own) {
    base = name;
  } else if (!plain.empty()) {
    base = vb::Trim(address).empty() ? plain : ShortAddress(address) + "_VIEW" + n;
  }
  return base + "." + ext;
}

// The address as a short file-name part: trimmed, without the characters a file name cannot
// hold and without blanks, at most 10 characters.
std::string frmMain::ShortAddress(const std::string& address) {
  return vb::Left(core::RemoveChar(core::CleanFileName(vb::Trim(address)), ' '), 10);
}

void frmMain::BindTrashEvents() {
  imaTrash.Click = [this] { core::RunEvent("imaTrash_Click", [this] { imaTrash_Click(); }); };
  imaTrash.DragDrop = [this](forms::Control& Source, float, float) {
    core::RunEvent("imaTrash_DragDrop", [&] { imaTrash_DragDrop(Source); });
  };
  lblFill.DragDrop = [this](forms::Control& Source, float, float) {
    core::RunEvent("lblFill_DragDrop", [&] { CopyBackToCapture(Source); });
  };
}

}  // namespace photo_pages
