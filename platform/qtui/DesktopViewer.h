#pragma once
// Whether the desktop has a program that opens a kind of file, decided from the desktop's own
// records rather than by waiting on an opener to give up: the MIME type of the file's
// extension, the desktop entry that `xdg-mime query default` names for it, and that entry's
// program being installed (its TryExec and the program of its Exec line).

#include <QString>

namespace qtui {

// hostFile: a host path; only its extension counts, as on Windows.  True also where the
// machine has no MIME database to tell the kind of file by (the opener then decides).
bool HasDesktopViewer(const QString& hostFile);

}  // namespace qtui
