#include "platform/vbrt/Val.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/vbrt/VbError.h"

namespace vb {
namespace {

// The text with every blank, TAB and LF removed.
std::string Squeezed(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') out.push_back(c);
  }
  return out;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int DigitValue(char c, int base) {
  int v = -1;
  if (IsDigit(c))
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v < base ? v : -1;
}

double RadixValue(const std::string& s, std::size_t pos, int base) {
  std::uint64_t value = 0;
  for (; pos < s.size(); ++pos) {
    int d = DigitValue(s[pos], base);
    if (d < 0) break;
    value = value * base + d;
    if (value > 0xFFFFFFFFull) Raise(kOverflow);
  }
  bool longSuffix = pos < s.size() && s[pos] == '&';
  if (value <= 0xFFFF && !longSuffix) return static_cast<std::int16_t>(value);
  if (longSuffix && value <= 0xFFFF) return static_cast<double>(value);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

void CheckSuffix(char suffix, double value) {
  double low, high;
  if (suffix == '%') {
    low = -32768, high = 32767;
  } else if (suffix == '&') {
    low = -2147483648.0, high = 2147483647.0;
  } else if (suffix == '!') {
    if (std::fabs(value) > std::numeric_limits<float>::max()) Raise(kOverflow);
    return;
  } else if (suffix == '@') {
    if (std::fabs(value) >= 922337203685477.5808) Raise(kOverflow);
    return;
  } else {
    return;
  }
  if (value != std::trunc(value)) Raise(kTypeMismatch);
  if (value < low || value > high) Raise(kOverflow);
}

double Decimal(const std::string& s) {
  std::size_t pos = 0;
  std::string canon;
  if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
    if (s[pos] == '-') canon.push_back('-');
    ++pos;
  }
  std::string mantissa;
  bool nonzero = false;
  long pointShift = 0;  // digits before the first non-zero one, relative to the point
  for (; pos < s.size() && IsDigit(s[pos]); ++pos) {
    mantissa.push_back(s[pos]);
    nonzero = nonzero || s[pos] != '0';
    if (nonzero) ++pointShift;
  }
  mantissa.push_back('.');
  if (pos < s.size() && s[pos] == '.') {
    for (++pos; pos < s.size() && IsDigit(s[pos]); ++pos) {
      mantissa.push_back(s[pos]);
      if (!nonzero) --pointShift;
      nonzero = nonzero || s[pos] != '0';
    }
  }
  long exponent = 0;
  if (pos < s.size() && std::string_view("EeDd").find(s[pos]) != std::string_view::npos) {
    std::size_t e = pos + 1;
    bool negative = e < s.size() && s[e] == '-';
    if (e < s.size() && (s[e] == '-' || s[e] == '+')) ++e;
    if (e < s.size() && IsDigit(s[e])) {
      for (; e < s.size() && IsDigit(s[e]); ++e) {
        if (exponent < 100000) exponent = exponent * 10 + (s[e] - '0');
      }
      if (negative) exponent = -exponent;
      pos = e;
    }
  }
  if (!nonzero) return 0;
  canon += (mantissa == "." ? "0" : mantissa) + "e" + std::to_string(exponent);
  double value = 0;
  auto [end, ec] = std::from_chars(canon.data(), canon.data() + canon.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    if (pointShift + exponent > 0) Raise(kOverflow);
    return 0;  // underflow
  }
  if (ec != std::errc()) return 0;
  if (pos < s.size()) CheckSuffix(s[pos], value);
  return value;
}

}  // namespace

double Val(std::string_view text) {
  std::string s = Squeezed(text);
  if (s.size() >= 2 && s[0] == '&') {
    char kind = s[1];
    if (kind == 'H' || kind == 'h') return RadixValue(s, 2, 16);
    if (kind == 'O' || kind == 'o') return RadixValue(s, 2, 8);
  }
  return Decimal(s);
}

}  // namespace vb
