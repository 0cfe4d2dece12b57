#include "platform/vbrt/Strings.h"

#include "platform/vbrt/VbError.h"

namespace vb {
namespace {

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// Byte offset of the character with 0-based index `index`, or s.size() when past the end.
std::size_t ByteOffset(std::string_view s, long index) {
  std::size_t pos = 0;
  char32_t cp;
  for (long i = 0; i < index && pos < s.size(); ++i) {
    std::size_t n = DecodeUtf8(s, pos, cp);
    pos += n ? n : 1;
  }
  return pos;
}

template <typename Map>
std::string MapCase(std::string_view s, Map map) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    char32_t cp;
    std::size_t n = DecodeUtf8(s, pos, cp);
    if (n == 0) {
      out.push_back(s[pos++]);  // not UTF-8: keep the byte
      continue;
    }
    if (n == 1) {
      out.push_back(static_cast<char>(map(cp)));
    } else {
      AppendUtf8(out, map(cp));
    }
    pos += n;
  }
  return out;
}

}  // namespace

std::size_t DecodeUtf8(std::string_view s, std::size_t pos, char32_t& cp) {
  auto c = static_cast<unsigned char>(s[pos]);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - pos < len) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    auto b = static_cast<unsigned char>(s[pos + i]);
    if (!IsContinuation(b)) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t UpperCodePoint(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) return c & ~char32_t{1};
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177) return c & ~char32_t{1};
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
  return c;
}

char32_t LowerCodePoint(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) return c | 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return c | 1;
  if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
  return c;
}

std::string LTrim(std::string_view s) {
  std::size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
  std::size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s) {
  return LTrim(RTrim(s));
}

std::string UCase(std::string_view s) {
  return MapCase(s, UpperCodePoint);
}
std::string LCase(std::string_view s) {
  return MapCase(s, LowerCodePoint);
}

long Len(std::string_view s) {
  long count = 0;
  for (std::size_t pos = 0; pos < s.size(); ++count) {
    char32_t cp;
    std::size_t n = DecodeUtf8(s, pos, cp);
    pos += n ? n : 1;
  }
  return count;
}

long InStr(long start, std::string_view s, std::string_view find) {
  if (start < 1) Raise(kInvalidProcedureCall);
  if (s.empty()) return 0;
  long length = Len(s);
  if (find.empty()) return start <= length + 1 ? start : 0;
  if (start > length) return 0;
  std::size_t from = ByteOffset(s, start - 1);
  std::size_t hit = s.find(find, from);
  if (hit == std::string_view::npos) return 0;
  return Len(s.substr(0, hit)) + 1;
}

long InStr(std::string_view s, std::string_view find) {
  return InStr(1, s, find);
}

std::string Mid(std::string_view s, long start) {
  if (start < 1) Raise(kInvalidProcedureCall);
  return std::string(s.substr(ByteOffset(s, start - 1)));
}

std::string Mid(std::string_view s, long start, long length) {
  if (start < 1 || length < 0) Raise(kInvalidProcedureCall);
  std::string_view rest = s.substr(ByteOffset(s, start - 1));
  return std::string(rest.substr(0, ByteOffset(rest, length)));
}

std::string Left(std::string_view s, long length) {
  if (length < 0) Raise(kInvalidProcedureCall);
  return std::string(s.substr(0, ByteOffset(s, length)));
}

std::string Right(std::string_view s, long length) {
  if (length < 0) Raise(kInvalidProcedureCall);
  long total = Len(s);
  if (length >= total) return std::string(s);
  return std::string(s.substr(ByteOffset(s, total - length)));
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(s);
  std::string out;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = s.find(find, pos)) != std::string_view::npos;
       pos = hit + find.size()) {
    out.append(s.substr(pos, hit - pos)).append(with);
  }
  out.append(s.substr(pos));
  return out;
}

std::vector<std::string> Split(std::string_view s, std::string_view delimiter) {
  std::vector<std::string> parts;
  if (delimiter.empty()) return {std::string(s)};
  std::size_t pos = 0;
  for (std::size_t hit; (hit = s.find(delimiter, pos)) != std::string_view::npos;
       pos = hit + delimiter.size()) {
    parts.emplace_back(s.substr(pos, hit - pos));
  }
  parts.emplace_back(s.substr(pos));
  return parts;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && a == b) return true;
  return UCase(a) == UCase(b);
}

}  // namespace vb
