#pragma once
// Small helpers of the picture editor's procedures.

#include <string>

#include "core/modVBCommon.h"
#include "tools/DialogCommon.h"

namespace tools::double_steps {

using core::SameFileBytes;

// Copies a file into the trash folder "TRASHCAN\" under `folder`, named `leaf` (its own name
// when empty), beside any earlier copy of that name; the copy's path.  Raises when the copy
// does not hold the file's bytes.
std::string CopyIntoTrash(const std::string& file, const std::string& folder,
                          const std::string& leaf = {});

// The folder whose trash keeps the editor's originals: the capture folder, else the picture's.
std::string TrashBase(const std::string& picture);

// Moves a kept original of `picture` from the user folder into the capture folder's trash,
// named `leaf` (its own name when empty); raises (and leaves it) when it cannot be copied there.
void TrashLeftover(const std::string& file, const std::string& picture,
                   const std::string& leaf = {});

}  // namespace tools::double_steps
