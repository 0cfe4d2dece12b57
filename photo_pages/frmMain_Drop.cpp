// Drag and drop on the photo slots: the ten slot arrays share one design.  A drop checks that
// the picture may go there (another family, a page the report has, a report open in KEP, a
// picture that did not come out of a slot), asks before replacing a picture, and hands the
// placement over to PlacePhotoOnSlot; the general and extended photos take their caption and
// address first.  A press on a slot starts dragging its picture away; moving over it shows its
// path.

#include <functional>
#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "core/kepcalls.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "core/modVelmodSlots.h"
#include "photo_pages/frmMain.h"
#include "platform/forms/App.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"
#include "tools/frmGenView.h"

namespace photo_pages {

// One slot array with what its handlers do differently.
struct frmMain::DropFamily {
  enum class Kind { Plain, General, Extended };

  forms::ControlArray<forms::Gear>* slots = nullptr;
  forms::TabControl* tab = nullptr;
  std::string ownName;         // the array's name as a dropped control reports it
  bool naTest = true;          // a page captioned "N/A" refuses the drop
  std::string question;        // asked before a picture is replaced, followed by its path
  bool questionMark = false;   // ... and by "?"
  Kind kind = Kind::Plain;     // the caption and address steps
  bool dragOver = true;        // has a drag-over handler
  bool mouseMove = true;       // has a mouse-move handler (the path as tooltip)
  bool hideCancelTip = false;  // the tooltip hides a "\CANCEL/" path
  std::string mouseDownName;   // the mouse-down handler's name for the error report
};

namespace {

constexpr const char* kFromSlot = "KEP";

// Resets an hourglass left by a drop that ended through an error.
class HourglassGuard {
 public:
  explicit HourglassGuard(forms::Form& form) : form_(form) {}
  ~HourglassGuard() {
    try {
      if (form_.MousePointer() == forms::vbHourglass) form_.SetMousePointer(forms::vbDefault);
    } catch (...) {
    }
  }
  HourglassGuard(const HourglassGuard&) = delete;
  HourglassGuard& operator=(const HourglassGuard&) = delete;

 private:
  forms::Form& form_;
};

std::string SourceName(const forms::Control& Source) {
  return vb::UCase(vb::Trim(Source.Name()));
}

// Only a thumbnail or the capture file list is ever placed on a slot.
bool IsPictureSource(const std::string& sourceName) {
  return sourceName == "GEATHUMB" || sourceName == "FILCAPTURE";
}

}  // namespace

// The texts of a photo's caption and address boxes as they stood, put back by Restore.
frmMain::BoxTexts::BoxTexts(forms::ComboBox& caption, forms::ComboBox& address)
    : caption_(caption),
      address_(address),
      captionText_(caption.Text()),
      addressText_(address.Text()) {}

void frmMain::BoxTexts::Restore() const {
  caption_.SetText(captionText_);
  address_.SetText(addressText_);
}

void frmMain::BindDropEvents() {
  using Kind = DropFamily::Kind;
  auto family = [](forms::ControlArray<forms::Gear>& slots, forms::TabControl& tab) {
    DropFamily fam;
    fam.slots = &slots;
    fam.tab = &tab;
    fam.ownName = vb::UCase(slots.Name());
    fam.question = "Overwrite ";
    fam.mouseDownName = slots.Name() + "_MouseDown";
    return fam;
  };

  DropFamily subject = family(imaSubject, TabSubject);
  subject.naTest = false;
  subject.question = "Replace ";
  BindDropFamily(subject);

  BindDropFamily(family(imaComp, TabComp));
  BindDropFamily(family(imaAltComp, TabComp));
  BindDropFamily(family(imaListing, TabListing));
  BindDropFamily(family(imaSpecificListing, TabListing));
  BindDropFamily(family(imaRental, TabRental));

  DropFamily reo = family(imaReoListing, TabListing);
  reo.dragOver = reo.mouseMove = false;
  reo.mouseDownName = "imaREOListing_MouseDown";
  BindDropFamily(reo);

  DropFamily reo2 = family(imaReo2Listing, TabListing);
  reo2.dragOver = reo2.mouseMove = false;
  reo2.mouseDownName = "imaREO2Listing_MouseDown";
  BindDropFamily(reo2);

  DropFamily general = family(imaGeneral, TabGeneral);
  general.question = "Replace ";
  general.questionMark = true;
  general.kind = Kind::General;
  general.hideCancelTip = true;
  BindDropFamily(general);

  DropFamily extended = family(imaExtended, tabExtended);
  extended.question = "Replace ";
  extended.questionMark = true;
  extended.kind = Kind::Extended;
  extended.dragOver = extended.mouseMove = false;
  BindDropFamily(extended);
}

void frmMain::BindDropFamily(const DropFamily& fam) {
  const std::string name = fam.slots->Name();
  fam.slots->Bind(&forms::Control::DragDrop,
                  [this, fam, name](int Index, forms::Control& Source, float, float) {
                    core::RunEvent(name + "_DragDrop", [&] {
                      switch (fam.kind) {
                        case DropFamily::Kind::General:
                          imaGeneral_DragDrop(fam, Index, Source);
                          break;
                        case DropFamily::Kind::Extended:
                          imaExtended_DragDrop(fam, Index, Source);
                          break;
                        case DropFamily::Kind::Plain:
                          Slot_DragDrop(fam, Index, Source);
                          break;
                      }
                    });
                  });
  fam.slots->Bind(&forms::Control::MouseDown,
                  [this, fam](int Index, int Button, int, float, float) {
                    core::RunEvent(fam.mouseDownName, [&] { Slot_MouseDown(fam, Index, Button); });
                  });
  if (fam.dragOver) {
    fam.slots->Bind(&forms::Control::DragOver, [name](int, forms::Control& Source, float X, float Y,
                                                      int State) {
      core::RunEvent(name + "_DragOver", [&] { core::TargetDragOverKep(Source, X, Y, State); });
    });
  }
  if (fam.mouseMove) {
    fam.slots->Bind(&forms::Control::MouseMove,
                    [this, fam, name](int Index, int, int, float, float) {
                      core::RunEvent(name + "_MouseMove", [&] { Slot_MouseMove(fam, Index); });
                    });
  }
}

// ---- Drops ------------------------------------------------------------------------------------

// A drop from the same family, on a page the report lacks, while no report is open, or of a
// picture dragged out of a slot is refused without a word.
bool frmMain::DropAllowed(const DropFamily& fam, const std::string& sourceName) {
  if (sourceName == fam.ownName) return false;
  if (fam.naTest) {
    const forms::TabControl& tab = *fam.tab;
    if (vb::UCase(vb::Trim(tab.TabCaption(tab.Tab()))) == "N/A") return false;
  }
  return core::gbKepReportActive && core::gDragSourceKind != kFromSlot;
}

// True when the slot is empty or the user agrees to replace its picture.
bool frmMain::ConfirmReplace(const DropFamily& fam, int Index) {
  const std::string path = vb::Trim((*fam.slots)[Index].ThumbPath());
  if (core::IsEmptyPict(path) || path.empty()) return true;
  const std::string prompt = fam.question + path + (fam.questionMark ? "?" : "");
  return forms::App::Current().MsgBox(prompt, forms::vbYesNo) == forms::vbYes;
}

// Whether the capture directory is the user directory or lies in KEP's store: a placement
// writes its copies there, also one that then did not go through.
bool frmMain::CaptureHoldsSlotCopies() {
  const auto folder = [](const std::string& dir) {
    std::string f = vb::UCase(vb::Trim(dir));
    return f.empty() || f.back() == '\\' ? f : f + '\\';
  };
  const std::string capture = folder(core::gCaptureDir);
  return capture == folder(core::gUserDir) || core::InKepStore(capture + "X.JPG");
}

// The strip drawn again while another error is on its way to the user; a failure of its own is
// left to the next redraw.
void frmMain::RedrawStripQuietly() {
  try {
    errdisplayThumbs();
  } catch (const vb::VbError&) {
  }
}

// Places the dropped picture on the slot.  After a placement a drop from the file list redraws
// the strip; a placed thumbnail (and its label) disappears when the source picture left the
// capture directory.  Placed or not (refused, KEP hung or gone), the strip is drawn again while
// the capture directory holds the slot copies, so that no thumbnail shows a picture its file no
// longer holds.
void frmMain::PlaceAndTakeUpSource(core::Trap& trap, forms::Gear& slot, forms::TabControl& tab,
                                   int index, forms::Control& Source,
                                   const std::string& sourceName) {
  bool placed = false;
  bool on = false;
  try {
    on = trap.Step([&] { placed = PlacePhotoOnSlot(slot, tab, index); });
  } catch (const vb::VbError&) {  // reported by the event's caller (KEP stopped answering)
    if (CaptureHoldsSlotCopies()) RedrawStripQuietly();
    throw;
  }
  if (CaptureHoldsSlotCopies()) {
    errdisplayThumbs();
  } else if (on && placed && sourceName == "FILCAPTURE") {
    trap.Step([&] { errdisplayThumbs(); });
  } else if (on && placed && sourceName == "GEATHUMB") {
    const auto* thumb = dynamic_cast<const forms::Gear*>(&Source);
    Source.SetVisible(thumb != nullptr && winfs::FileExists(thumb->ThumbPath()));
    lbltag[Source.Index()].SetVisible(Source.Visible());
  }
}

void frmMain::Slot_DragDrop(const DropFamily& fam, int Index, forms::Control& Source) {
  core::Trap trap(fam.slots->Name() + "_DragDrop");
  HourglassGuard hourglass(*this);
  const std::string sourceName = SourceName(Source);
  if (!DropAllowed(fam, sourceName)) return;
  if (!ConfirmReplace(fam, Index)) return;
  SetMousePointer(forms::vbHourglass);
  if (IsPictureSource(sourceName)) {
    PlaceAndTakeUpSource(trap, (*fam.slots)[Index], *fam.tab, Index, Source, sourceName);
  }
  SetMousePointer(forms::vbDefault);
}

// The caption (from the caption window) and the address go to the report before the picture.
void frmMain::imaGeneral_DragDrop(const DropFamily& fam, int Index, forms::Control& Source) {
  core::Trap trap("imaGeneral_DragDrop");
  HourglassGuard hourglass(*this);
  const std::string sourceName = SourceName(Source);
  if (!DropAllowed(fam, sourceName)) return;
  if (!ConfirmReplace(fam, Index)) return;
  const BoxTexts held(cboGeneral[Index], cboGeneralAddress[Index]);
  if (!trap.Step([&] {
        const std::string caption = vb::Trim(cboGeneral[Index].Text());
        core::gGenViewCaption = caption.empty() ? std::string(tools::kGenViewCancel) : caption;
        core::gGenViewAddr = vb::Trim(cboGeneralAddress[Index].Text());
        core::gGenViewIndex = static_cast<std::int16_t>(Index);
      })) {
    return;
  }
  PlaceCaptionedDrop(
      trap, Source, sourceName, [this] { return ChooseGeneralCaption(); },
      {[&] {
         forms::ComboBox& address = cboGeneralAddress[Index];
         address.SetText(SetSubjectAddress(address.Text()));
         core::gGenViewAddr = address.Text();
       },
       [] { core::KepSendGeneralData(core::gGenViewIndex, core::gGenViewCaption); },
       [] { core::KepSendGeneralAddr(core::gGenViewIndex, core::gGenViewAddr); }},
      imaGeneral[Index], TabGeneral, held);
}

// The blank address takes the subject's address before the question, so it stays even when the
// user declines.
void frmMain::imaExtended_DragDrop(const DropFamily& fam, int Index, forms::Control& Source) {
  core::Trap trap("imaExtended_DragDrop");
  HourglassGuard hourglass(*this);
  const std::string sourceName = SourceName(Source);
  if (!DropAllowed(fam, sourceName)) return;
  const BoxTexts held(cboExtended[Index], cboExtendedAddress[Index]);
  if (!trap.Step([&] {
        forms::ComboBox& address = cboExtendedAddress[Index];
        address.SetText(SetSubjectAddress(address.Text()));
      })) {
    return;
  }
  if (!ConfirmReplace(fam, Index)) return;
  if (!trap.Step([&] {
        core::gGenViewCaption = vb::Trim(cboExtended[Index].Text());
        core::gGenViewIndex = static_cast<std::int16_t>(Index);
      })) {
    return;
  }
  PlaceCaptionedDrop(
      trap, Source, sourceName, [&] { return ChooseExtendedCaption(Index); }, {[&] {
        KepSendExtendedAddress(Index, cboExtendedAddress[Index].Text(), cboExtended[Index].Text());
      }},
      imaExtended[Index], tabExtended, held);
}

// The end the general and extended drops share.  Only a picture is placed: the caption window
// decides, then each of `sendSteps` is one statement handing caption or address to the report,
// and last the picture goes on `slot`.  Nothing is sent unless KEP shows the window's report
// (a picture it cannot take would leave the report with a caption that is not its picture's).
// When KEP cannot take them, or goes while they are sent, the user is told why and the boxes
// show again what the report holds (`held`), so that no caption stands there that the report
// lacks.
void frmMain::PlaceCaptionedDrop(core::Trap& trap, forms::Control& Source,
                                 const std::string& sourceName,
                                 const std::function<bool()>& chooseCaption,
                                 const std::vector<std::function<void()>>& sendSteps,
                                 forms::Gear& slot, forms::TabControl& tab, const BoxTexts& held) {
  auto& app = forms::App::Current();
  if (!IsPictureSource(sourceName)) {
    SetMousePointer(forms::vbDefault);
    app.DoEvents();
    return;
  }
  SetMousePointer(forms::vbHourglass);
  bool chosen = false;
  if (!trap.Step([&] { chosen = chooseCaption(); })) return;
  core::HandOver check = core::HandOver::Taken;
  if (chosen && !trap.Step([&] { check = core::KepReportCheck(txtDDE); })) return;
  const auto notSent = [&](core::HandOver why) {
    held.Restore();
    TellNotHandedToKep(why);
  };
  if (chosen && check != core::HandOver::Taken) {
    notSent(check);
  } else if (chosen) {
    trap.Expect({vb::kDdeNoApp}, [&](const vb::VbError&) {
      notSent(core::HandOver::NoReport);
      return core::kLeave;
    });
    // A step KEP refused (285, say), whether the error is handled here or raised on: the report
    // lacks the caption, and the box shows again what it holds.
    for (const auto& step : sendSteps) {
      bool sent = false;
      try {
        sent = trap.Step(step);
      } catch (...) {
        held.Restore();
        throw;
      }
      if (sent) continue;
      held.Restore();
      return;
    }
    PlaceAndTakeUpSource(trap, slot, tab, core::gGenViewIndex, Source, sourceName);
  }
  SetMousePointer(forms::vbDefault);
  app.DoEvents();
}

// ---- Pressing and moving over a slot ------------------------------------------------------------

// Any press but the right button marks the drag as coming from a slot, even on an empty one; a
// slot with a picture path starts dragging it.
void frmMain::Slot_MouseDown(const DropFamily& fam, int Index, int Button) {
  core::Trap trap(fam.mouseDownName);
  if (Button == forms::vbRightButton) return;
  core::gDragSourceKind = kFromSlot;
  forms::Gear& slot = (*fam.slots)[Index];
  if (vb::Trim(slot.ThumbPath()).empty()) return;
  if (!trap.Step([&] { core::SourceMouseDown(slot); })) return;
  trap.Step([&] { core::SetDragSource(slot); });
}

// The tooltip shows the slot's picture path, none for the empty placeholder.
void frmMain::Slot_MouseMove(const DropFamily& fam, int Index) {
  forms::Gear& slot = (*fam.slots)[Index];
  const std::string path = slot.ThumbPath();
  const std::string upper = vb::UCase(path);
  const bool hide = vb::InStr(upper, "EMPTY.JPG") > 0 ||
                    (fam.hideCancelTip && vb::InStr(upper, tools::kGenViewCancel) > 0);
  slot.SetToolTipText(hide ? std::string() : path);
}

}  // namespace photo_pages
