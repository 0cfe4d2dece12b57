#include "platform/profile/IniText.h"

#include "platform/vbrt/Strings.h"

namespace profile::detail {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

// Windows-1252 bytes 0x80..0x9F that are letters, as Unicode.
char32_t FromCp1252(unsigned char c) {
  switch (c) {
    case 0x8A:
      return 0x160;
    case 0x8C:
      return 0x152;
    case 0x8E:
      return 0x17D;
    case 0x9A:
      return 0x161;
    case 0x9C:
      return 0x153;
    case 0x9E:
      return 0x17E;
    case 0x9F:
      return 0x178;
    default:
      return c;
  }
}

// The upper-cased character at s[pos]; advances pos.
char32_t NextFolded(std::string_view s, std::size_t& pos) {
  char32_t cp;
  std::size_t n = vb::DecodeUtf8(s, pos, cp);
  if (n == 0) {
    cp = FromCp1252(static_cast<unsigned char>(s[pos]));
    n = 1;
  }
  pos += n;
  return vb::UpperCodePoint(cp);
}

// The name with every character upper-cased, as names are compared: UTF-8 letters by code
// point, other bytes as Windows-1252 letters.
std::u32string Folded(std::string_view s, char32_t lead = 0) {
  std::u32string out;
  out.reserve(s.size() + 1);
  if (lead) out.push_back(lead);
  for (std::size_t i = 0; i < s.size();) out.push_back(NextFolded(s, i));
  return out;
}

// The key index holds section number + 1 before the key's characters (0 would end nothing,
// but keeps a key of section 0 apart from a bare name).
char32_t SectionMark(std::size_t section) {
  return static_cast<char32_t>(section + 1);
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

IniText::IniText(std::string text) : text_(std::move(text)) {
  SplitLines();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != LineKind::kHeader) continue;
    if (!sections_.empty()) sections_.back().endLine = i;
    sections_.push_back({lines_[i].name, i, lines_.size()});
  }
  BuildIndex();
}

void IniText::BuildIndex() {
  for (std::size_t n = 0; n < sections_.size(); ++n) {
    if (!sectionIndex_.try_emplace(Folded(sections_[n].name), n).second) continue;
    for (std::size_t i = sections_[n].header + 1; i < sections_[n].endLine; ++i) {
      const Line& line = lines_[i];
      if (line.kind != LineKind::kEntry || !line.hasValue) continue;
      keyIndex_.try_emplace(Folded(line.name, SectionMark(n)), i);
    }
  }
}

void IniText::SplitLines() {
  std::size_t pos = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;  // UTF-8 mark
  while (pos < text_.size()) {
    Line line;
    line.begin = pos;
    std::size_t end = text_.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text_.size();
    line.end = end;
    line.next = end;
    if (end < text_.size()) {
      line.next = end + 1;
      if (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n') ++line.next;
    }
    Classify(line);
    lines_.push_back(line);
    pos = line.next;
  }
}

void IniText::Classify(Line& line) const {
  std::string_view content =
      TrimBlanks(std::string_view(text_).substr(line.begin, line.end - line.begin));
  if (content.empty()) {
    line.kind = LineKind::kBlank;
    return;
  }
  if (content[0] == '[') {
    std::size_t close = content.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = LineKind::kHeader;
      line.name = TrimBlanks(content.substr(1, close - 1));
      return;
    }
  }
  if (content[0] == ';') {
    line.kind = LineKind::kComment;
    return;
  }
  line.kind = LineKind::kEntry;
  std::size_t eq = content.find('=');
  line.hasValue = eq != std::string_view::npos;
  line.name = TrimBlanks(content.substr(0, eq));
  if (line.hasValue) line.value = TrimBlanks(content.substr(eq + 1));
}

const Section* IniText::FindSection(std::string_view name) const {
  auto it = sectionIndex_.find(Folded(name));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::size_t> IniText::FindKey(const Section& section, std::string_view key) const {
  auto it = keyIndex_.find(Folded(key, SectionMark(&section - sections_.data())));
  if (it == keyIndex_.end()) return std::nullopt;
  return it->second;
}

}  // namespace profile::detail
