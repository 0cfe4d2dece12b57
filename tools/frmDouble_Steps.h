#pragma once
// Small helpers of the picture editor's procedures.

#include <string>

#include "tools/DialogCommon.h"

namespace tools::double_steps {

// Both files exist and hold the same bytes.
bool SameFileBytes(const std::string& winA, const std::string& winB);

}  // namespace tools::double_steps
