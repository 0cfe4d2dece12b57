// Folder listings in the order and with the masks of a VB file list box.

#include <algorithm>
#include <cstring>
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

Weight WeightOf(char32_t c) {
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

bool Ignorable(char32_t c) {
  return c == '-' || c == '\'';
}

// The primary and accent levels; hyphens and apostrophes are left out.
std::vector<Weight> Key(const std::u32string& folded) {
  std::vector<Weight> key;
  key.reserve(folded.size());
  for (char32_t c : folded) {
    if (!Ignorable(c)) key.push_back(WeightOf(c));
  }
  return key;
}

int Sign(auto cmp) {
  return cmp < 0 ? -1 : (cmp > 0 ? 1 : 0);
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
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
  return names;
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b) {
  const std::u32string fa = detail::Fold(a), fb = detail::Fold(b);
  const std::vector<Weight> ka = Key(fa), kb = Key(fb);
  // Primary level first (group and base letter), then accents, then the ignored characters.
  const auto primary = [](const std::vector<Weight>& k) {
    std::vector<std::pair<int, char32_t>> p;
    p.reserve(k.size());
    for (const Weight& w : k) p.emplace_back(w.group, w.primary);
    return p;
  };
  if (int c = Sign(primary(ka) <=> primary(kb))) return c;
  if (int c = Sign(ka <=> kb)) return c;
  // Then the name with fewer hyphens and apostrophes first ("coop" before "co-op").
  const auto ignorables = [](const std::u32string& f) {
    return std::count_if(f.begin(), f.end(), Ignorable);
  };
  if (int c = Sign(ignorables(fa) <=> ignorables(fb))) return c;
  if (int c = Sign(fa.compare(fb))) return c;
  return Sign(a.compare(b));
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

std::vector<std::string> ListDirs(const std::string& winDir, bool includeHidden) {
  return List(winDir, includeHidden, [](const fs::directory_entry& e, const std::string&) {
    std::error_code ec;
    return e.is_directory(ec);
  });
}

}  // namespace winfs
