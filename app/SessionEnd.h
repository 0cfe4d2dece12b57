#pragma once
// How the program ends when its desktop session does.  A terminating signal (SIGTERM, SIGHUP:
// logout, shutdown, kill) closes the main window as its close box does, so its settings are
// written once, and ends the program; the signal is taken up by the event loop, not inside the
// signal handler.  A display that goes away ends the program at once: the windows cannot be
// closed any more, but the main window's settings are still written.

namespace app {

// Catches the terminating signals (once the application object exists).
void EndWithTheSession();
// Keeps the main window's settings should the program be made to exit without returning from
// main (the display gone).  Called once the start-up has run.
void KeepSettingsAtAnAbruptExit();
// main is returning: an exit from now on is the program's own.
void MainReturns();

}  // namespace app
