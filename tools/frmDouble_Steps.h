#pragma once
// Small helpers of the picture editor's procedures.

#include <string>

#include "core/modVBCommon.h"
#include "tools/DialogCommon.h"

namespace tools::double_steps {

using core::SameFileBytes;

}  // namespace tools::double_steps
