#pragma once
// The lines of an INI file as byte ranges of its text, classified the way the
// Windows profile functions read them.  Nothing is copied or normalised, so an
// edit can splice the text and leave every other byte as it was.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile::detail {

enum class LineKind { kBlank, kHeader, kComment, kEntry };

struct Line {
  std::size_t begin = 0;  // first byte of the line
  std::size_t end = 0;    // first byte of its terminator (CRLF, LF or CR)
  std::size_t next = 0;   // first byte of the next line
  LineKind kind = LineKind::kBlank;
  std::string_view name;   // header name or key name, trimmed
  std::string_view value;  // text after the first '=', trimmed
  bool hasValue = false;   // the entry has an '='
};

struct Section {
  std::string_view name;
  std::size_t header = 0;   // index of the header line
  std::size_t endLine = 0;  // index one past its last line
};

// The blanks of the profile functions: space, TAB, LF, VT, FF, CR and Ctrl-Z.
std::string_view TrimBlanks(std::string_view s);

class IniText {
 public:
  explicit IniText(std::string text);
  IniText(const IniText&) = delete;
  IniText& operator=(const IniText&) = delete;

  const std::string& text() const { return text_; }
  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<Section>& sections() const { return sections_; }

  // The first section of that name, and its first key line (with '=') of that name.
  const Section* FindSection(std::string_view name) const;
  std::optional<std::size_t> FindKey(const Section& section, std::string_view key) const;

 private:
  void SplitLines();
  void Classify(Line& line) const;
  void BuildIndex();

  std::string text_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  // Folded names -> the first section of that name; section number and folded key -> the
  // first key line of that name in it.
  std::unordered_map<std::u32string, std::size_t> sectionIndex_;
  std::unordered_map<std::u32string, std::size_t> keyIndex_;
};

}  // namespace profile::detail
