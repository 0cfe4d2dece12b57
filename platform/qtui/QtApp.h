#pragma once
// The App services on Qt: message boxes, modal and modeless forms, DoEvents,
// End, the screen, the mouse pointer, bring-to-front, shell open and the
// previous-instance test.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;

#include "platform/forms/App.h"
#include "platform/forms/SingleInstance.h"
#include "platform/qtui/PaintPacer.h"

namespace qtui {

struct AppInfo {
  std::string title;
  std::string path;  // program folder as a Windows path, no trailing "\"
  int major = 0;
  int minor = 0;
  int revision = 0;
  std::string instanceName = "velmora";  // name of the single-instance lock
  // Maps a Windows path to a host path for ShellOpen; empty when it does not map.
  // Without one the drive map of winfs is used.
  std::function<std::string(const std::string&)> hostPath;
};

class QtApp : public forms::App {
 public:
  explicit QtApp(AppInfo info);
  ~QtApp() override;

  std::string Title() const override { return info_.title; }
  std::string Path() const override { return info_.path; }
  int Major() const override { return info_.major; }
  int Minor() const override { return info_.minor; }
  int Revision() const override { return info_.revision; }
  bool PrevInstance() override;

  int MsgBox(const std::string& prompt, int buttons = forms::vbOKOnly,
             const std::string& title = {}) override;
  void ShowModal(forms::Form& form) override;
  void Show(forms::Form& form) override;
  int DoEvents() override;
  void PaceRepaints(bool on) override { pacer_.Enable(on); }
  [[noreturn]] void End() override;
  bool Ended() const override { return ended_; }

  int ScreenWidth() const override;
  int ScreenHeight() const override;
  int TwipsPerPixelX() const override;
  int TwipsPerPixelY() const override;
  void SetMousePointer(int pointer) override;
  int MousePointer() const override { return pointer_; }

  bool BringToFront(const std::string& title) override;
  // xdg-open lets the opened program place its own window: the show command has no
  // counterpart on this desktop.  Answers once the opener runs; what the opener answers when it
  // ends goes to the function set here.
  using OpenerAnswer = std::function<void(const std::string& target, long result)>;
  void SetOpenerAnswered(OpenerAnswer answered) { openerAnswered_ = std::move(answered); }
  long ShellOpen(const std::string& target, const std::string& workingDir = {},
                 int showCommand = 1) override;

 private:
  std::string HostOf(const std::string& path) const;

  AppInfo info_;
  OpenerAnswer openerAnswered_;
  std::vector<QEventLoop*> modalLoops_;
  PaintPacer pacer_;  // DoEvents paints at a screen's pace
  bool ended_ = false;
  int pointer_ = 0;
  bool overrideCursor_ = false;
  std::unique_ptr<forms::SingleInstance> lock_;
  bool prevInstance_ = false;
};

// Runs an event handler of a model from a widget: End quits the application,
// any other escaping error is shown once and ends only that event.
void Dispatch(const std::function<void()>& handler);

// Marks the program's code running (an event handler, the start-up).  A window whose form is
// unloaded meanwhile goes, and the program ends, only when the outermost scope has returned:
// the code may still run on that form and on the widgets of that window.
class HandlerScope {
 public:
  HandlerScope();
  ~HandlerScope();
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;
  static bool Active();
};

}  // namespace qtui
