// Elements of the main window's photo slots, thumbnail strip and drag icons, for a window built
// without a layout file.

#include "core/frmMainControls.h"

namespace core {

void MainFormControls::CreateSlotElements() {
  EnsureRange(imaSubject, 0, 3);
  EnsureRange(imaAltComp, 1, 6);
  EnsureRange(imaGeneral, 0, 36);
  imaGeneral.Ensure(40);
  EnsureRange(imaListing, 0, 6);
  EnsureRange(imaSpecificListing, 1, 6);
  EnsureRange(imaReoListing, 1, 3);
  EnsureRange(imaReo2Listing, 1, 3);
  EnsureRange(imaRental, 0, 9);
  EnsureRange(imaExtended, 1, 36);
  EnsureRange(GeaThumb, 0, 11);
  EnsureRange(lbltag, 0, 11);
  EnsureRange(imaDragDrop, 0, 2);
}

}  // namespace core
