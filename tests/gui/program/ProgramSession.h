#pragma once
// The real velmora program under a private X server, beside the KEP stand-in, on a throw-away
// prefix: the screen size is chosen per test, the program is found by its windows and driven
// as a user and a window manager would (keys through xdotool, WM_DELETE_WINDOW to close).
// Every wait counts the program's own time (tests/gui/support/ProgramClock.h), not the wall
// clock's; a wait that gives up says why and keeps the screen and the control map, and the
// session's folder is kept when the test failed.

// Before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/integration/KepProcess.h"
#include "tests/support/TempPrefix.h"

namespace program {

// An Xvfb server on a free display (-displayfd), with a connection of our own to it.
class XServer {
 public:
  XServer(int width, int height);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  const std::string& Name() const { return name_; }  // ":N"
  Display* display() const { return display_; }
  // Starts openbox on the server (it ends with the server).
  void StartWindowManager();
  // Ends the server as a logout does (the window manager goes with it); nothing may use the
  // display afterwards.
  void Kill();
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  pid_t pid_ = -1;
  pid_t wm_ = -1;
  std::string name_;
  Display* display_ = nullptr;
  int width_;
  int height_;
};

// Where a top-level window stands and how large it is, in pixels.
struct WindowBox {
  int x = 0, y = 0, width = 0, height = 0;
  bool Within(int w, int h) const { return x >= 0 && y >= 0 && x + width <= w && y + height <= h; }
};

class ProgramSession {
 public:
  // kepOptions go to the KEP stand-in before its report (--slow, --hang-at ...).
  ProgramSession(int screenWidth, int screenHeight, std::vector<std::string> kepOptions = {});
  ~ProgramSession();

  // VELMORA.INI: the program's settings without the keys it writes back at exit, plus `extra`
  // (whole sections).
  void WriteIni(const std::string& extra = "");
  std::string Ini() const;
  // What the program has done to VELMORA.INI so far: how often it opened it (every read and
  // every write reads it once) and how often it replaced it (every write that changes it).
  struct IniTraffic {
    int opens = 0;
    int replacements = 0;
  };
  IniTraffic Traffic();
  // The stand-in's transactions so far, one line each.
  std::vector<std::string> KepLog() const;

  // Starts velmora; Running() until it ends.
  void Start();
  bool Running();
  // Waits for the end; the exit status (128 + signal), nullopt when it is still running.
  std::optional<int> WaitForExit(std::chrono::milliseconds time);
  // Polls done until it holds (true) or the wait gives up (false), after `time` of the program's
  // own time or when it ended or stopped ticking.
  bool WaitUntil(const std::string& what, std::chrono::milliseconds time,
                 const std::function<bool()>& done);

  // Sends the program a signal.
  void Signal(int sig);

  // The first shown top-level window whose title contains `part`, waiting up to `time` while the
  // program runs; 0 when none shows.
  Window WaitForWindow(const std::string& part, std::chrono::milliseconds time);
  // The main window ("... -  Version ..."), shown once the whole start-up has run.
  Window WaitForMainWindow() { return WaitForWindow(" -  Version ", std::chrono::minutes(2)); }
  // Where the program's control map shows the first shown item whose line starts with `start`
  // ("control frmMain cboGeneral(1) ", "tab frmMain TabData 2 ") and ends with `end` ("menu ",
  // "\"Help\""), screen pixels; waits up to `time`.
  std::optional<WindowBox> WaitForItem(const std::string& start, std::chrono::milliseconds time,
                                       const std::string& end = "");
  WindowBox Box(Window w) const;
  // The window with the frame a window manager put around it, on the screen.
  WindowBox Frame(Window w) const;
  std::string Title(Window w) const;
  // True when the window manager shows the window maximised (_NET_WM_STATE).
  bool Maximised(Window w) const;
  // The smallest size the window lets a window manager give it (WM_NORMAL_HINTS); 0 x 0 when
  // it names none.
  std::pair<int, int> MinimumSize(Window w) const;
  // True when the outermost pixel columns and rows of the client area below `top` show one
  // colour: the controls were laid out inside the window, none is cut off at its edge.
  bool EdgesClear(Window w, int top) const;
  // Presses Return in a window through xdotool (focus, then the key).
  void PressReturn(Window w) { PressKeys(w, "Return"); }
  // Presses keys in a window ("ctrl+r"), or types a text into it.
  void PressKeys(Window w, const std::string& keys);
  void Type(Window w, const std::string& text);
  // Clicks the left button at a point of the window with the real mouse (xdotool).
  void Click(Window w, int x, int y);
  // Clicks the middle of a box on the screen.
  void ClickCentre(const WindowBox& box);
  // Asks the window to close, as a window manager's close box does.
  void Close(Window w);
  // Lets the program run `time` of its own time (its start-up yields, its first layout).
  void Settle(std::chrono::milliseconds time);

  XServer& x() { return *x_; }

 private:
  void WriteReport();
  std::filesystem::path MapFile() const { return prefix_.Root() / "controls.map"; }
  Window FindShown(Window parent, const std::string& part, int depth) const;

  TempPrefix prefix_;
  std::filesystem::path runtime_;
  std::unique_ptr<XServer> x_;
  std::unique_ptr<KepProcess> kep_;
  pid_t pid_ = -1;
  int status_ = -1;
  int iniWatch_ = -1;  // inotify on the INI folder
  IniTraffic traffic_;
};

}  // namespace program
