#pragma once
// The main window: the program's start-up object.
//
// Loading it brings the whole program up (single instance, INI folder and files, settings,
// title, capture directory, reference data, caption lists, thumbnails, update hand-over and the
// report refresh with KEP); closing it writes a few settings back.  Around that it shows the
// photo pages of the report open in KEP (tabs of photo slots with their addresses and
// captions) and the thumbnail strip of the capture directory.
//
// The procedures are split over files by subject:
//   frmMain_Load.cpp      start-up, shut-down, title, update, help, keyboard
//   frmMain_Refresh.cpp   report refresh with KEP, clearing slots, temporary pictures
//   frmMain_Addr.cpp      the reference data file and the slot addresses
//   frmMain_Photos.cpp    filling the photo slots from the report's image list
//   frmMain_Thumbs.cpp    the thumbnail strip of the capture directory
//   frmMain_Trash.cpp     the trash folder and copying report pictures back to the strip
//   frmMain_Drop.cpp      drag and drop on the photo slots
//   frmMain_Buttons.cpp   the picture buttons and the menu bar
//   frmMain_Place.cpp     placing a picture on a slot: the JPEG copy handed to KEP
//   frmMain_Captions.cpp  general and extended photo captions and addresses
//   frmMain_Tabs.cpp      photo tabs, the extended pages, window sizing
//
// Controls that core procedures reach through core::frmMain() are declared in
// core::MainFormControls; the rest are declared here.  Every control lies in
// resources/layouts/frmMain.layout.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/ErrTrap.h"
#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "core/modVelmodDrag.h"
#include "platform/forms/Controls.h"
#include "platform/forms/FileControls.h"
#include "platform/vbrt/VbError.h"

namespace core {
class Trap;
}

namespace photo_pages {

// The window resizer component as the window sees it (the renderer binds it when the window is
// shown; until then the settings are only kept).
using FormResizer = forms::FormResizer;

class frmMain : public core::MainFormControls {
 public:
  // layoutName as forms::Form takes it ("" = resources/layouts/frmMain.layout).
  explicit frmMain(std::string layoutName = {});
  ~frmMain() override;

  // ---- Report and subject labels -------------------------------------------------------------
  forms::Label lblRPT{*this, "lblRPT"};
  forms::Label lblReport{*this, "lblReport"};  // "Report:" caption before lblRPT

  // (The photo slot arrays, lblSubjectAddr, GeaThumb, lbltag and imaDragDrop are
  //  core::MainFormControls'.)

  // ---- Slot number labels ----------------------------------------------------------------------
  forms::ControlArray<forms::Label> lblSubject{*this, "lblSubject"};                  // 1..3
  forms::ControlArray<forms::Label> lblAltComp{*this, "lblAltComp"};                  // 1..6
  forms::ControlArray<forms::Label> lblGeneral{*this, "lblGeneral"};                  // 1..36
  forms::ControlArray<forms::Label> lblListing{*this, "lblListing"};                  // 1..6
  forms::ControlArray<forms::Label> lblSpecificListing{*this, "lblSpecificListing"};  // 1..6
  forms::ControlArray<forms::Label> lblReoListing{*this, "lblReoListing"};            // 1..3
  forms::ControlArray<forms::Label> lblReo2Listing{*this, "lblReo2Listing"};          // 1..3
  forms::ControlArray<forms::Label> lblRental{*this, "lblRental"};                    // 1..9

  // ---- General and extended captions and addresses (1..36) -------------------------------------
  forms::ControlArray<forms::ComboBox> cboGeneralAddress{*this, "cboGeneralAddress"};
  forms::ControlArray<forms::ComboBox> cboExtended{*this, "cboExtended"};
  forms::ControlArray<forms::ComboBox> cboExtendedAddress{*this, "cboExtendedAddress"};

  // ---- Thumbnail strip -------------------------------------------------------------------------
  forms::Label lblCapDir{*this, "lblCapDir"};
  forms::Label lblDirectory{*this, "lblDirectory"};
  forms::Label lblFill{*this, "lblFill"};  // the strip's background, a drop target
  forms::Image imaFolder{*this, "imaFolder"};
  forms::Image imaTrash{*this, "imaTrash"};
  forms::ControlArray<forms::Image> imaScroll{*this, "imaScroll"};  // 0..3 buttons, 4..11 arrows

  // ---- Picture buttons -------------------------------------------------------------------------
  forms::Image imaCamera{*this, "imaCamera"};
  forms::Image imaSearch{*this, "imaSearch"};
  forms::Image imaSetup{*this, "imaSetup"};
  forms::Image imaKep{*this, "imaKep"};

  // ---- Hidden lists and the resizing imaging control -------------------------------------------
  forms::FileListBox filCapture{*this, "filCapture"};
  forms::FileListBox filREA{*this, "filREA"};
  forms::ListBox lstViews{*this, "lstViews"};
  forms::ListBox lstAddr{*this, "lstAddr"};
  forms::ListBox lstForm{*this, "lstForm"};
  forms::Gear geaRes{*this, "geaRes"};

  // ---- Menus -----------------------------------------------------------------------------------
  forms::Menu mnuFile{*this, "mnuFile"};
  forms::ControlArray<forms::Menu> mnuFile_Entry{*this, "mnuFile_Entry"};  // 0..4
  forms::Menu munSetup{*this, "munSetup"};
  forms::ControlArray<forms::Menu> mnuSetup_Entry{*this, "mnuSetup_Entry"};  // 0
  forms::Menu mnuRefresh{*this, "mnuRefresh"};
  forms::ControlArray<forms::Menu> mnuRefresh_Entry{*this, "mnuRefresh_Entry"};  // 0..1
  forms::Menu mnuTools{*this, "mnuTools"};
  forms::ControlArray<forms::Menu> mnuTools_Entry{*this, "mnuTools_Entry"};              // 0..3
  forms::ControlArray<forms::Menu> mnuTools_Entry_Maint{*this, "mnuTools_Entry_Maint"};  // 0..1
  forms::Menu mnuHelp{*this, "mnuHelp"};
  forms::ControlArray<forms::Menu> mnuHelp_Entry{*this, "mnuHelp_Entry"};          // 0..5
  forms::ControlArray<forms::Menu> mnuHelp_Entry_Web{*this, "mnuHelp_Entry_Web"};  // 0..1

  // The window resizer (see FormResizer).
  FormResizer RXResizer1;
  forms::FormResizer* WindowResizer() override { return &RXResizer1; }

  // ---- Public procedures (called from the window itself and its tests) -------------------------
  void ReadCaption();
  void ShowHelpFile();
  void checkUpdate();
  void RefreshAppraisal();
  void RefreshReport(bool bResetTabs);
  void errdisplayThumbs();
  // The settings the window writes back when it closes (its unload runs it); also run alone when
  // the program must end without its windows (the display gone).
  void WriteBackSettings();
  std::string SetSubjectAddress(const std::string& sAddr);
  void TabPopulateGeneralText();
  void TabPopulateExtendedText();
  void AddGenViews2CBO();
  void ShowExtendedPage(int p);
  void RXResizer1_Resized();
  void SetScreenSize();

  // Extended photo texts sent to the report (frmMain_Captions.cpp).
  void KepSendExtendedAddress(int Index, const std::string& sAddr, const std::string& sCaption);
  static std::string KepReturnExtendedKepPage(const std::string& sSection, int Index);
  static std::string KepReturnExtendedData(const std::string& sSection, const std::string& sKey);
  static std::string KepReturnExtendedAddr(const std::string& sSection, int Index);

  // The image-list entry that begins with sKey, without its separators; "" when none.  Raises
  // 5 when the entry is the last one and no ";" closes it.
  static std::string FindImageEntry(const std::string& sList, const std::string& sKey);

  // The nine comma-separated fields of a reference data line (index 0 is field 1).
  using DatFields = std::array<std::string, 9>;
  static DatFields CutDatFields(const std::string& line);

  // Thumbnail strip: paging, drops and the editor (frmMain_Thumbs.cpp).
  void lstPageFirst();
  void ErrLstPageUp();
  void lstPageDown();
  void lstPageLast();
  void AddThumbFromDrop(forms::Control& Source);

  // Trash folder and copy-back (frmMain_Trash.cpp).  Every trash copy and every deletion of a
  // picture goes through the keeper (core/PictureKeeper.h).
  struct TrashCopy {
    std::string path;   // the picture's copy in the trash folder
    bool made = false;  // written now (not a file of the same bytes that lay there already)
  };
  // The file's own name, upper-cased, as the trash copies are named.
  static std::string LeafName(const std::string& fullPath);
  static std::string OwnFileName(const std::string& fullPath, const std::string& name,
                                 const std::string& ext);
  bool DropPhotoOnTarget(forms::Control& Source, int Mode);
  std::string MakeCopyBackName(forms::Control& Source);
  static std::string ShortAddress(const std::string& address);

  // Placing a picture on a slot (frmMain_Place.cpp).
  // True when the picture was placed and KEP took it.
  bool PlacePhotoOnSlot(forms::Gear& Target, forms::TabControl& TabCtl, int Index);
  bool SaveTheImage(const std::string& src, const std::string& dest, forms::Gear& ctl);
  std::string MakeTempPhotoName();

  // Window-level state.
  core::VbBool mbFormLoading = core::vbFalse;
  core::VbBool mbTemplateReport = core::vbFalse;

 protected:
  void Form_Load() override;
  void Form_Unload(int& Cancel) override;
  void Form_Resize() override;
  void Form_KeyDown(int& KeyCode, int Shift) override;
  void Form_KeyUp(int& KeyCode, int Shift) override;

 private:
  void BindEvents();

  // Start-up (frmMain_Load.cpp)
  void CheckSingleInstance();
  void CheckScreen();
  void RunStartStep(const std::string& label, const std::function<std::string()>& value,
                    const std::function<void()>& body);
  bool AskDriveNotReady();
  void filCapture_Scroll();
  void Yield();

  // Report refresh (frmMain_Refresh.cpp)
  void KepUpdateDDE(forms::TextBox& link);
  void TakeOnReport(const std::string& report, const std::string& forms, const std::string& images);
  void OpenActiveReport();
  void FillFromReport(bool bResetTabs);
  void ClearAllPhotos();
  void ClearSlots(forms::ControlArray<forms::Gear>& slots, int count);
  void DelTempPhotos();
  void ResetTabs();

  // Reference data and addresses (frmMain_Addr.cpp)
  void PostAddr2Listbox();
  void PostForm2Listbox();
  void AddKepEntries2CVEL();
  std::vector<std::string> AddressFields(const std::string& form);
  void ReadAddressLine(const DatFields& f, const std::string& report);
  static std::vector<std::pair<std::string*, std::string>> AddressLineFields(const DatFields& f);
  [[noreturn]] void DatFileMissing();

  // Slot fill (frmMain_Photos.cpp)
  void SetAllDde();
  void SetPhotos(const std::string& sPrefix, bool onlyBlank = false);
  void ShowPhotosLeftBlank();
  struct SlotFamilyEntry {
    const char* prefix;
    int count;
    forms::ControlArray<forms::Gear>* gears;
  };
  std::array<SlotFamilyEntry, 10> SlotFamilies();
  forms::ControlArray<forms::Gear>* SlotFamily(const std::string& sPrefix, int& count);

  // Thumbnail strip (frmMain_Thumbs.cpp)
  void RefuseCaptureDirWithPeriod();
  void ClearThumbs();
  int ShowMediaGone();
  void SetCaptureDir(std::string& dir);
  void UpdateScrollArrows(forms::FileListBox& list);
  void ShowThumb(int i);
  void HideThumb(int i);
  bool CaptureDirReadable();
  void StopWhenUnloading();
  void DecodePageAhead();
  void BindThumbEvents();
  void ShowCameraDialog();
  void RedrawThumbsWithHourglass();
  bool IsThumbTagShown(const std::string& name);
  int FindFreeThumb();
  void GeaThumb_DblClick(int Index);
  void GeaThumb_DragDrop(int Index, forms::Control& Source);
  void geaThumb_MouseDown(int Index, int Button);
  void GeaThumb_MouseMove(int Index);
  void SetTagColor(int i);

  // Trash folder and copy-back (frmMain_Trash.cpp)
  void BindTrashEvents();
  void imaTrash_Click();
  void imaTrash_DragDrop(forms::Control& Source);
  void CopyBackToCapture(forms::Control& Source);
  bool ClearPhoto(forms::Gear& slot, forms::TabControl& TabCtl, bool Confirm);
  void TrashDroppedPicture(const std::string& src);
  void TrashSlotPicture(forms::Control& Source, const std::string& src);
  bool SaveOverwrittenCopyBack(const std::string& target, const std::string& src);
  forms::TabControl* SlotTab(const std::string& sourceName);

  // Placing a picture on a slot (frmMain_Place.cpp)
  bool FormatPictureNow(const std::string& src, forms::Gear& Target, bool KeepName,
                        const std::string& NewName);
  void WriteReducedCopy(const std::string& src, const std::string& dest);
  static void TellNotWritten(const std::string& dest, const std::string& folder,
                             const vb::VbError& e);
  void SetFilIndex(int value);
  static bool IsLastListItem(const forms::ListBox& list);
  static bool IsListEmpty(const forms::ListBox& list);
  // What a placement does with the slot's old picture.
  struct OldSlotPicture {
    TrashCopy trashCopy;     // its copy in the trash folder (path "" when none)
    bool keepName = false;   // the new copy takes its name in the user directory
    std::string newName;     // that name
    bool deleteOld = false;  // it is deleted once KEP took the new copy
    std::string folder;      // the trash folder that could not be written
  };
  bool KeepOldSlotPicture(const std::string& old, const std::string& src, const std::string& object,
                          OldSlotPicture& plan);
  void TrashPlacedSource(const std::string& src);
  void PutBackOldPicture(forms::Gear& Target, const std::string& shown, const OldSlotPicture& plan);
  static void DropUnusedTrashCopy(const std::string& shown, const TrashCopy& copy);
  static void TellNotKept(const std::string& picture, const std::string& folder,
                          const std::string& title, const std::string& consequence);
  void RestoreSlot(forms::Gear& Target, const std::string& shown);
  core::HandOver HandPhotoToKep(forms::Gear& Target, forms::TabControl& TabCtl, int Index);
  void TellNotHandedToKep(core::HandOver why, const std::string& what = {});
  void TakeBackSlotCopy(forms::Gear& Target, const std::string& shown, const std::string& src,
                        bool keptName, const TrashCopy& oldTrashCopy);
  void BringToFront();

  // Captions and addresses (frmMain_Captions.cpp)
  void PostAddr2Combos();
  void PostViews2ExtendedCBO();
  static void CopyListKeepText(forms::ComboBox& source, forms::ComboBox& target);
  static std::string ExtendedField(const std::string& sSection, const std::string& sPage, int k);
  static std::string GeneralField(const std::string& sSection, const std::string& sPage,
                                  const char* key, int k);
  void KepRequestExtendedCaptions(const std::string& sSection, const std::string& sReport,
                                  const std::string& sForms);
  void GetExtendedText(const std::string& sSection, const std::string& sReport,
                       const std::string& sPage, forms::TextBox& link, int nStart);
  void KepRequestGeneralCaptions(const std::string& sSection, const std::string& sReport,
                                 const std::string& sForms);
  void GetGeneralText(const std::string& sSection, const std::string& sReport,
                      const std::string& sPage, forms::TextBox& link, int nStart);

  // Tabs and sizing (frmMain_Tabs.cpp)
  void HandleTabClick(forms::TabControl& tab, int PreviousTab);
  void TabData_Click();
  void tabExtended_Click();
  static void PlaceBelow(const forms::Control& ref, forms::Control& ctl);
  void MoveForm2TopLeft();

  // Caption boxes' events and the caption window (frmMain_Captions.cpp)
  void BindCaptionEvents();
  void cboGeneral_Change(int Index);  // Click and LostFocus of the general boxes
  void cboExtended_Change(int Index);
  void cboExtendedAddress_Change(int Index);
  bool ChooseGeneralCaption();
  bool ChooseExtendedCaption(int Index);

  // Drag and drop on the photo slots (frmMain_Drop.cpp)
  struct DropFamily;
  void BindDropEvents();
  void BindDropFamily(const DropFamily& fam);
  void Slot_DragDrop(const DropFamily& fam, int Index, forms::Control& Source);
  void imaGeneral_DragDrop(const DropFamily& fam, int Index, forms::Control& Source);
  void imaExtended_DragDrop(const DropFamily& fam, int Index, forms::Control& Source);
  bool DropAllowed(const DropFamily& fam, const std::string& sourceName);
  bool ConfirmReplace(const DropFamily& fam, int Index);
  static bool CaptureHoldsSlotCopies();
  void RedrawStripQuietly();
  void PlaceAndTakeUpSource(core::Trap& trap, forms::Gear& slot, forms::TabControl& tab, int index,
                            forms::Control& Source, const std::string& sourceName);
  class BoxTexts {
   public:
    BoxTexts(forms::ComboBox& caption, forms::ComboBox& address);
    void Restore() const;

   private:
    forms::ComboBox& caption_;
    forms::ComboBox& address_;
    std::string captionText_;
    std::string addressText_;
  };
  void PlaceCaptionedDrop(core::Trap& trap, forms::Control& Source, const std::string& sourceName,
                          const std::function<bool()>& chooseCaption,
                          const std::vector<std::function<void()>>& sendSteps, forms::Gear& slot,
                          forms::TabControl& tab, const BoxTexts& held);
  void Slot_MouseDown(const DropFamily& fam, int Index, int Button);
  void Slot_MouseMove(const DropFamily& fam, int Index);

  // Picture buttons and menus (frmMain_Buttons.cpp)
  void BindButtonEvents();
  void imaCamera_Click();
  void imaSearch_Click();
  void imaSetup_Click();
  void imaKep_MouseMove();
  void imaScroll_Click(int Index);
  void mnuFile_Entry_Click(int Index);
  void mnuTools_Entry_Maint_Click(int Index);
  void mnuHelp_Entry_Click(int Index);
  void mnuHelp_Entry_Web_Click(int Index);
  void ReloadThumbsWithHourglass();
  void ShowSupportMessage();
  void ShowPictureEditor(const std::string& sPath);
};

// The one main window (created and loaded on first use).
frmMain& MainWindow();

}  // namespace photo_pages
