#include "platform/profile/Profile.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <vector>

#include "platform/profile/AtomicFile.h"
#include "platform/profile/IniCache.h"
#include "platform/profile/IniText.h"
#include "platform/profile/Utf16.h"
#include "platform/vbrt/CodePage.h"

namespace profile {
namespace {

namespace fs = std::filesystem;
using detail::IniText;
using detail::Line;
using detail::LineKind;
using detail::Section;
using detail::TrimBlanks;

// Text as the A functions see it: up to the first NUL.
std::string_view CString(std::string_view s) {
  return s.substr(0, s.find('\0'));
}

// One matching pair of surrounding quotes removed.
std::string_view Unquoted(std::string_view v) {
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
    return v.substr(1, v.size() - 2);
  return v;
}

std::size_t CopyOut(std::string_view value, char* buffer, std::size_t size) {
  std::size_t n = std::min(value.size(), size - 1);
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

// NUL-separated names with a final NUL; cut lists end in two NULs and return size-2.
std::size_t CopyList(const std::vector<std::string_view>& names, char* buffer, std::size_t size) {
  std::size_t pos = 0, left = size;
  for (std::string_view name : names) {
    if (left <= 2) break;
    std::size_t n = std::min(name.size(), left - 2);
    std::memcpy(buffer + pos, name.data(), n);
    buffer[pos + n] = '\0';
    pos += n + 1;
    left -= n + 1;
    if (left < 2) break;
  }
  if (left >= 1) buffer[pos] = '\0';
  if (left <= 1) {
    if (size < 2) return 0;
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
  }
  return pos;
}

std::vector<std::string_view> SectionNames(const IniText& ini) {
  std::vector<std::string_view> names;
  for (const Section& s : ini.sections()) {
    std::string_view name = CString(s.name);
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

std::vector<std::string_view> KeyNames(const IniText& ini, const Section& section) {
  std::vector<std::string_view> names;
  for (std::size_t i = section.header + 1; i < section.endLine; ++i) {
    const Line& line = ini.lines()[i];
    std::string_view name = CString(line.name);
    if (line.kind == LineKind::kEntry && line.hasValue && !name.empty()) names.push_back(name);
  }
  return names;
}

// The default as Windows returns it: trailing spaces gone, one quote pair removed.
std::string_view DefaultText(const char* defaultValue) {
  std::string_view d = defaultValue ? defaultValue : "";
  while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
  return Unquoted(d);
}

// The value of section/key as stored (one quote pair removed); nullopt when absent.
std::optional<std::string_view> ValueOf(const IniText& ini, std::string_view section,
                                        std::string_view key) {
  const Section* found = ini.FindSection(TrimBlanks(CString(section)));
  if (!found) return std::nullopt;
  auto line = ini.FindKey(*found, TrimBlanks(CString(key)));
  if (!line) return std::nullopt;
  return Unquoted(CString(ini.lines()[*line].value));
}

std::size_t Lookup(std::optional<std::string_view> section, std::optional<std::string_view> key,
                   std::string_view def, char* buffer, std::size_t size, const fs::path& file) {
  if ((section && CString(*section).empty()) || (key && CString(*key).empty())) {
    return CopyOut(def, buffer, size);
  }
  const auto ini = detail::CachedText(file);
  if (!ini) return CopyOut(def, buffer, size);
  if (!section) return CopyList(SectionNames(*ini), buffer, size);
  if (!key) {
    const Section* found = ini->FindSection(TrimBlanks(CString(*section)));
    auto names = found ? KeyNames(*ini, *found) : std::vector<std::string_view>{};
    if (names.empty()) return CopyOut(def, buffer, size);
    return CopyList(names, buffer, size);
  }
  return CopyOut(ValueOf(*ini, *section, *key).value_or(def), buffer, size);
}

// ---- writing ----

std::string Splice(const std::string& text, std::size_t from, std::size_t to,
                   std::string_view with) {
  std::string out;
  out.reserve(text.size() + with.size());
  out.append(text, 0, from).append(with).append(text, to, std::string::npos);
  return out;
}

std::optional<std::string> SetValue(const IniText& ini, std::string_view section,
                                    std::string_view key, std::string_view value) {
  const std::string& text = ini.text();
  const Section* found = ini.FindSection(section);
  if (!found) {
    std::string out = text;
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += "\r\n";
    out.append("[").append(section).append("]\r\n");
    out.append(key).append("=").append(value).append("\r\n");
    return out;
  }
  if (auto index = ini.FindKey(*found, key)) {
    const Line& line = ini.lines()[*index];
    std::string replaced = std::string(line.name) + "=" + std::string(value);
    if (text.compare(line.begin, line.end - line.begin, replaced) == 0) return std::nullopt;
    return Splice(text, line.begin, line.end, replaced);
  }
  std::size_t after = found->header;
  for (std::size_t i = found->header + 1; i < found->endLine; ++i) {
    if (ini.lines()[i].kind == LineKind::kEntry) after = i;
  }
  const Line& line = ini.lines()[after];
  std::string insert = line.end == line.next ? "\r\n" : "";
  insert.append(key).append("=").append(value).append("\r\n");
  return Splice(text, line.next, line.next, insert);
}

std::optional<std::string> DeleteKey(const IniText& ini, std::string_view section,
                                     std::string_view key) {
  const Section* found = ini.FindSection(section);
  if (!found) return std::nullopt;
  auto index = ini.FindKey(*found, key);
  if (!index) return std::nullopt;
  const Line& line = ini.lines()[*index];
  return Splice(ini.text(), line.begin, line.next, {});
}

std::optional<std::string> DeleteSection(const IniText& ini, std::string_view section) {
  const Section* found = ini.FindSection(section);
  if (!found) return std::nullopt;
  const auto& lines = ini.lines();
  std::size_t end = found->endLine < lines.size() ? lines[found->endLine].begin : ini.text().size();
  return Splice(ini.text(), lines[found->header].begin, end, {});
}

// CR or LF would start a new line of the file (a key or value could forge a
// section); '=' in a key would change where the name ends.
bool Writable(std::string_view s, bool isKey) {
  return s.find_first_of(isKey ? "\r\n=" : "\r\n") == std::string_view::npos;
}

// The file a write really changes: the target of a symbolic link.
fs::path WriteTarget(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(file, ec))) return file;
  fs::path target = fs::weakly_canonical(file, ec);
  return ec ? file : target;
}

// The names and value of one write.
struct WriteTexts {
  std::string section;
  std::optional<std::string> key, value;
};

// Makes `s` text of the file's encoding: ANSI when `ansi`, else UTF-8.  False when it holds a
// character the code page lacks.  A text that is not UTF-8 is taken as ANSI text already.
bool Recode(std::string& s, bool ansi, int codePage) {
  if (!vb::IsValidUtf8(s)) {
    if (!ansi) s = vb::AnsiToUtf8(s, codePage);
    return true;
  }
  if (!ansi) return true;
  auto converted = vb::Utf8ToAnsi(s, codePage);
  if (converted) s = std::move(*converted);
  return converted.has_value();
}

bool RecodeAll(WriteTexts& w, bool ansi, int codePage) {
  return Recode(w.section, ansi, codePage) && (!w.key || Recode(*w.key, ansi, codePage)) &&
         (!w.value || Recode(*w.value, ansi, codePage));
}

// A file that is not UTF-8 was written in the ANSI code page and stays so: the names and value
// go in in that code page.  When one of them holds a character the code page lacks, the whole
// file is turned into UTF-8 instead, so that every value still reads as before.
void MatchEncoding(std::string& text, WriteTexts& w) {
  const int codePage = vb::AnsiCodePage();
  if (vb::IsValidUtf8(text)) {
    RecodeAll(w, false, codePage);
    return;
  }
  WriteTexts ansi = w;
  if (RecodeAll(ansi, true, codePage)) {
    w = std::move(ansi);
    return;
  }
  text = vb::AnsiToUtf8(text, codePage);
  RecodeAll(w, false, codePage);
}

std::optional<std::string> Edit(const IniText& ini, const WriteTexts& w) {
  if (!w.key) return DeleteSection(ini, w.section);
  if (!w.value) return DeleteKey(ini, w.section, *w.key);
  return SetValue(ini, w.section, *w.key, *w.value);
}

bool Write(std::optional<std::string_view> sectionArg, std::optional<std::string_view> keyArg,
           std::optional<std::string_view> valueArg, const fs::path& fileArg) {
  if (!sectionArg || fileArg.empty()) return false;
  std::string_view section = TrimBlanks(CString(*sectionArg));
  std::optional<std::string_view> key, value;
  if (keyArg) key = TrimBlanks(CString(*keyArg));
  if (valueArg) value = CString(*valueArg);
  if (section.empty() || (key && key->empty())) return false;
  if (!Writable(section, false) || (key && !Writable(*key, true)) ||
      (value && !Writable(*value, false))) {
    return false;
  }

  fs::path file = WriteTarget(fileArg);
  std::error_code ec;
  fs::path folder = file.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ec)) return false;

  std::string text;
  auto read = detail::ReadWholeFile(file, text);
  if (read == detail::ReadStatus::kFailed) return false;
  std::optional<detail::FileOwner> owner;
  if (read == detail::ReadStatus::kOk) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return false;
    // A file without write permission is read-only even for a user who could override it.
    if ((st.st_mode & 0222) == 0 || ::access(file.c_str(), W_OK) != 0) return false;
    owner = detail::FileOwner{st.st_mode, st.st_uid, st.st_gid};
  }

  WriteTexts w{std::string(section), {}, {}};
  if (key) w.key.emplace(*key);
  if (value) w.value.emplace(*value);
  const detail::Utf16Order utf16 = detail::Utf16OrderOf(text);
  if (utf16 != detail::Utf16Order::kNone) text = detail::Utf16ToUtf8(text, utf16);
  MatchEncoding(text, w);
  IniText ini(std::move(text));
  std::optional<std::string> edited = Edit(ini, w);
  if (!edited) {
    // Nothing to change; deleting a section of a missing file still creates it.
    if (read != detail::ReadStatus::kMissing || key) return true;
    edited.emplace();
  }
  if (utf16 != detail::Utf16Order::kNone) *edited = detail::Utf8ToUtf16(*edited, utf16);
  if (!detail::ReplaceFile(file, *edited, owner)) return false;
  detail::StoreText(file, std::move(*edited));
  return true;
}

}  // namespace

std::size_t GetPrivateProfileString(std::optional<std::string_view> section,
                                    std::optional<std::string_view> key, const char* defaultValue,
                                    char* buffer, std::size_t size, const fs::path& file) {
  if (size == 0 || buffer == nullptr) return 0;
  try {
    return Lookup(section, key, DefaultText(defaultValue), buffer, size, file);
  } catch (...) {
    buffer[0] = '\0';
    return 0;
  }
}

bool WritePrivateProfileString(std::optional<std::string_view> section,
                               std::optional<std::string_view> key,
                               std::optional<std::string_view> value, const fs::path& file) {
  try {
    return Write(section, key, value, file);
  } catch (...) {
    return false;
  }
}

std::string ReadValue(const fs::path& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue) {
  // What a caller growing its buffer until the result no longer fills it ends with: the whole
  // value, read once from the file's parsed text.
  const std::string def(CString(defaultValue));
  const std::string_view shownDefault = DefaultText(def.c_str());
  try {
    if (CString(section).empty() || CString(key).empty()) return std::string(shownDefault);
    const auto ini = detail::CachedText(file);
    if (!ini) return std::string(shownDefault);
    return std::string(ValueOf(*ini, section, key).value_or(shownDefault));
  } catch (...) {
    return {};
  }
}

namespace testing {
void SetBeforeReplaceHook(std::function<bool()> hook) {
  detail::BeforeReplaceHook() = std::move(hook);
}
}  // namespace testing

}  // namespace profile
