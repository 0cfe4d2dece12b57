#include "platform/vbrt/Format.h"

#include <charconv>
#include <cmath>

#include "platform/vbrt/Convert.h"
#include "platform/vbrt/VbError.h"

namespace vb {
namespace {

struct Pattern {
  std::string prefix, suffix;
  int intZeros = 0;    // '0' placeholders left of the point
  int fracDigits = 0;  // placeholders right of the point
  int fracZeros = 0;   // of those, the ones up to the last '0'
  bool point = false;
  bool grouping = false;
  bool percent = false;
};

bool IsPlaceholder(char c) {
  return c == '#' || c == '0';
}

// Copies literal text, resolving '\x' and "quoted" parts; notes '%'.
std::string Literal(std::string_view s, bool& percent) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      out.push_back(s[++i]);
    } else if (s[i] == '"') {
      std::size_t close = s.find('"', i + 1);
      if (close == std::string_view::npos) close = s.size();
      out.append(s.substr(i + 1, close - i - 1));
      i = close;
    } else {
      if (s[i] == '%') percent = true;
      out.push_back(s[i]);
    }
  }
  return out;
}

Pattern Parse(std::string_view text) {
  Pattern p;
  std::size_t first = text.find_first_of("#0.");
  if (first == std::string_view::npos) {
    p.prefix = Literal(text, p.percent);
    return p;
  }
  std::size_t last = text.find_last_of("#0.");
  p.prefix = Literal(text.substr(0, first), p.percent);
  p.suffix = Literal(text.substr(last + 1), p.percent);
  bool seenDigit = false;
  for (std::size_t i = first; i <= last; ++i) {
    char c = text[i];
    if (c == '.' && !p.point) {
      p.point = true;
    } else if (IsPlaceholder(c) && !p.point) {
      seenDigit = true;
      if (c == '0') ++p.intZeros;
    } else if (IsPlaceholder(c)) {
      ++p.fracDigits;
      if (c == '0') p.fracZeros = p.fracDigits;
    } else if (c == ',' && seenDigit && !p.point) {
      p.grouping = true;
    }
  }
  return p;
}

// Digits of |value| rounded half away from zero to `decimals` places, computed on
// the 15-significant-digit decimal form.  Returns integer and fraction digits.
void Digits(double value, int decimals, std::string& whole, std::string& frac) {
  char buf[64];
  auto [end, ec] =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  (void)ec;
  std::string_view sci(buf, end - buf);
  std::size_t e = sci.find('e');
  int exponent = std::stoi(std::string(sci.substr(e + 1)));
  std::string digits;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  // Place the point: `point` digits before it.
  long point = exponent + 1;
  if (point <= 0) {
    digits.insert(0, static_cast<std::size_t>(-point), '0');
    point = 0;
  }
  if (static_cast<long>(digits.size()) < point + decimals)
    digits.append(point + decimals - digits.size(), '0');
  bool roundUp =
      static_cast<long>(digits.size()) > point + decimals && digits[point + decimals] >= '5';
  digits.resize(point + decimals);
  if (roundUp) {
    long i = static_cast<long>(digits.size()) - 1;
    for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
    if (i >= 0) {
      ++digits[i];
    } else {
      digits.insert(0, 1, '1');
      ++point;
    }
  }
  whole = digits.substr(0, point);
  frac = digits.substr(point);
  std::size_t nz = whole.find_first_not_of('0');
  whole = nz == std::string::npos ? std::string() : whole.substr(nz);
}

std::string Grouped(const std::string& digits) {
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

}  // namespace

std::string Format(double value, std::string_view pattern) {
  if (std::isnan(value) || std::isinf(value)) Raise(kOverflow);
  if (pattern.empty()) return CStr(value);
  Pattern p = Parse(pattern);
  if (pattern.find_first_of("#0.") == std::string_view::npos) return p.prefix;
  if (p.percent) value *= 100;
  std::string whole, frac;
  Digits(value, p.fracDigits, whole, frac);
  if (static_cast<int>(whole.size()) < p.intZeros) whole.insert(0, p.intZeros - whole.size(), '0');
  while (static_cast<int>(frac.size()) > p.fracZeros && frac.back() == '0') frac.pop_back();
  bool zero = whole.find_first_not_of('0') == std::string::npos &&
              frac.find_first_not_of('0') == std::string::npos;
  std::string out = value < 0 && !zero ? "-" : "";
  out += p.prefix;
  out += p.grouping ? Grouped(whole) : whole;
  if (p.point) out += "." + frac;
  out += p.suffix;
  return out;
}

}  // namespace vb
