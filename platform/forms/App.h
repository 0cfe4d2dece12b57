#pragma once
// Program-wide services a VB program takes from its runtime: message boxes,
// modal forms, DoEvents, End, the screen, the shell and the previous-instance
// test.  Two implementations exist: the Qt one (platform/qtui) and the headless
// one (platform/forms/HeadlessApp.h) that tests script.

#include <exception>
#include <string>

namespace forms {

class Form;

// MsgBox button and icon flags and results, with VB's values.
enum MsgBoxStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton1 = 0,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
  vbApplicationModal = 0,
  vbSystemModal = 4096,
};

enum MsgBoxResult : int {
  vbOK = 1,
  vbCancel = 2,
  vbAbort = 3,
  vbRetry = 4,
  vbIgnore = 5,
  vbYes = 6,
  vbNo = 7,
};

enum MousePointerKind : int { vbDefault = 0, vbArrow = 1, vbHourglass = 11 };

// Thrown by App::End(): unwinds every running procedure; the event dispatcher
// (or the test) catches it, and the program stops without unload events.
struct ProgramEnded : std::exception {
  const char* what() const noexcept override { return "program ended"; }
};

class App {
 public:
  virtual ~App() = default;

  // The App object: title, program folder (Windows path with no trailing "\"),
  // version numbers, EXE name.
  virtual std::string Title() const = 0;
  virtual std::string Path() const = 0;
  virtual int Major() const = 0;
  virtual int Minor() const = 0;
  virtual int Revision() const = 0;
  virtual bool PrevInstance() = 0;  // another instance holds the lock

  // MsgBox(prompt, buttons, title): an empty title shows Title().
  virtual int MsgBox(const std::string& prompt, int buttons = vbOKOnly,
                     const std::string& title = {}) = 0;

  // Shows the form modally; returns once it is unloaded (or hidden).
  virtual void ShowModal(Form& form) = 0;
  // A modeless Show (the main window).
  virtual void Show(Form& form) = 0;
  // Processes pending events; returns the number of open forms.
  virtual int DoEvents() = 0;
  // Code that yields per item of a long run (PacedRepaints) asks that DoEvents repaint its
  // windows at a screen's pace rather than at every call; every other event is still handled at
  // each call.  Nests; an App that paints nothing ignores it.
  virtual void PaceRepaints(bool /*on*/) {}
  // Ends the program at once: no QueryUnload/Unload.  Throws ProgramEnded.
  [[noreturn]] virtual void End() = 0;
  virtual bool Ended() const = 0;

  // Screen size in twips and twips per pixel.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual int TwipsPerPixelX() const { return 15; }
  virtual int TwipsPerPixelY() const { return 15; }
  // Screen.MousePointer (0 default, 11 hourglass).
  virtual void SetMousePointer(int pointer) = 0;
  virtual int MousePointer() const = 0;

  // Brings the top-level window with this title to the front (AppActivate:
  // an exact title first, else one that begins with it; the program's own
  // Title() finds its window, see OwnWindowTitled); false when none has it.
  virtual bool BringToFront(const std::string& title) = 0;
  // Opens a document or a web address with its associated program in a window shown as
  // showCommand asks (ShellExecute's: 0 hidden, 1 normal, 3 maximized ...); returns a
  // ShellExecute-style code: > 32 success, 2 file not found, 31 no association.
  virtual long ShellOpen(const std::string& target, const std::string& workingDir = {},
                         int showCommand = 1) = 0;

  // The one App in force.
  static App& Current();
  static void Install(App* app);  // not owned; nullptr uninstalls
};

// While it lives, DoEvents repaints at a screen's pace (App::PaceRepaints): for a loop whose
// steps are many and short (the search, folder after folder).  The state at its end is painted
// in full once the code returns to the event loop.  Not for a step that shows a state and then
// works long: that state could wait for the next DoEvents to appear.
class PacedRepaints {
 public:
  PacedRepaints() { App::Current().PaceRepaints(true); }
  ~PacedRepaints() { App::Current().PaceRepaints(false); }
  PacedRepaints(const PacedRepaints&) = delete;
  PacedRepaints& operator=(const PacedRepaints&) = delete;
};

// The shown form AppActivate finds by title: the exact caption first, else a caption that
// begins with the title.  Windows gives every program a hidden window captioned with its own
// title, so that title activates the program: its modal dialog when one is up, else its
// first shown window (the main window).  nullptr when no form is found.
Form* OwnWindowTitled(const std::string& title, const std::string& programTitle);

}  // namespace forms
