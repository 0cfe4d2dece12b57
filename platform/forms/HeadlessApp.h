#pragma once
// The App for tests: no display.  Message-box answers and what the user does
// in a modal window are scripted; every box, modal form, End, shell open and
// bring-to-front is recorded.
//
//   forms::HeadlessApp app;           // installs itself; uninstalls when destroyed
//   app.QueueAnswer(forms::vbRetry);  // the next MsgBox returns Retry
//   app.OnModal("frmCamera", [](forms::Form& f) {
//     auto& p = dynamic_cast<frmCamera&>(f);
//     p.cmdCopy.UserClick();
//     p.UserClose();
//   });
//   ... run code ...
//   EXPECT_EQ(app.Boxes().at(0).title, "Error");

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/App.h"

namespace forms {

struct MsgBoxRecord {
  std::string prompt;
  std::string title;  // as shown (App title when the call gave none)
  int buttons = 0;    // the whole argument
  int result = 0;
  int ButtonSet() const { return buttons & 7; }
  int Icon() const { return buttons & 0x70; }
  int DefaultButton() const { return (buttons & 0x300) >> 8; }  // 0-based
};

struct ModalRecord {
  std::string form;
  bool scripted = false;  // an action ran
  bool leftOpen = false;  // still shown after the action: closed by the harness
};

struct ShellRecord {
  std::string target;
  std::string workingDir;
  int showCommand = 1;
};

// The answers a box with this button set can give, in button order.
std::vector<int> AnswersFor(int buttons);

class HeadlessApp : public App {
 public:
  // install: becomes App::Current() until destroyed.
  explicit HeadlessApp(bool install = true);
  ~HeadlessApp() override;

  // ---- App
  std::string Title() const override { return title_; }
  std::string Path() const override { return path_; }
  int Major() const override { return major_; }
  int Minor() const override { return minor_; }
  int Revision() const override { return revision_; }
  bool PrevInstance() override { return prevInstance_; }
  int MsgBox(const std::string& prompt, int buttons = vbOKOnly,
             const std::string& title = {}) override;
  void ShowModal(Form& form) override;
  void Show(Form& form) override;
  int DoEvents() override;
  [[noreturn]] void End() override;
  bool Ended() const override { return ended_; }
  int ScreenWidth() const override { return screenW_ * tpp_; }
  int ScreenHeight() const override { return screenH_ * tpp_; }
  int TwipsPerPixelX() const override { return tpp_; }
  int TwipsPerPixelY() const override { return tpp_; }
  void SetMousePointer(int pointer) override;
  int MousePointer() const override { return pointer_; }
  bool BringToFront(const std::string& title) override;
  long ShellOpen(const std::string& target, const std::string& workingDir = {},
                 int showCommand = 1) override;

  // ---- configuration
  void SetTitle(std::string t) { title_ = std::move(t); }
  void SetPath(std::string p) { path_ = std::move(p); }
  void SetVersion(int major, int minor, int revision);
  void SetPrevInstance(bool v) { prevInstance_ = v; }
  // Screen size in pixels and twips per pixel (default 1024 x 768 at 15).
  void SetScreen(int widthPx, int heightPx, int twipsPerPixel = 15);
  void SetShellResult(long r) { shellResult_ = r; }
  // Called at every DoEvents (events "arriving" while code yields).
  void OnDoEvents(std::function<void()> fn) { onDoEvents_ = std::move(fn); }

  // ---- message boxes
  // Answers used in order by the next boxes.  An answer the box has no button
  // for makes MsgBox raise VbError 5 naming the box (a wrong script).
  void QueueAnswer(int result);
  void QueueAnswers(std::initializer_list<int> results);
  // Answers when the queue is empty; default: the box's default button.
  void SetDefaultAnswer(std::function<int(const MsgBoxRecord&)> fn) {
    defaultAnswer_ = std::move(fn);
  }
  const std::vector<MsgBoxRecord>& Boxes() const { return boxes_; }
  void ClearBoxes() { boxes_.clear(); }

  // ---- modal windows (form names compare without regard to case)
  using FormAction = std::function<void(Form&)>;
  // Runs once, for the next modal showing of that form (queued in order).
  void QueueModal(const std::string& formName, FormAction action);
  // Runs for every modal showing once the queue for that form is empty.
  void OnModal(const std::string& formName, FormAction action);
  const std::vector<ModalRecord>& ModalForms() const { return modals_; }

  // ---- other records
  int EndCount() const { return endCount_; }
  void ResetEnded() { ended_ = false; }
  const std::vector<std::string>& BroughtToFront() const { return fronts_; }
  const std::vector<ShellRecord>& ShellOpens() const { return shells_; }
  int DoEventsCount() const { return doEventsCount_; }

 private:
  FormAction NextAction(const std::string& formName);
  int Answer(const MsgBoxRecord& rec);

  bool installed_;
  std::string title_ = "Velmora";
  std::string path_ = "C:\\Velmora";
  int major_ = 1, minor_ = 0, revision_ = 0;
  bool prevInstance_ = false;
  int screenW_ = 1024, screenH_ = 768, tpp_ = 15;
  long shellResult_ = 42;
  std::function<void()> onDoEvents_;
  std::deque<int> answers_;
  std::function<int(const MsgBoxRecord&)> defaultAnswer_;
  std::vector<MsgBoxRecord> boxes_;
  std::map<std::string, std::deque<FormAction>> queued_;
  std::map<std::string, FormAction> standing_;
  std::vector<ModalRecord> modals_;
  bool ended_ = false;
  int endCount_ = 0;
  std::vector<std::string> fronts_;
  std::vector<ShellRecord> shells_;
  int pointer_ = 0;
  int doEventsCount_ = 0;
};

}  // namespace forms
