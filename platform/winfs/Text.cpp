// Case folding and wildcard masks over UTF-8 names.

#include <algorithm>
#include <string_view>

#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs::detail {
namespace {

constexpr char32_t kBadByte = 0x110000;

// Length of a UTF-8 sequence from its lead byte, 0 when it cannot start one.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

bool InRange(char32_t c, char32_t lo, char32_t hi) {
  return c >= lo && c <= hi;
}

}  // namespace

std::vector<char32_t> Decode(const std::string& text) {
  std::vector<char32_t> out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int len = SequenceLength(lead);
    bool ok = len > 0 && i + len <= text.size();
    char32_t c = len == 1 ? lead : (lead & (0x7F >> len));
    for (int k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      ok = (b & 0xC0) == 0x80;
      c = (c << 6) | (b & 0x3F);
    }
    // Overlong and surrogate forms are treated as bad bytes too.
    if (ok && ((len == 3 && c < 0x800) || (len == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
               InRange(c, 0xD800, 0xDFFF))) {
      ok = false;
    }
    if (!ok) {
      out.push_back(kBadByte + lead);
      ++i;
      continue;
    }
    out.push_back(c);
    i += len;
  }
  return out;
}

char32_t FoldChar(char32_t c) {
  if (InRange(c, 'A', 'Z')) return c + 32;
  if (c < 0x80) return c;
  if (InRange(c, 0xC0, 0xDE) && c != 0xD7) return c + 32;
  if (c == 0x130) return 'i';
  if (InRange(c, 0x100, 0x137) || InRange(c, 0x14A, 0x177)) return (c % 2 == 0) ? c + 1 : c;
  if (InRange(c, 0x139, 0x148) || InRange(c, 0x179, 0x17E)) return (c % 2 == 1) ? c + 1 : c;
  if (c == 0x178) return 0xFF;
  if (InRange(c, 0x391, 0x3A9) && c != 0x3A2) return c + 32;
  if (InRange(c, 0x410, 0x42F)) return c + 32;
  if (InRange(c, 0x400, 0x40F)) return c + 80;
  return c;
}

std::u32string Fold(const std::string& text) {
  std::u32string out;
  for (char32_t c : Decode(text)) out.push_back(FoldChar(c));
  return out;
}

namespace {

// Glob over folded code points: '*' any run, '?' exactly one character.
bool Glob(const std::u32string& name, const std::u32string& mask) {
  size_t n = 0, m = 0, starMask = std::u32string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == U'*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == U'?' || mask[m] == name[n])) {
      ++n;
      ++m;
    } else if (starMask != std::u32string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == U'*') ++m;
  return m == mask.size();
}

// One mask against one (folded) name, with the DOS rules for "*.*" and "*.".
bool MatchesFolded(const std::u32string& n, std::u32string m) {
  const bool nameHasDot = n.find(U'.') != std::u32string::npos;
  // "*." and "abc.": the name must have no extension.
  if (!m.empty() && m.back() == U'.') {
    while (!m.empty() && m.back() == U'.') m.pop_back();
    return !nameHasDot && Glob(n, m);
  }
  if (Glob(n, m)) return true;
  // "*.*" and "IMG*.*" also match names without an extension.
  if (m.size() >= 2 && m.compare(m.size() - 2, 2, U".*") == 0 && !nameHasDot) {
    return Glob(n, m.substr(0, m.size() - 2));
  }
  return false;
}

bool IsShortNameChar(char32_t c) {
  return c > U' ' && c < 0x7F &&
         std::u32string_view(U"\"*+,/:;<=>?[\\]|.").find(c) == std::u32string_view::npos;
}

// Usable short-name characters of a part: blanks and dots dropped, others become "_".
std::u32string ShortPart(std::u32string_view part, size_t limit) {
  std::u32string out;
  for (char32_t c : part) {
    if (out.size() == limit) break;
    if (c == U' ' || c == U'.') continue;
    out.push_back(IsShortNameChar(c) ? c : U'_');
  }
  return out;
}

// The folded 8.3 alias Windows gives a long name ("x.jpeg" -> "x~1.jpe"); empty when the name
// already is a short name.  The numeric tail is taken as "~1".
std::u32string ShortAlias(const std::u32string& n) {
  const size_t dot = n.rfind(U'.');
  const bool hasExt = dot != std::u32string::npos && dot > 0;
  const std::u32string_view base = std::u32string_view(n).substr(0, hasExt ? dot : n.size());
  const std::u32string_view ext =
      hasExt ? std::u32string_view(n).substr(dot + 1) : std::u32string_view();
  const bool valid = !base.empty() && base.size() <= 8 && ext.size() <= 3 &&
                     std::all_of(base.begin(), base.end(), IsShortNameChar) &&
                     std::all_of(ext.begin(), ext.end(), IsShortNameChar);
  if (valid) return {};
  std::u32string alias = ShortPart(base, 6) + U"~1";
  const std::u32string shortExt = ShortPart(ext, 3);
  if (!shortExt.empty()) alias += U"." + shortExt;
  return alias;
}

}  // namespace

// As on Windows, a mask matches the long name or its 8.3 short name, so "*.tif" finds
// "x.tiff" (X~1.TIF) and "*.htm" finds "x.html".  The short name is made once, and only when
// the long name matches no mask.
bool MatchesAnyMask(const std::string& name, const std::vector<std::u32string>& foldedMasks) {
  const std::u32string n = Fold(name);
  for (const std::u32string& m : foldedMasks) {
    if (MatchesFolded(n, m)) return true;
  }
  const std::u32string alias = ShortAlias(n);
  if (alias.empty()) return false;
  return std::any_of(foldedMasks.begin(), foldedMasks.end(),
                     [&](const std::u32string& m) { return MatchesFolded(alias, m); });
}

bool MatchesMask(const std::string& name, const std::string& mask) {
  return MatchesAnyMask(name, {Fold(mask)});
}

namespace {

constexpr char32_t kPrivateBase = 0xF000;

bool CannotBeInAName(unsigned char c) {
  return c < 32 ||
         std::string_view("*:<>?\\|\"").find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendPrivate(std::string& out, unsigned char c) {
  const char32_t cp = kPrivateBase + c;  // three UTF-8 bytes: EF 80 xx or EF 81 xx
  out += static_cast<char>(0xE0 | (cp >> 12));
  out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

bool IsHiddenName(const std::string& name) {
  return !name.empty() && name[0] == '.';
}

}  // namespace winfs::detail

namespace winfs {

std::string WindowsName(const std::string& hostName) {
  // Windows drops trailing dots and blanks, so they are kept as private-use characters too.
  size_t keep = hostName.find_last_not_of(". ");
  keep = keep == std::string::npos ? 0 : keep + 1;
  if (hostName == "." || hostName == "..") keep = hostName.size();
  std::string out;
  out.reserve(hostName.size());
  for (size_t i = 0; i < hostName.size(); ++i) {
    const auto c = static_cast<unsigned char>(hostName[i]);
    if (i >= keep || detail::CannotBeInAName(c)) {
      detail::AppendPrivate(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string HostName(const std::string& windowsName) {
  std::string out;
  out.reserve(windowsName.size());
  for (size_t i = 0; i < windowsName.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(windowsName[i]);
    if (b0 == 0xEF && i + 2 < windowsName.size()) {
      const auto b1 = static_cast<unsigned char>(windowsName[i + 1]);
      const auto b2 = static_cast<unsigned char>(windowsName[i + 2]);
      const auto c = static_cast<unsigned char>(((b1 & 0x3F) << 6 | (b2 & 0x3F)) & 0xFF);
      // No host name holds a NUL, so U+F000 is never a mapped character: kept, it cannot cut
      // the name short and reach another file.
      if ((b1 == 0x80 || b1 == 0x81) && (b2 & 0xC0) == 0x80 && c != 0 &&
          (detail::CannotBeInAName(c) || c == '.' || c == ' ')) {
        out += static_cast<char>(c);
        i += 2;
        continue;
      }
    }
    out += static_cast<char>(b0);
  }
  // "." and ".." are never listed as private-use dots: such a name stays as it is rather than
  // step out of its folder.
  if (out == "." || out == "..") return windowsName;
  return out;
}

}  // namespace winfs
