#pragma once
// What the copy-from-media and picture-search windows share when they copy pictures into the
// capture directory: the media prompts of a copy, the "any pictures here?" lookup, and the copy
// of one picture.

#include <functional>
#include <string>
#include <vector>

#include "core/ErrTrap.h"

namespace tools {

// The pattern of every picture the copy windows show and copy.
inline constexpr const char* kPicturePattern = "*.jpg;*.bmp";

// A directory lookup of the path finds a folder or a file.  A drive without a readable medium
// raises 52, as the lookup does on Windows.
bool DirectoryLookupFinds(const std::string& path);

// A file lookup of folder & "*.jpg" or folder & "*.bmp" finds a file.  folder ends in "\".
// A drive without a readable medium raises 52; a missing folder 76.
bool FolderHasPictures(const std::string& folder);

// The error handling of a copy: every error first goes to ErrReport (its answer kept in
// gErrAction); then 52 asks "Media is not ready/readable. Try again?" and 68 asks "Media appears
// to be unreadable or not inserted properly.  Try again?" (Yes retries the failing step; No runs
// giveUp and leaves the procedure); any other error is handled by the report's answer.
void ExpectCopyMediaErrors(core::Trap& trap, std::function<void()> giveUp);

// What a copy run did not copy.
struct CopyShortfall {
  std::vector<std::string> missing;  // no longer in the source folder (a card swapped meanwhile)
  std::vector<std::string> unread;   // passed over when the user ignored a read error
  std::string why;                   // the text of that error, e.g. "Disk not ready"
};

// Copies the named pictures of folder into the capture directory, one statement of the trap
// each; the error questions name the picture.  A picture that is no longer in the folder is
// passed over without a question.  Ignore on a drive that no longer answers passes over every
// picture still to come from it: one question for the drive, not one per picture.  afterEach
// runs after every picture with whether it was copied, and answers false to end the run.
// False when the run was left or ended before its last picture.
bool CopyPictureList(core::Trap& trap, const std::string& folder,
                     const std::vector<std::string>& names,
                     const std::function<bool(bool copied)>& afterEach, CopyShortfall& shortfall);

// Tells the user which pictures of folder were not copied, and why; nothing when none.
void ReportShortfall(const std::string& folder, const CopyShortfall& shortfall);

// Puts the mouse pointer back to the default when it goes out of scope, however a copy ends.
class DefaultPointerOnExit {
 public:
  DefaultPointerOnExit() = default;
  DefaultPointerOnExit(const DefaultPointerOnExit&) = delete;
  DefaultPointerOnExit& operator=(const DefaultPointerOnExit&) = delete;
  ~DefaultPointerOnExit();
};

enum class CopyStart {
  kLeft,        // refused, or a step failed and the trap left the procedure
  kNoPictures,  // src holds no picture
  kReady,       // src holds pictures to copy
};

// The opening steps of a copy from src into target (both ending in ""), run by trap: a copy
// of a folder onto itself is refused with "The Source and target directories are the same.
// Copy ignored."; then the hourglass shows and src is looked up for pictures.
CopyStart StartCopy(core::Trap& trap, const std::string& src, const std::string& target);

// Copies folder & name to the capture directory under the same name.  A picture of that name
// is never replaced (cameras start their numbering again): when it holds the same bytes nothing
// is copied, else the copy takes the first free name "name (2).ext", "name (3).ext", ...
void CopyPictureToCaptureDir(const std::string& folder, const std::string& name);

}  // namespace tools
