#pragma once
// The operating-system side of the program: the Windows and system directories, the Windows
// version, the INI folder, where the two INI files lie, and reading and writing INI values.

#include <string>
#include <vector>

namespace core {

// The INI folder (FindIniDir).
std::string GetIniDir();
// "X:\APPRAISE\" on the system drive when it exists, else the Windows directory with "\"; on
// Windows Vista without that folder the user is told to reinstall.  Never empty.
std::string FindIniDir();
// The APPRAISE folder (and gAppraiseDir := it) or the Windows directory (gAppraiseDir := "").
std::string FindAppraisalDir();
// The Windows directory with a trailing "\"; "" when it cannot be had.
std::string GetWinDir();
// The system directory as the platform gives it.
std::string GetSystemDir();
// Sets gbOsVista (major version 6); returns the major version.
int GetWinVersion();

// Path of one of the program's INI files: the INI folder's, else the Windows directory's.
// When neither exists and quiet is false the user is asked whether to go on; any answer but
// Yes ends the program.
std::string FindConfigFile(const std::string& fileName, bool quiet);
// Sets gKepIniPath the same way for "KEP.INI".
void Check4KepIni(bool quiet);

// The value of a key, as stored (not trimmed), or the default when the key or file is missing.
// Never raises.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue);
// Writes key=value, creating the file and section when needed.  Never raises; false when the
// file could not be written (callers that must tell the user look at it).
bool WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);
// Removes a key line.  A failure is silent.
void DeleteIniKey(const std::string& file, const std::string& section, const std::string& key);
// The key names of a section, in file order ("" when the file or section is missing).
std::vector<std::string> IniKeyNames(const std::string& file, const std::string& section);

}  // namespace core
