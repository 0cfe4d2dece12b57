#pragma once
// File helpers of the setup: folders and files by Windows path in the active prefix.

#include <filesystem>
#include <ostream>
#include <string>

namespace setup {

enum class Existing {
  kKeep,  // a file that is there stays as it is (pictures, reports)
  // A file the user may have edited stays as it is; when the installation's copy differs, that
  // copy goes beside it under the name + ".new" for the user to compare.
  kKeepOfferNew,
  kReplaceWhenDifferent,  // a file no user edits (the help) is brought up to date
};

// Makes the folder and any missing parents ("C:\\KEPDATA\\REPORTS").
void EnsureDir(const std::string& winDir, std::ostream& log);

// Copies a host file to a Windows path.  The copy goes to a temporary file beside the target
// and is renamed into place, so an interrupted setup never leaves half a file.  Returns true
// when the target was written (and says so in log); with kKeepOfferNew an existing target is
// reported as kept, and a ".new" copy written beside it is named in log.
bool InstallFile(const std::filesystem::path& source, const std::string& winTarget,
                 Existing existing, std::ostream& log);

// Writes text to a Windows path unless a file of at least one byte is there.
bool WriteFileIfMissing(const std::string& winTarget, const std::string& text, std::ostream& log);

// The contents of a host file; std::runtime_error when it cannot be read.
std::string ReadHostFile(const std::filesystem::path& file);

// "C:\\GLENVUE" + "IMG_0001.JPG" -> "C:\\GLENVUE\\IMG_0001.JPG".
std::string JoinWin(const std::string& dir, const std::string& name);

}  // namespace setup
