// A held key repeats as Windows repeats it: key presses one after the other and one release at
// the end.  The X server's own repetition sends a release before every repeated press, which Qt
// does not always recognise (it looks for the press before it has arrived); with XKB's
// detectable auto-repeat the server leaves those releases out.
#include <QGuiApplication>

#include "platform/qtui/Keys.h"

// After Qt: Xlib's macros (KeyPress, None ...) would clash with Qt's names.
#include <X11/XKBlib.h>

namespace qtui {

void UseDetectableAutoRepeat() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return;
  int supported = 0;
  XkbSetDetectableAutoRepeat(x11->display(), 1, &supported);
}

}  // namespace qtui
