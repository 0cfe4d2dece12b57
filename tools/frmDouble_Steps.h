#pragma once
// Small helpers of the picture editor's procedures.

#include <string>

#include "core/modVBCommon.h"
#include "tools/DialogCommon.h"

namespace tools::double_steps {

using core::SameFileBytes;

// Keeps a file the editor writes over next in the trash folder of `folder`, named `leaf` (its
// own name when empty), beside any earlier copy of that name; the copy's path.  Raises when the
// copy does not hold the file's bytes.
std::string CopyIntoTrash(const std::string& file, const std::string& folder,
                          const std::string& leaf = {});

// The folder whose trash keeps the editor's originals: the capture folder, else the picture's.
std::string TrashBase(const std::string& picture);

// Moves a kept original of `picture` from the user folder into the capture folder's trash,
// named `leaf` (its own name when empty); raises (and leaves it) when it cannot be copied there.
void TrashLeftover(const std::string& file, const std::string& picture,
                   const std::string& leaf = {});

// The extension after the last period of the file name, upper-cased; "" without one.
std::string LastExtension(const std::string& path);
bool IsJpegName(const std::string& path);

// The compressed picture's name: a JPEG keeps its whole name; any other picture keeps its name
// with ".jpg" for its last extension (house.front.bmp gives house.front.jpg).
std::string CompressedName(const std::string& path);

// The result's name t of editing s: t itself when it is s or free, else "t (2).jpg", ... .
std::string ResultName(const std::string& s, const std::string& t);

}  // namespace tools::double_steps
