#pragma once
// Loading and clearing the pictures of imaging controls (thumbnails, photo slots, previews),
// the empty-slot marker, and the address captions under the slots of the main window.
//
// A slot is empty when its ThumbPath is "" or names "\EMPTY.JPG"; a cleared slot records the
// program folder's "empty.jpg" as its ThumbPath.
//
// The load and clear procedures trap their errors but leave gCurrentProc as the caller set it,
// so that an error report names the caller.  Picture errors are handled in place:
//   481  "The File '<file>' appears to be a corrupt file." (OK), then the procedure is left;
//   50003  left without a message;
//   76  the control is cleared (ErrClearPict), then the procedure is left;
//   52  (ErrLoadPict only) "<file>File not found." (OK), then the procedure is left;
// anything else goes to ErrReport.

#include <string>

namespace forms {
class Gear;
class Label;
}  // namespace forms

namespace core {

// What a directory lookup of the path finds: the name of the file it names ("" when there is
// none).  A blank path or one that ends in "\" names no file.  A missing folder raises 76, a
// drive that is not ready 71 (or 76), a malformed path 52.
std::string DirLookup(const std::string& sFile);

// Loads sFile as a thumbnail or slot picture: reduced to 80 x 60 for display and stretched to
// the control.  A file that does not exist only empties ThumbPath (the old picture stays).
void ErrLoadThumb(forms::Gear& ctl, const std::string& sFile);
// Loads sFile into the control's picture (ThumbPath := sFile); a missing file empties the
// control.  A file that cannot be decoded leaves the control without a picture.
void ErrLoadPict(forms::Gear& ctl, const std::string& sFile);
// The label's caption := sText, or "" for a text of blanks; then the label is repainted.
void ErrLoadLblTag(forms::Label& lbl, const std::string& sText);
// Discards the control's picture and ThumbPath; a thumbnail (name holding "THUMB") is hidden.
void ErrClearPict(forms::Gear& ctl);
// Shows the empty-slot placeholder: ThumbPath := gAppDir & "empty.jpg", its picture loaded
// (stretched; nothing shown when the file is missing or damaged), brought to the front.
void geaClearImage(forms::Gear& ctl);
// True for "" and for any path holding "\EMPTY.JPG" (any case).
bool IsEmptyPict(const std::string& sPath);

// Address captions of the main window's slot labels, element i from element i of the global.
void setSubjectLabels();          // lblSubjectAddr := gSubjectAddr
void SetSalesLabels();            // lblCompAddr 1..9
void SetAltSalesLabels();         // lblAltCompAddr 1..6
void SetListingLabels();          // lblListingAddr 1..6
void SetSpecificListingLabels();  // lblSpecificListingAddr 1..6
void SetReoListingLabels();       // lblReoListingAddr 1..3
void SetReo2ListingLabels();      // lblReo2ListingAddr 1..3
void SetRentalLabels();           // lblRentalAddr 1..9

}  // namespace core
