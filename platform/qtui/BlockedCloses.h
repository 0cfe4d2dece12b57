#pragma once
// Closes asked for before a message box blocks the program's windows.  Qt drops a window
// system's close request for a window that a modal box blocks; a close requested while the
// program hung (a KEP call waiting for its answer) reaches the program only once the box that
// follows is up, and would be lost.  These are remembered and carried out after the box.  A
// close clicked while the box is up is dropped, as Windows drops it.

#include <QPointer>
#include <QWidget>
#include <vector>

namespace qtui {

// While one lives, close requests for blocked top-level windows that were made before it are
// remembered (X11 only; other platforms remember none).
class BlockedCloses {
 public:
  BlockedCloses();
  ~BlockedCloses();
  BlockedCloses(const BlockedCloses&) = delete;
  BlockedCloses& operator=(const BlockedCloses&) = delete;

  // Closes the windows asked to close meanwhile, as their close boxes would have.
  void CarryOut();
};

}  // namespace qtui
