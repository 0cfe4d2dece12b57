#pragma once
// Opening a document or web page with its associated program.

#include <string>

namespace core {

// Opens `file` with the program associated with it.  On failure (a shell result from 0 to 32)
// the reason is shown and the result is false.  With no parameters and no directory the window
// is shown normally whatever `showCommand` asks; a file whose name holds ".EXE" is opened hidden.
// On this platform the document is handed to the desktop's opener: `parameters` are not passed
// on, and `operation` and `window` have no effect.  Errors are ignored.
bool GShell(const std::string& file, long showCommand, const std::string& parameters,
            const std::string& directory, const std::string& operation = "open", long window = 0);

// The text shown for a failing shell result (0 to 32).
std::string ShellErrorText(long result);
// Shows that text as GShell does; the platform calls it too when an open fails after GShell
// returned.
void ShowShellError(long result);

}  // namespace core
