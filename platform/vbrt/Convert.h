#pragma once
// VB numeric conversions and number-to-text.

#include <concepts>
#include <cstdint>
#include <string>

namespace vb {

// Round half to even, then range-check (error 6 "Overflow"; NaN also overflows).
std::int16_t CInt(double value);
std::int32_t CLng(double value);
// Nearest float; error 6 when the magnitude is beyond float's range.
float CSng(double value);

double Int(double value);  // toward minus infinity

// Decimal text with up to 15 significant digits (7 for float): "512", "0.57", "1E+16".
std::string CStr(double value);
std::string CStr(float value);
template <std::integral T>
requires(!std::same_as<T, bool>) std::string CStr(T value) {
  return std::to_string(value);
}

// Str$ of a whole number: a leading blank stands for the plus sign (" 512", "-512").
template <std::integral T>
requires(!std::same_as<T, bool>) std::string Str(T value) {
  return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace vb
