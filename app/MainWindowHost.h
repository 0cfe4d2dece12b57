#pragma once
// Puts the main window on the screen: its window, the resizer that keeps its layout in
// proportion (with the window's size and place kept in the program's INI file between runs),
// and the resizer's notification to the window.

namespace photo_pages {
class frmMain;
}

namespace app {

// Loads the main window (its start-up runs), attaches the resizer and shows it.  Raises
// forms::ProgramEnded when the start-up ended the program.
void StartMainWindow();

}  // namespace app
