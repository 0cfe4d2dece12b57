#pragma once
// The keeper of picture files.  Every removal, overwrite or move of a picture file asks the
// keeper first, saying what it wants; the keeper answers what it did.
//
// Its rules:
// - the bytes of a picture are kept (copied into a trash folder, the copy read back and
//   compared) before anything removes or replaces them, unless the user deleted that very file;
// - a picture that a photo object of the open report names, or one that lies in KEP's picture
//   store (outside a trash folder), is never deleted, moved or replaced;
// - the program replaces, reuses the name of or deletes on its own only picture files (by
//   their extension) inside the user folder, the capture folder or KEP's store, never its own
//   files;
// - the trash folder of a folder is its "TRASHCAN" folder; the trash of a trash folder is that
//   folder itself;
// - a copy never takes the name of another picture: it goes beside it as "name (2).ext", ...

#include <string>

namespace core {

// The trash folder's own name.
inline constexpr const char* kTrashName = "TRASHCAN";

// The trash folder of `folder`, ending in "\": folder\TRASHCAN\, or the folder itself when it
// is a trash folder.
std::string TrashFolderOf(const std::string& folder);
// Whether the folder (with or without its trailing "\") is a trash folder.
bool IsTrashFolder(const std::string& folder);
// Whether the file lies in a trash folder.
bool IsInTrash(const std::string& path);

// Where a copy of `file` named `leaf` goes in `folder` (ending in "\") without replacing another
// picture: `leaf` itself when no file has that name or the file there holds the same bytes as
// `file` ("" matches no file), else the first free "stem (2).ext", "stem (3).ext", ...  Raises
// 75 when none is left.
std::string FreeCopyName(const std::string& folder, const std::string& file,
                         const std::string& leaf);

// A picture file by its extension (JPEG, BMP, TIFF, GIF, PNG).
bool IsPictureName(const std::string& path);
// A photo object of the open report other than `exceptObject` names the file.
bool ReportNames(const std::string& path, const std::string& exceptObject = {});
// The file lies in KEP's picture store: under KEP's data folder, or in the folder of a picture
// the open report names (the user and capture folders excepted); a trash folder is not the
// store's.
bool InKepStore(const std::string& path);
// The program may replace, reuse the name of, or delete the file on its own: a picture in the user
// folder, the capture folder or its trash folder, or KEP's store; not the program's placeholder.
bool IsOurs(const std::string& path);
// Another picture the open report names holds the same bytes as the file.
bool ReportHoldsBytesOf(const std::string& path);
// The file must stay where it is: the open report (an object other than `exceptObject`) names
// it, or it lies in KEP's store.
bool IsGuarded(const std::string& path, const std::string& exceptObject = {});

// What a caller wants done with a picture file.
struct KeepIntent {
  bool keep = true;          // copy it into the trash folder first
  bool remove = false;       // then delete it
  bool replace = false;      // the caller writes over the file next: even a picture of the
                             // trash folder needs a copy beside it
  bool userAsked = false;    // the user deleted this very file: it may go without a copy
  std::string base;          // the folder whose trash folder keeps it; the capture folder if ""
  std::string leaf;          // the trash copy's name; the file's own name if ""
  std::string exceptObject;  // the slot's own photo object, which may let the file go
};

enum class KeepOutcome {
  Done,     // what was asked was done
  Missing,  // no such file: no bytes to keep
  Stayed,   // the file was not removed: not the program's to delete, or it could not be (a
            // copy may have been made)
  Failed,   // the copy could not be made or read back the same: nothing was removed
};

struct KeepAnswer {
  KeepOutcome outcome = KeepOutcome::Done;
  std::string copy;      // where the bytes are kept ("" when no copy)
  bool made = false;     // the copy was written by this call (not found there already)
  bool removed = false;  // the file was deleted
  std::string folder;    // the trash folder that could not be written (Failed)
  // The old bytes are safe: kept, or there were none.
  bool Safe() const { return outcome != KeepOutcome::Failed; }
};

// Keeps and/or removes the picture as the intent says.  Device errors go to the common error
// report (procedure "SendToTrashCan"); an error the user answers with Abort or Ignore is a
// failure.  Nothing is removed unless its copy was made (or the user asked for that very file).
KeepAnswer KeepPicture(const std::string& file, const KeepIntent& intent);

// The user's own delete of the file (no copy): Done, Missing, Stayed (guarded) or Failed (the
// file could not be deleted; its error number in *error).
KeepOutcome DeleteForUser(const std::string& file, int* error = nullptr);

}  // namespace core
