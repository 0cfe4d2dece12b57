#pragma once
// VB's Val(): the number at the start of a text.

#include <string_view>

namespace vb {

// Blanks, TABs and LFs are skipped everywhere; the scan stops at the first
// character that cannot continue a number.  &H / &O give 16-bit signed values
// up to &HFFFF and 32-bit signed values above (a trailing & keeps it positive).
// A trailing % & ! # @ is a type suffix: a fraction with % or & raises 13, a value
// outside the suffix's range or outside Double raises 6.
double Val(std::string_view text);

}  // namespace vb
