#pragma once
// Pieces shared by the winfs source files; not part of the public interface.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace winfs::detail {

namespace fs = std::filesystem;

// ---- Text ----
// Decodes UTF-8 into code points; a byte that is not valid UTF-8 becomes 0x110000 + byte.
std::vector<char32_t> Decode(const std::string& text);
// Simple case folding (to lower case) of one code point.
char32_t FoldChar(char32_t c);
// The whole name folded, for case-insensitive equality.
std::u32string Fold(const std::string& text);
// One mask ("*.jpg") against a name, case-insensitive, DOS rules for "*.*" and "*.".
bool MatchesMask(const std::string& name, const std::string& mask);
// The same for several masks, each already folded.
bool MatchesAnyMask(const std::string& name, const std::vector<std::u32string>& foldedMasks);
bool IsHiddenName(const std::string& name);

// ---- State ----
struct WinPath {
  char drive = 'C';                // upper case
  std::vector<std::string> parts;  // components below the drive root, "." and ".." applied
};
// The program never changes folder: the current drive is C and every drive's current folder is
// its root.
constexpr char kCurrentDrive = 'C';
// Parses a Windows path against the current folders.  Raises 52 for a bad name.
WinPath Parse(const std::string& winPath);
// "C:\\" or "C:\\A\\B".
std::string Format(const WinPath& p);

// ---- Drives ----
fs::path DosDevices();
// Absolute, lexically normal link target of a letter; nullopt without a link.
std::optional<fs::path> LinkTarget(char drive);
// The host root of a ready drive; raises 71/76 for a drive that is not ready.
fs::path DriveRoot(char drive);
// Upper-case letter for 'a'..'z' / 'A'..'Z', else raises 5.
char CheckLetter(char letter);
// The drive whose link target holds the host path (the deepest one); nullopt when none does.
std::optional<char> DriveOf(const fs::path& host);

// ---- Resolution ----
// Host path for a parsed path; existing components found case-insensitively.
fs::path Resolve(const WinPath& p);
// The host name in `dir` that matches `name`: exact spelling first, else a case-insensitive scan.
std::optional<std::string> FindEntry(const fs::path& dir, const std::string& name);

// ---- Errors ----
// Raises the VB error for errno `err` met on `host`; ENOENT gives 76 when the parent is missing.
// A path that is missing or unreadable because its drive's medium went away meanwhile (between
// resolving and using the path) gives 71, as on a drive that was not ready to begin with.
[[noreturn]] void RaiseHost(int err, const fs::path& host);
// True when the folder holding host exists.
bool ParentExists(const fs::path& host);

}  // namespace winfs::detail
