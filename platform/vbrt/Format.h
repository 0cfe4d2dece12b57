#pragma once
// VB's Format$ for numbers with a user-defined pattern of '#', '0', ',', '.', '%'.

#include <string>
#include <string_view>

namespace vb {

// "##,###,###,###.##": 512 -> "512.", 0.57 -> ".57", 1234567.891 -> "1,234,567.89".
// '#' shows a digit only when significant, '0' always; '.' is always printed when the
// pattern has it; ',' between digit placeholders groups thousands; '%' multiplies by 100.
// Text before the first and after the last placeholder is copied ('\x' and "..." quote).
// Rounding is half away from zero on the 15-digit decimal form of the value.
std::string Format(double value, std::string_view pattern);

}  // namespace vb
