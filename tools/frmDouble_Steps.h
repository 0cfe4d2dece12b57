#pragma once
// Small helpers of the picture editor's procedures.

#include <string>

#include "core/modVBCommon.h"
#include "tools/DialogCommon.h"

namespace tools::double_steps {

using core::SameFileBytes;

// Copies a file into the trash folder "TRASHCAN\" under `folder`, beside any earlier copy of
// its name; the copy's path.  Raises when the copy does not hold the file's bytes.
std::string CopyIntoTrash(const std::string& file, const std::string& folder);

// Moves a kept original left in the user folder into the capture folder's trash; raises (and
// leaves it) when it cannot be copied there.
void TrashLeftover(const std::string& file);

}  // namespace tools::double_steps
