#include "platform/forms/HeadlessApp.h"

#include <algorithm>
#include <cctype>

#include "platform/forms/Form.h"
#include "platform/vbrt/VbError.h"

namespace forms {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::vector<int> AnswersFor(int buttons) {
  switch (buttons & 7) {
    case vbOKCancel:
      return {vbOK, vbCancel};
    case vbAbortRetryIgnore:
      return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel:
      return {vbYes, vbNo, vbCancel};
    case vbYesNo:
      return {vbYes, vbNo};
    case vbRetryCancel:
      return {vbRetry, vbCancel};
    default:
      return {vbOK};
  }
}

HeadlessApp::HeadlessApp(bool install) : installed_(install) {
  if (installed_) App::Install(this);
}

HeadlessApp::~HeadlessApp() {
  if (installed_) App::Install(nullptr);
}

void HeadlessApp::SetVersion(int major, int minor, int revision) {
  major_ = major;
  minor_ = minor;
  revision_ = revision;
}

void HeadlessApp::SetScreen(int widthPx, int heightPx, int twipsPerPixel) {
  screenW_ = widthPx;
  screenH_ = heightPx;
  tpp_ = twipsPerPixel;
}

// ---- message boxes -----------------------------------------------------------

void HeadlessApp::QueueAnswer(int result) {
  answers_.push_back(result);
}

void HeadlessApp::QueueAnswers(std::initializer_list<int> results) {
  for (int r : results) answers_.push_back(r);
}

int HeadlessApp::Answer(const MsgBoxRecord& rec) {
  if (!answers_.empty()) {
    int a = answers_.front();
    answers_.pop_front();
    return a;
  }
  if (defaultAnswer_) return defaultAnswer_(rec);
  std::vector<int> answers = AnswersFor(rec.buttons);
  size_t def = static_cast<size_t>(rec.DefaultButton());
  return answers[def < answers.size() ? def : 0];
}

int HeadlessApp::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
  MsgBoxRecord rec;
  rec.prompt = prompt;
  rec.title = title.empty() ? title_ : title;
  rec.buttons = buttons;
  int result = Answer(rec);
  std::vector<int> allowed = AnswersFor(buttons);
  if (std::find(allowed.begin(), allowed.end(), result) == allowed.end()) {
    throw vb::VbError(vb::kInvalidProcedureCall, "scripted answer " + std::to_string(result) +
                                                     " fits no button of the box \"" + rec.title +
                                                     "\": " + prompt);
  }
  rec.result = result;
  boxes_.push_back(rec);
  return result;
}

// ---- forms -------------------------------------------------------------------

void HeadlessApp::QueueModal(const std::string& formName, FormAction action) {
  queued_[Upper(formName)].push_back(std::move(action));
}

void HeadlessApp::OnModal(const std::string& formName, FormAction action) {
  standing_[Upper(formName)] = std::move(action);
}

HeadlessApp::FormAction HeadlessApp::NextAction(const std::string& formName) {
  std::string key = Upper(formName);
  auto q = queued_.find(key);
  if (q != queued_.end() && !q->second.empty()) {
    FormAction a = std::move(q->second.front());
    q->second.pop_front();
    return a;
  }
  auto s = standing_.find(key);
  return s == standing_.end() ? FormAction{} : s->second;
}

void HeadlessApp::ShowModal(Form& form) {
  modals_.push_back({form.Name(), false, false});
  size_t rec = modals_.size() - 1;
  if (FormAction action = NextAction(form.Name())) {
    modals_[rec].scripted = true;
    RunAsUser([&] { action(form); });
  }
  // A real modal loop would wait for the user; here the user closes it.
  if (form.Loaded() && form.Visible()) {
    modals_[rec].leftOpen = true;
    form.UserClose();
    if (form.Loaded() && form.Visible()) form.Hide();  // the close was refused
  }
}

// Without a display a modeless window has nothing to draw: the form's own state is all there is.
void HeadlessApp::Show(Form& /*form*/) {}

int HeadlessApp::DoEvents() {
  ++doEventsCount_;
  if (onDoEvents_) onDoEvents_();
  return static_cast<int>(Forms().size());
}

void HeadlessApp::End() {
  ended_ = true;
  ++endCount_;
  throw ProgramEnded();
}

void HeadlessApp::SetMousePointer(int pointer) {
  pointer_ = pointer;
}

bool HeadlessApp::BringToFront(const std::string& title) {
  fronts_.push_back(title);
  return OwnWindowTitled(title, Title()) != nullptr;
}

long HeadlessApp::ShellOpen(const std::string& target, const std::string& workingDir,
                            int showCommand) {
  shells_.push_back({target, workingDir, showCommand});
  return shellResult_;
}

}  // namespace forms
