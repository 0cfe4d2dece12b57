#pragma once
// Windows path texts on a Linux host, through a prefix folder laid out as Wine lays it out:
//
//   <prefix>/drive_c/WINDOWS/SYSTEM32
//   <prefix>/dosdevices/c: -> ../drive_c
//   <prefix>/dosdevices/z: -> /
//   <prefix>/dosdevices/e: -> /media/me/CARD      (any letter the user links)
//   <prefix>/removable                           letters marked removable ("EF")
//   <prefix>/winver                              reported Windows version ("5.1")
//
// Every failure raises vb::VbError with the number a VB program on Windows would see.
//
// Drives that are not ready.  A drive letter is "not ready" when it has no link, or when its
// link's target folder is missing or unreadable.  What callers see:
//   - a letter marked removable (SetRemovable) that is not ready: a card reader without a card.
//     File operations raise 71 "Disk not ready"; VolumeLabel raises 71.
//   - a letter that has a link whose target is gone (a mount point that went away): the same as
//     a medium taken out.  File operations raise 71; VolumeLabel raises 68.
//   - a letter with no link that is not marked removable: no such drive.  File operations
//     raise 76 "Path not found" (as Windows does); VolumeLabel raises 68.
//   - a letter whose target was seen as a mount point and is now a plain folder: the medium was
//     unmounted and the empty mount point lingers (for a moment, or for good).  As above: 71.
// A path that goes missing or unreadable because its medium went while it was in use (between
// resolving it and using it) raises 71 as well, never 53, 76 or 57.
// Drive and directory list controls report 68 for any of these (see DriveReady).
//
// Case.  Windows names are matched case-insensitively, component by component: the exact name
// first, else a folder scan comparing folded names (ASCII, Latin-1, Latin Extended-A, Greek and
// Cyrillic letters in UTF-8).  When several host names differ only by case the exact spelling
// wins, else the first in CompareNames order.  A name that does not exist keeps the caller's
// spelling, so a new file is created as the program wrote it.
//
// Hidden.  A name starting with "." is hidden (as Wine shows dot files).
//
// Names Windows cannot hold.  A host name may contain characters no Windows name can ("a*b.jpg",
// "q?.jpg", "x:y", control characters, a trailing dot or blank).  As Wine does, each such
// character is shown to the program as the private-use character U+F000 + its code ("*" ->
// U+F02A), so every listed name can be opened, copied, renamed and deleted by that Windows
// name, and a Windows name holding such a character creates the host name with the original
// character.
//
// Current directory.  The program never changes folder: the current drive is C and each drive's
// current folder is its root, so relative paths ("a\\b", "\\a", "D:a") resolve from there.

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace winfs {

// ---- Prefix -------------------------------------------------------------------------------

// $VELMORA_PREFIX, else $XDG_DATA_HOME/velmora, else ~/.local/share/velmora.
std::filesystem::path DefaultPrefix();
// Makes p the active prefix (tests, setup); creates nothing.
void UsePrefix(const std::filesystem::path& p);
// The active prefix; DefaultPrefix() until UsePrefix is called.
const std::filesystem::path& ActivePrefix();
// Creates drive_c/WINDOWS/SYSTEM32, dosdevices/, c: -> ../drive_c and z: -> / where missing.
// Existing links are kept.  Raises VbError on failure.
void CreatePrefix(const std::filesystem::path& p);
// True when p is a Wine prefix (Wine's registry system.reg beside dosdevices/), one KEP may run in.
bool IsWinePrefix(const std::filesystem::path& p);
// The ANSI code page Wine last ran the prefix's programs in, as its registry records it
// (HKLM\System\CurrentControlSet\Control\Nls\Codepage ACP); 1252 when it records none.
// Making a prefix active makes this the program's ANSI code page (vb::AnsiCodePage).
int PrefixAnsiCodePage(const std::filesystem::path& p);
// Links a drive letter (any case) of the active prefix to a host folder, replacing an existing
// link.  The target need not exist (the drive is then not ready).  Bad letter: VbError 5.
void LinkDrive(char letter, const std::filesystem::path& target);
// Letter (upper case) -> absolute, lexically normal link target, for every link present.
std::map<char, std::filesystem::path> DriveLinks();
// Marks a letter removable (stored in the prefix); decides 71 versus 76/68 for a missing drive.
void SetRemovable(char letter, bool removable);
bool IsRemovable(char letter);

// ---- Paths --------------------------------------------------------------------------------

// Maps a Windows path ("C:\\Glenvue\\x.jpg", "x.jpg", "\\a", "D:a"; "/" is also a separator)
// to a host path.  "." and ".." are applied textually and never climb above the drive root.
// Existing components are found case-insensitively; missing ones keep the given case.
// Errors: empty path, UNC path, forbidden characters (< > " | ? * control characters, ':' other
// than after the drive letter) -> 52; drive not ready -> 71 or 76 (see above).
// Symbolic links inside a drive are followed wherever they point.
std::filesystem::path ToHost(const std::string& winPath);
// The Windows path of a host path through the drive links, the longest link target first
// (a z: -> / link catches everything).  Drive roots end with "\\" ("C:\\"), other folders do
// not.  nullopt when no link covers the path.
std::optional<std::string> ToWindows(const std::filesystem::path& host);

// The Windows name of one host name component (see "Names Windows cannot hold" above) and back.
std::string WindowsName(const std::string& hostName);
std::string HostName(const std::string& windowsName);

// ---- Listing (names only, no folder part) -------------------------------------------------

enum Attr : unsigned {
  kNormal = 0,
  kReadOnly = 1,
  kHidden = 2,
  kSystem = 4,
  kVolume = 8,
  kDirectory = 16,
  kArchive = 32
};

// Files of a folder matching any of ";"-separated masks (blanks around masks are ignored;
// "*" and "?" match case-insensitively; "*.*" matches every name, "*." names without a dot),
// in the order of a VB file list box (CompareNames).  As on Windows, a mask matches a name or
// its 8.3 short name: "*.tif" lists "x.tiff" (X~1.TIF); "*.jpg" does not list "x.jpeg"
// (X~1.JPE).  Missing folder: 76.
std::vector<std::string> ListFiles(const std::string& winDir, const std::string& patterns = "*.*",
                                   bool includeHidden = false);
// The Windows name of the file a path names, found as ToHost finds it (exact spelling first,
// else case-insensitively) without listing the folder; nullopt when there is no such file (a
// folder or a hidden name does not count).  Missing folder: 76; a bad name: 52.
std::optional<std::string> FindFile(const std::string& winPath);
// Sub-folders of a folder, same order, without "." and "..".
std::vector<std::string> ListDirs(const std::string& winDir, bool includeHidden = false);
bool MatchesPattern(const std::string& name, const std::string& patterns);
// The list-box order: case-insensitive, punctuation before digits before letters, "-" and "'"
// only counted when the names are otherwise equal, accents after base letters.
// <0, 0 or >0.  Names equal but for case compare by their bytes, so the order is total.
int CompareNames(const std::string& a, const std::string& b);
// True when the text holds "*" or "?".
bool HasWildcards(const std::string& text);

// ---- File operations (VB statements) ------------------------------------------------------

bool FileExists(const std::string& winPath);  // a file (not a folder); never throws
bool DirExists(const std::string& winPath);   // a folder; never throws
long long FileLen(const std::string& winPath);
std::time_t FileDateTime(const std::string& winPath);  // last modification
// Only kReadOnly has an effect (the write bits); kHidden, kSystem, kArchive are accepted and
// ignored.  kVolume or kDirectory: VbError 5.
void SetAttr(const std::string& winPath, unsigned attrs);
// Copies a file, overwriting the target.  The copy is written to a temporary file in the target
// folder and renamed into place, so a failed copy never leaves a half file instead of the old
// one.  Attributes and modification time are copied.  Target read-only or a folder: 75; source
// and target the same file: 70.
void FileCopy(const std::string& src, const std::string& dst);
// Deletes a file; a name with wildcards deletes every (non-hidden) match and raises 53 when
// none matched.  A read-only file: 75.  A folder: 53 (Kill only sees files).
void Kill(const std::string& winPath);
void MkDir(const std::string& winPath);  // existing: 75; parent missing: 76
// The current folder of the current drive ("C:\\", "C:\\WINDOWS").
std::string CurDir();
// The current folder of a given drive.
std::string CurDir(char drive);

// ---- Drives -------------------------------------------------------------------------------

// Letters that have a link or are marked removable, upper case, sorted.
std::vector<char> Drives();
// The link exists and its target folder exists and is readable.  Never throws.
bool DriveReady(char letter);
// First line of .windows-label at the drive root (trailing blanks, CR, LF cut); "" when none.
// Not ready: 71 for a removable letter, else 68.
std::string VolumeLabel(char letter);

// ---- System -------------------------------------------------------------------------------

std::string WindowsDirectory();  // "C:\\WINDOWS" (no trailing backslash)
std::string SystemDirectory();   // "C:\\WINDOWS\\SYSTEM32"
// Read from <prefix>/winver ("5.1"); 5.1 when missing or unreadable.
int WindowsMajorVersion();
int WindowsMinorVersion();
void SetWindowsVersion(int major, int minor);
// The running executable's folder as a Windows path (App.Path: no trailing backslash except at
// a drive root); "" when no drive covers it.  SetProgramFolder overrides it (tests); an empty
// text restores the real one.
std::string ProgramFolder();
void SetProgramFolder(const std::string& winPath);
// The text after the program name (Command$).  By default built from the process arguments
// (joined by blanks, arguments holding blanks in double quotes).
std::string CommandLine();
void SetCommandLine(const std::string& text);

// ---- Errors -------------------------------------------------------------------------------

// The VB error number for a POSIX errno.  parentMissing turns ENOENT into 76 instead of 53.
int ErrnoToVb(int err, bool parentMissing = false);
// Raises vb::VbError(ErrnoToVb(err, parentMissing)) about the file winPath.
[[noreturn]] void RaiseFromErrno(int err, const std::string& winPath, bool parentMissing = false);

}  // namespace winfs
