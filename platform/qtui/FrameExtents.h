#pragma once
// The frame a window manager puts around a window.  On X it says so in the window's
// _NET_FRAME_EXTENTS property when it frames the window; Qt does not always learn it in time
// to place a window by its frame.

#include <QMargins>
#include <QWidget>
#include <functional>

namespace qtui {

// Calls `changed` with the window and its frame's widths each time a window manager sets the
// frame of one of the program's windows (X11 only; set once).
void WatchFrameExtents(std::function<void(WId, QMargins)> changed);

}  // namespace qtui
