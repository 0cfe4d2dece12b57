#pragma once
// The controls of the main window that the core procedures act on.
//
// The main window (photo_pages) derives from this class and adds the rest of its controls and
// its event handlers; the core modules reach these controls through frmMain() without knowing
// the window itself.  Element numbers of every array are listed beside it; they are created by
// the window's layout file, or by CreateElements() for a window built without one (tests).
//
// Keep the controls in the groups below; new groups go at the end of the class.

#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"

namespace core {

class MainFormControls : public forms::Form {
 public:
  // layoutName as forms::Form takes it ("" the form's own layout, "-" none).
  explicit MainFormControls(std::string name = "frmMain", std::string layoutName = {});
  ~MainFormControls() override;

  // Creates every array element listed below that does not exist yet, and gives each tab
  // control its number of pages (for a window that has no layout file).
  void CreateElements();

  // ---- KEP conversation: hidden text boxes ----------------------------------------------------
  forms::TextBox txtDDE{*this, "txtDDE"};                    // the DDE link control
  forms::TextBox TxtKepReport{*this, "TxtKepReport"};        // the open report's name
  forms::TextBox txtKepListForms{*this, "txtKepListForms"};  // its form list

  // ---- Photo-page tab controls (pages numbered from 0) ------------------------------------------
  forms::TabControl TabData{*this, "TabData"};          // 6 pages: one per section
  forms::TabControl TabSubject{*this, "TabSubject"};    // 1 page
  forms::TabControl TabComp{*this, "TabComp"};          // 5: comparables 0-2, alternates 3-4
  forms::TabControl TabGeneral{*this, "TabGeneral"};    // 12
  forms::TabControl TabListing{*this, "TabListing"};    // 6: listings 0-1, REO 2, REO 2008 3,
                                                        //    specific listings 4-5
  forms::TabControl TabRental{*this, "TabRental"};      // 3
  forms::TabControl tabExtended{*this, "tabExtended"};  // 6

  // ---- Slot address labels and general captions (hidden for pages the report lacks) ------------
  forms::ControlArray<forms::Label> lblCompAddr{*this, "lblCompAddr"};                // 1..9
  forms::ControlArray<forms::Label> lblAltCompAddr{*this, "lblAltCompAddr"};          // 1..6
  forms::ControlArray<forms::Label> lblRentalAddr{*this, "lblRentalAddr"};            // 1..9
  forms::ControlArray<forms::Label> lblListingAddr{*this, "lblListingAddr"};          // 1..6
  forms::ControlArray<forms::Label> lblReoListingAddr{*this, "lblReoListingAddr"};    // 1..3
  forms::ControlArray<forms::Label> lblReo2ListingAddr{*this, "lblReo2ListingAddr"};  // 1..3
  forms::ControlArray<forms::Label> lblSpecificListingAddr{*this,
                                                           "lblSpecificListingAddr"};  // 1..6
  forms::ControlArray<forms::ComboBox> cboGeneral{*this, "cboGeneral"};                // 1..36

  // ---- Comparable slots -------------------------------------------------------------------------
  forms::ControlArray<forms::Label> lblComp{*this, "lblComp"};  // 1..9, the slot numbers
  forms::ControlArray<forms::Gear> imaComp{*this, "imaComp"};   // 1..9

  // ---- Photo slots, thumbnail strip, slot addresses and drag icons ------------------------------
  // (imaComp above is the comparable family.)
  forms::ControlArray<forms::Gear> imaSubject{*this, "imaSubject"};                  // 0..3
  forms::ControlArray<forms::Gear> imaAltComp{*this, "imaAltComp"};                  // 1..6
  forms::ControlArray<forms::Gear> imaGeneral{*this, "imaGeneral"};                  // 0..36 and 40
  forms::ControlArray<forms::Gear> imaListing{*this, "imaListing"};                  // 0..6
  forms::ControlArray<forms::Gear> imaSpecificListing{*this, "imaSpecificListing"};  // 1..6
  forms::ControlArray<forms::Gear> imaReoListing{*this, "imaReoListing"};            // 1..3
  forms::ControlArray<forms::Gear> imaReo2Listing{*this, "imaReo2Listing"};          // 1..3
  forms::ControlArray<forms::Gear> imaRental{*this, "imaRental"};                    // 0..9
  forms::ControlArray<forms::Gear> imaExtended{*this, "imaExtended"};                // 1..36
  forms::Label lblSubjectAddr{*this, "lblSubjectAddr"};                 // the subject address
  forms::ControlArray<forms::Gear> GeaThumb{*this, "GeaThumb"};         // 0..11, the strip
  forms::ControlArray<forms::Label> lbltag{*this, "lbltag"};            // 0..11, file names
  forms::ControlArray<forms::Image> imaDragDrop{*this, "imaDragDrop"};  // 0..2; 0 is the icon
  // Creates the missing elements of this group (CreateElements calls it).
  void CreateSlotElements();

 protected:
  // Creates elements first..last of an array that are missing.
  static void EnsureRange(forms::ControlArrayBase& array, int first, int last);
  // Gives a tab control n pages when it has fewer.
  static void EnsureTabs(forms::TabControl& tabs, int n);
};

// The main window as the core procedures see it.  Raises vb::VbError 91 when none is set.
MainFormControls& frmMain();
// Sets (or, with nullptr, clears) the main window; the window calls it when it is created and
// destroyed.
void SetMainForm(MainFormControls* form);
// Whether a main window is set.
bool HasMainForm();

}  // namespace core
