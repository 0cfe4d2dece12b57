#pragma once
// First-run setup of a user's Windows prefix: drives, the program folder, the INI folder with a
// first VELMORA.INI and, on request, the demonstration data (KEP.INI, a report for the KEP
// stand-in and a capture folder full of photographs).
//
// Every step leaves what is already there alone, so running the setup again changes nothing:
// an existing VELMORA.INI, KEP.INI, velmod.dat, empty.jpg, report or picture is never
// overwritten.  Where the installation's copy of a file the user may edit differs from the
// user's, it is put beside it as <name>.new.  Only the help file, which documents the program,
// is replaced when its content differs.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace setup {

struct Options {
  std::filesystem::path prefix;     // the prefix to create or complete
  std::filesystem::path resources;  // the installed resources (program/ and demo/)
  // Folders whose sub-folders are mounted removable media (/media/$USER, /run/media/$USER).
  std::vector<std::filesystem::path> mediaRoots;
  bool demo = false;
  // Demo pictures made by demo/make-photos; empty: the setup runs make-photos itself.
  std::filesystem::path photos;
  int photoCount = 32;  // camera pictures make-photos makes when the setup runs it
  // A Wine prefix (the one KEP is installed in) to adopt: `prefix` becomes a link to it, so that
  // Velmora's drives are Wine's and every "C:\..." names the same file for both programs.
  std::filesystem::path winePrefix;
};

// Runs every step, writing one line per action to log.  Raises vb::VbError for a failing file
// operation and std::runtime_error for missing resources or a failed picture generation.
void Run(const Options& options, std::ostream& log);

// The resources folder: $VELMORA_RESOURCES, else <program>/../share/velmora when installed,
// else the source tree's resources folder.  Empty when none of them holds the program files.
std::filesystem::path FindResources();

// /media/$USER and /run/media/$USER (user from $USER, else the password database).
std::vector<std::filesystem::path> DefaultMediaRoots();

// ---- Steps (Run calls them in this order; exposed for the command's own use) -------------

// Makes `prefix` a link to the Wine prefix `wine` (nothing when it already is that prefix or a
// link to it).  Raises std::runtime_error when `wine` is no Wine prefix or `prefix` holds
// something else.
void AdoptWinePrefix(const std::filesystem::path& prefix, const std::filesystem::path& wine,
                     std::ostream& log);
// Creates the prefix and makes it the active one.
void MakePrefix(const std::filesystem::path& prefix, std::ostream& log);
// Links each folder under the media roots that no drive links yet to the next free letter
// from D: on, marked removable.
void LinkRemovableMedia(const std::vector<std::filesystem::path>& roots, std::ostream& log);
// C:'s volume label, C:\Velmora with its installed files, C:\GLENVUE, C:\APPRAISE\VELMORA.INI.
void InstallProgram(const std::filesystem::path& resources, std::ostream& log);
// KEP.INI, KEP's folders, the demo report with its placed pictures, and the capture folder.
void InstallDemo(const Options& options, std::ostream& log);

}  // namespace setup
