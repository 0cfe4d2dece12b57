// Folder listings in the order and with the masks of a VB file list box.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <tuple>

#include "platform/vbrt/VbError.h"
#include "platform/winfs/Internal.h"
#include "platform/winfs/WinFs.h"

namespace winfs {
namespace {

namespace fs = std::filesystem;

// Windows word sort: symbols in this order, then digits, then letters.
constexpr const char* kSymbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

struct Weight {
  int group;         // 1 symbols, 2 digits, 3 letters, 4 anything else
  char32_t primary;  // position within the group
  char32_t accent;   // 0 for an unaccented letter
  auto operator<=>(const Weight&) const = default;
};

// Base letter of an accented Latin letter (already folded), 0 when it has none.
char32_t BaseLetter(char32_t c) {
  static constexpr struct {
    char32_t lo, hi;
    char base;
  } kRanges[] = {
      {0xE0, 0xE6, 'a'},   {0xE7, 0xE7, 'c'},   {0xE8, 0xEB, 'e'},   {0xEC, 0xEF, 'i'},
      {0xF0, 0xF0, 'd'},   {0xF1, 0xF1, 'n'},   {0xF2, 0xF6, 'o'},   {0xF8, 0xF8, 'o'},
      {0xF9, 0xFC, 'u'},   {0xFD, 0xFD, 'y'},   {0xFF, 0xFF, 'y'},   {0xDF, 0xDF, 's'},
      {0x100, 0x105, 'a'}, {0x106, 0x10D, 'c'}, {0x10E, 0x111, 'd'}, {0x112, 0x11B, 'e'},
      {0x11C, 0x123, 'g'}, {0x124, 0x127, 'h'}, {0x128, 0x131, 'i'}, {0x134, 0x135, 'j'},
      {0x136, 0x138, 'k'}, {0x139, 0x142, 'l'}, {0x143, 0x14B, 'n'}, {0x14C, 0x153, 'o'},
      {0x154, 0x159, 'r'}, {0x15A, 0x161, 's'}, {0x162, 0x167, 't'}, {0x168, 0x173, 'u'},
      {0x174, 0x175, 'w'}, {0x176, 0x178, 'y'}, {0x179, 0x17E, 'z'},
  };
  for (const auto& r : kRanges) {
    if (c >= r.lo && c <= r.hi) return static_cast<char32_t>(r.base);
  }
  return 0;
}

Weight ComputeWeight(char32_t c) {
  if (c >= '0' && c <= '9') return {2, c, 0};
  if (c >= 'a' && c <= 'z') return {3, c, 0};
  if (c < 0x80) {
    const char* pos = std::strchr(kSymbolOrder, static_cast<int>(c));
    return {1, pos && c ? static_cast<char32_t>(pos - kSymbolOrder) : 0x80 + c, 0};
  }
  if (char32_t base = BaseLetter(c)) return {3, base, c};
  if (c >= 0xA0 && c <= 0xBF) return {1, 0x100 + c, 0};
  return {4, c, 0};
}

Weight WeightOf(char32_t c) {
  static const auto kAscii = [] {
    std::array<Weight, 0x80> table{};
    for (char32_t a = 0; a < 0x80; ++a) table[a] = ComputeWeight(a);
    return table;
  }();
  return c < 0x80 ? kAscii[c] : ComputeWeight(c);
}

bool Ignorable(char32_t c) {
  return c == '-' || c == '\'';
}

int Sign(auto cmp) {
  return cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
}

// Writes v as `bytes` big-endian bytes at out.
char* PutBigEndian(char* out, std::uint32_t v, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
    *out++ = static_cast<char>((v >> shift) & 0xFF);
  }
  return out;
}

// A byte string whose order (as unsigned bytes) is the list-box order of the names, level by
// level: group and base letter of each character (hyphens and apostrophes left out), then the
// accents, then the number of hyphens and apostrophes, then the folded characters, then the
// bytes.  A level of varying length ends in zero bytes, which sort before any character.
// Code points and weights stay below 2^24.
std::string SortKey(const std::string& name) {
  const std::u32string folded = detail::Fold(name);
  std::string key(folded.size() * 10 + 11 + name.size(), '\0');
  char* out = key.data();
  std::uint32_t ignorables = 0;
  for (char32_t c : folded) {
    if (Ignorable(c)) {
      ++ignorables;
      continue;
    }
    const Weight w = WeightOf(c);
    *out++ = static_cast<char>(w.group);
    out = PutBigEndian(out, w.primary, 3);
  }
  out = PutBigEndian(out, 0, 4);
  for (char32_t c : folded) {
    if (!Ignorable(c)) out = PutBigEndian(out, WeightOf(c).accent, 3);
  }
  out = PutBigEndian(out, ignorables, 4);
  for (char32_t c : folded) out = PutBigEndian(out, c + 1, 3);
  out = PutBigEndian(out, 0, 3);
  out = std::copy(name.begin(), name.end(), out);
  key.resize(static_cast<std::size_t>(out - key.data()));
  return key;
}

// Names in list-box order; each name's key is made once, not once per comparison.
void SortNames(std::vector<std::string>& names) {
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& n : names) keyed.emplace_back(SortKey(n), std::move(n));
  std::sort(keyed.begin(), keyed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

std::vector<std::string> SplitPatterns(const std::string& patterns) {
  std::vector<std::string> masks;
  size_t start = 0;
  while (start <= patterns.size()) {
    size_t end = patterns.find(';', start);
    if (end == std::string::npos) end = patterns.size();
    const std::string mask = patterns.substr(start, end - start);
    const size_t first = mask.find_first_not_of(" \t");
    if (first != std::string::npos) {
      masks.push_back(mask.substr(first, mask.find_last_not_of(" \t") - first + 1));
    }
    start = end + 1;
  }
  return masks;
}

// The masks of a pattern, folded; no mask at all is "*.*".
std::vector<std::u32string> FoldedMasks(const std::string& patterns) {
  std::vector<std::u32string> folded;
  for (const std::string& m : SplitPatterns(patterns)) folded.push_back(detail::Fold(m));
  if (folded.empty()) folded.push_back(detail::Fold("*.*"));
  return folded;
}

// Entries of a Windows folder for which keep(host entry) holds, sorted.
template <typename Keep>
std::vector<std::string> List(const std::string& winDir, bool includeHidden, Keep keep) {
  const fs::path dir = ToHost(winDir);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) vb::Raise(vb::kPathNotFound);
  std::vector<std::string> names;
  fs::directory_iterator it(dir, ec);
  if (ec) detail::RaiseHost(ec.value(), dir);
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) detail::RaiseHost(ec.value(), dir);
    std::string name = WindowsName(it->path().filename().string());
    if (!includeHidden && detail::IsHiddenName(name)) continue;
    if (keep(*it, name)) names.push_back(std::move(name));
  }
  SortNames(names);
  return names;
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b) {
  return Sign(SortKey(a).compare(SortKey(b)));
}

bool MatchesPattern(const std::string& name, const std::string& patterns) {
  return detail::MatchesAnyMask(name, FoldedMasks(patterns));
}

bool HasWildcards(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

std::vector<std::string> ListFiles(const std::string& winDir, const std::string& patterns,
                                   bool includeHidden) {
  const std::vector<std::u32string> masks = FoldedMasks(patterns);
  return List(winDir, includeHidden, [&](const fs::directory_entry& e, const std::string& name) {
    std::error_code ec;
    return e.is_regular_file(ec) && detail::MatchesAnyMask(name, masks);
  });
}

std::optional<std::string> FindFile(const std::string& winPath) {
  const detail::WinPath p = detail::Parse(winPath);
  if (p.parts.empty()) return std::nullopt;
  detail::WinPath folder = p;
  folder.parts.pop_back();
  const fs::path dir = detail::Resolve(folder);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) vb::Raise(vb::kPathNotFound);
  const auto entry = detail::FindEntry(dir, p.parts.back());
  if (!entry || !fs::is_regular_file(dir / *entry, ec)) return std::nullopt;
  std::string name = WindowsName(*entry);
  if (detail::IsHiddenName(name)) return std::nullopt;
  return name;
}

std::vector<std::string> ListDirs(const std::string& winDir, bool includeHidden) {
  return List(winDir, includeHidden, [](const fs::directory_entry& e, const std::string&) {
    std::error_code ec;
    return e.is_directory(ec);
  });
}

}  // namespace winfs
