#include "platform/profile/Utf16.h"

#include "platform/vbrt/Strings.h"

namespace profile::detail {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

char16_t UnitAt(std::string_view bytes, std::size_t i, Utf16Order order) {
  const auto lo = static_cast<unsigned char>(bytes[order == Utf16Order::kLittleEndian ? i : i + 1]);
  const auto hi = static_cast<unsigned char>(bytes[order == Utf16Order::kLittleEndian ? i + 1 : i]);
  return static_cast<char16_t>(hi << 8 | lo);
}

void PutUnit(std::string& out, char16_t unit, Utf16Order order) {
  const char lo = static_cast<char>(unit & 0xFF);
  const char hi = static_cast<char>(unit >> 8);
  if (order == Utf16Order::kLittleEndian) {
    out += lo;
    out += hi;
  } else {
    out += hi;
    out += lo;
  }
}

}  // namespace

Utf16Order Utf16OrderOf(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf16Order::kLittleEndian;
  if (bytes.starts_with("\xFE\xFF")) return Utf16Order::kBigEndian;
  return Utf16Order::kNone;
}

std::string Utf16ToUtf8(std::string_view bytes, Utf16Order order) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const char16_t unit = UnitAt(bytes, i, order);
    char32_t c = unit;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
      const char16_t low = UnitAt(bytes, i + 2, order);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (c >= 0xD800 && c < 0xE000) c = kReplacement;
    vb::AppendUtf8(out, c);
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view text, Utf16Order order) {
  std::string out;
  out.reserve(text.size() * 2 + 2);
  PutUnit(out, 0xFEFF, order);
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = kReplacement;
    const std::size_t length = vb::DecodeUtf8(text, i, c);
    if (length == 0) c = kReplacement;
    i += length == 0 ? 1 : length;
    if (c < 0x10000) {
      PutUnit(out, static_cast<char16_t>(c), order);
    } else {
      PutUnit(out, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), order);
      PutUnit(out, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), order);
    }
  }
  return out;
}

}  // namespace profile::detail
