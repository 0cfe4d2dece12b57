#include "platform/vbrt/Convert.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/vbrt/VbError.h"

namespace vb {
namespace {

double RoundHalfEven(double value) {
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double RoundedInRange(double value, double low, double high) {
  if (std::isnan(value)) Raise(kOverflow);
  double r = RoundHalfEven(value);
  if (r < low || r > high) Raise(kOverflow);
  return r;
}

// %G-style text with `digits` significant digits, exponent as VB writes it (E+16, E-05).
std::string General(double value, int digits) {
  if (std::isnan(value) || std::isinf(value)) Raise(kOverflow);
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
  (void)ec;
  std::string s(buf, end);
  std::size_t e = s.find('e');
  if (e != std::string::npos) s[e] = 'E';
  if (s == "-0") s = "0";
  return s;
}

}  // namespace

std::int16_t CInt(double value) {
  return static_cast<std::int16_t>(RoundedInRange(value, -32768.0, 32767.0));
}

std::int32_t CLng(double value) {
  return static_cast<std::int32_t>(RoundedInRange(value, -2147483648.0, 2147483647.0));
}

float CSng(double value) {
  if (std::isnan(value)) Raise(kOverflow);
  // Values that round to FLT_MAX are still representable.
  constexpr double kLimit = 3.4028235677973366e38;
  if (std::fabs(value) >= kLimit) Raise(kOverflow);
  return static_cast<float>(value);
}

double Int(double value) {
  return std::floor(value);
}

std::string CStr(double value) {
  return General(value, 15);
}
std::string CStr(float value) {
  return General(value, 7);
}

}  // namespace vb
