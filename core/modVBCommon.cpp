#include "core/modVBCommon.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/ErrTrap.h"
#include "core/PictureKeeper.h"
#include "platform/forms/App.h"
#include "platform/forms/TextBox.h"
#include "platform/vbrt/Convert.h"
#include "platform/vbrt/Strings.h"
#include "platform/vbrt/VbError.h"
#include "platform/winfs/WinFs.h"

namespace core {

namespace {

constexpr const char* kCrLf = "\r\n";

forms::App& App() {
  return forms::App::Current();
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// gCurrentProc as shown to the user: up to a NUL (a name never assigned), without trailing
// blanks.
std::string CurrentProcName() {
  std::string name = gCurrentProc.str();
  name = name.substr(0, name.find('\0'));
  return vb::RTrim(name);
}

struct PathParts {
  std::string drive, directory, name, extension;
};

PathParts SplitPath(const std::string& path) {
  PathParts parts;
  std::string work = vb::UCase(vb::Trim(path));
  if (work.empty()) return parts;
  if (work.find(':') == 1) {
    parts.drive = work.substr(0, 2);
    work.erase(0, 2);
  }
  if (const auto bracket = work.find(']'); bracket != std::string::npos) work.erase(0, bracket + 1);
  const auto dot = work.find('.');
  if (dot != std::string::npos) {
    if (dot + 1 < work.size()) parts.extension = work.substr(dot + 1);
    work.erase(dot);
  }
  const auto slash = work.rfind('\\');
  if (slash == std::string::npos) {
    parts.name = work;
  } else {
    parts.directory = work.substr(0, slash + 1);
    parts.name = work.substr(slash + 1);
  }
  return parts;
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The folder part of a path (up to and including its last separator or the drive's colon) and
// the last name.
std::pair<std::string, std::string> SplitLast(const std::string& path) {
  const auto cut = path.find_last_of("\\/:");
  if (cut == std::string::npos) return {std::string(), path};
  return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

// What Dir(path, vbDirectory) <> "" tells: a path ending in "\" names an existing folder;
// otherwise a file or folder matches the last name (wildcards allowed), hidden ones excluded.
// A folder that is missing gives 76, a drive that is not ready 71 or 76.
bool DirectoryListingFinds(const std::string& path) {
  if (vb::Trim(path).empty()) return false;
  if (IsSeparator(path.back())) {
    std::error_code ec;
    return std::filesystem::is_directory(winfs::ToHost(path), ec);
  }
  auto [folder, name] = SplitLast(path);
  if (folder.empty()) folder = winfs::CurDir();
  if (!winfs::ListFiles(folder, name).empty()) return true;
  for (const std::string& dir : winfs::ListDirs(folder)) {
    if (winfs::MatchesPattern(dir, name)) return true;
  }
  return false;
}

}  // namespace

// ---- Error report and debug trace ---------------------------------------------------------

int ErrReport(int errNo, const std::string& description) {
  if (errNo == vb::kDatabaseLocked) {
    App().MsgBox(
        "The databases may be corrupt.  Please run the rebuild programs. (Double Click on the "
        "icons) and restart Folio Manager.");
    App().End();
  }
  switch (errNo) {
    case vb::kDeviceIO:
    case vb::kDiskFull:
    case vb::kDeviceUnavailable:
    case vb::kDiskNotReady:
      break;
    default:
      return kRaise;
  }
  const std::string text = description.empty() ? vb::ErrorText(errNo) : description;
  const std::string prompt =
      text + "." + kCrLf + "Error #" + vb::Str(errNo) + " in module " + CurrentProcName() + ".";
  switch (App().MsgBox(prompt, forms::vbAbortRetryIgnore, "Error")) {
    case forms::vbRetry:
    case forms::vbOK:
      return kRetry;
    case forms::vbAbort:
    case forms::vbCancel:
      return kLeave;
    case forms::vbIgnore:
      return kNext;
    default:
      return kRaise;
  }
}

void DebugTrace(const std::string& where, const std::string& what) {
  gTraceCount = gTraceCount >= 32767 ? 1 : static_cast<std::int16_t>(gTraceCount + 1);
  const std::string commandLine = vb::UCase(winfs::CommandLine());
  if (Contains(commandLine, "/2")) {
    gbTraceDoEvents = vbTrue;
    TraceDoEvents();
  }
  if (!Contains(commandLine, "/D")) return;
  const std::string value = vb::UCase(what);
  const bool picture = Contains(value, ".JPG") || Contains(value, ".BMP");
  if (Contains(commandLine, "/S") && picture) return;
  App().MsgBox(vb::CStr(gTraceCount) + ":" + where + "," + what);
}

void TraceDoEvents() {
  if (gbTraceDoEvents) App().DoEvents();
}

// ---- Paths --------------------------------------------------------------------------------

void ParseFileName(const std::string& path, std::string& drive, std::string& directory,
                   std::string& name, std::string& extension) {
  Trap trap("ParseFileName");
  trap.Step([&] {
    PathParts parts = SplitPath(path);
    drive = std::move(parts.drive);
    directory = std::move(parts.directory);
    name = std::move(parts.name);
    extension = std::move(parts.extension);
  });
}

std::string GetFileBaseName(const std::string& path) {
  std::string drive, directory, name, extension;
  ParseFileName(path, drive, directory, name, extension);
  return name;
}

std::string GetFileBaseName2(const std::string& path) {
  return GetFileBaseName(path);
}

std::string GetFileDrive(const std::string& path) {
  std::string drive, directory, name, extension;
  ParseFileName(path, drive, directory, name, extension);
  return drive;
}

std::string GetFileNameExt(const std::string& path) {
  std::string drive, directory, name, extension;
  ParseFileName(path, drive, directory, name, extension);
  return name + "." + extension;
}

std::string StripRChar(std::string& text) {
  Trap trap("StripRChar");
  trap.Step([&] {
    std::string trimmed = vb::Trim(text);
    if (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    text = trimmed;
  });
  return text;
}

std::string CkRSlash(std::string& path) {
  Trap trap("CkRSlash");
  std::string result;
  trap.Step([&] {
    result = vb::Trim(path);
    if (result.empty() || result.back() == '\\') return;
    result += '\\';
    path = result;
  });
  return result;
}

std::string CkRSlash(const std::string& path) {
  std::string copy = path;
  return CkRSlash(copy);
}

std::string StripTrashcan(const std::string& path) {
  const std::string s = vb::UCase(vb::Trim(path));
  const std::string kTrash = std::string(kTrashName) + "\\";
  if (s.size() >= kTrash.size() && s.compare(s.size() - kTrash.size(), kTrash.size(), kTrash) == 0)
    return s.substr(0, s.size() - kTrash.size());
  return path;
}

// ---- Files --------------------------------------------------------------------------------

bool FileExists(const std::string& path) {
  Trap trap("FileExists");
  trap.Expect({vb::kFileNotFound, vb::kPathNotFound}, kLeave);
  bool result = false;
  trap.Step([&] { result = !winfs::DirExists(path) && winfs::FileLen(path) >= 1; });
  return result;
}

bool DirExists(const std::string& path) {
  Trap trap("DirExists");
  trap.Expect({vb::kFileNotFound, vb::kPathNotFound}, kLeave);
  bool result = false;
  trap.Step([&] { result = DirectoryListingFinds(path); });
  return result;
}

bool DelPict(const std::string& file, bool quiet, std::string& prompt) {
  App().DoEvents();
  Trap trap("DelPict");
  // A read-only file: clear its attributes and delete again, once; a file that still cannot be
  // deleted goes to the error report like any other error.
  bool attributesCleared = false;
  trap.OnError([&](const vb::VbError& e) -> std::optional<int> {
    if (e.Number() != vb::kPathFileAccess || attributesCleared) return std::nullopt;
    attributesCleared = true;
    winfs::SetAttr(file, winfs::kNormal);
    return kRetry;
  });
  bool result = false;
  if (SplitPath(file).name.empty()) return false;
  const auto split = SplitLast(vb::Trim(file));
  const std::string folder = split.first.empty() ? winfs::CurDir() : split.first;
  const std::string name = split.second;
  // No file name holds wildcards: a pattern is never taken for a list of files to delete.
  if (winfs::HasWildcards(name)) return false;
  // The one file is looked up, not the folder listed: deleting many stays linear.
  const std::string sep = folder.empty() || IsSeparator(folder.back()) ? "" : "\\";
  bool found = false;
  if (!trap.Step([&] {
        try {
          found = winfs::FindFile(folder + sep + name).has_value();
        } catch (const vb::VbError& e) {
          if (e.Number() != vb::kPathNotFound && e.Number() != vb::kFileNotFound) throw;
        }
      })) {
    return result;
  }
  if (!found) return false;
  if (!quiet) {
    if (prompt.empty()) prompt = "Delete " + file + "?";
    if (App().MsgBox(prompt, forms::vbYesNo) != forms::vbYes) return false;
  }
  trap.Step([&] {
    winfs::Kill(file);
    result = true;
  });
  if (quiet) trap.Step([] { App().DoEvents(); });
  return result;
}

bool DelPict(const std::string& file, bool quiet) {
  std::string prompt;
  return DelPict(file, quiet, prompt);
}

bool SameFileBytes(const std::string& winA, const std::string& winB) {
  try {
    if (!winfs::FileExists(winA) || !winfs::FileExists(winB)) return false;
    std::ifstream a(winfs::ToHost(winA), std::ios::binary);
    std::ifstream b(winfs::ToHost(winB), std::ios::binary);
    if (!a || !b) return false;
    return std::equal(std::istreambuf_iterator<char>(a), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(b), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    return false;
  }
}

void MakeDirNotice(std::string& directory) {
  StripRChar(directory);
  const std::string path = directory.size() == 2 ? directory + "\\" : directory;
  bool found = false;
  try {
    found = DirectoryListingFinds(path);
  } catch (const vb::VbError& e) {
    // a missing parent folder lists nothing; creating the directory then reports it
    if (e.Number() != vb::kPathNotFound && e.Number() != vb::kFileNotFound) throw;
  }
  if (found) return;
  App().MsgBox("Creating directory " + directory + ".", forms::vbOKOnly, "Creating Directory");
  winfs::MkDir(path);
}

// ---- Texts --------------------------------------------------------------------------------

std::string CleanFileName(const std::string& text) {
  // Control characters, ! " # $ % & ' * + / : ; < = > ? @ \ ^ ` ~ and DEL, in code order.
  static constexpr unsigned char kRanges[][2] = {{1, 31},  {33, 39}, {42, 43}, {47, 47},  {58, 64},
                                                 {92, 92}, {94, 94}, {96, 96}, {126, 127}};
  std::string result = text;
  for (const auto& range : kRanges) {
    for (int code = range[0]; code <= range[1]; ++code) {
      try {
        result = RemoveChar(result, static_cast<char>(code));
      } catch (const vb::VbError&) {
        // errors are ignored here
      }
    }
  }
  return result;
}

std::string RemoveChar(const std::string& text, char character) {
  std::string result;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c == character) {
      const char before = i == 0 ? c : text[i - 1];
      const char after = i + 1 == n ? c : text[i + 1];
      if (before == ' ' && after == ' ' && !result.empty()) result.pop_back();
    } else {
      result += c;
    }
    App().DoEvents();
  }
  return result;
}

std::string ParseLR(const std::string& text, const std::string& side,
                    const std::string& delimiter) {
  const auto pos = text.find(delimiter);
  if (pos == std::string::npos || side.empty()) return {};
  const char which = side[0];
  if (which == 'L' || which == 'l') return text.substr(0, pos);
  if (which == 'R' || which == 'r') return text.substr(pos + delimiter.size());
  return {};
}

std::string IntToStr(std::int16_t value) {
  return vb::CStr(value);
}

std::string PadLeft(const std::string& text, int width, char pad) {
  if (width < 0) vb::Raise(vb::kInvalidProcedureCall);
  return vb::Right(std::string(static_cast<std::size_t>(width), pad) + vb::Trim(text), width);
}

VbBool IniBool(float value) {
  return ToVbBool(value == 1.0f);
}

std::string ReplaceString(const std::string& text, const std::string& find,
                          const std::string& replacement) {
  if (find.empty()) return text;
  std::string result;
  std::size_t from = 0;
  for (auto pos = text.find(find); pos != std::string::npos; pos = text.find(find, from)) {
    result.append(text, from, pos - from);
    result += replacement;
    from = pos + find.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

void SelectAllText(forms::TextBox& box) {
  box.SetSelStart(0);
  box.SetSelLength(static_cast<int>(vb::Len(box.Text())));
}

}  // namespace core
