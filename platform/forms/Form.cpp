#include "platform/forms/Form.h"

#include <algorithm>
#include <cctype>

#include "platform/forms/App.h"
#include "platform/forms/ControlArray.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Design.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Layout.h"
#include "platform/vbrt/VbError.h"

namespace forms {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<Form*>& LoadedList() {
  static std::vector<Form*> list;
  return list;
}

// VB's default border and caption of a sizable window, in twips.
constexpr int kBorderX = 120;
constexpr int kBorderY = 510;

}  // namespace

std::vector<Form*> Forms() {
  return LoadedList();
}

Form::Form(std::string name, std::string layoutName)
    : name_(std::move(name)), layoutName_(std::move(layoutName)) {}

Form::~Form() {
  DragDriver::Instance().Forget(*this);
  std::erase(LoadedList(), this);
}

std::string Form::LayoutName() const {
  if (layoutName_ == "-") return {};
  return layoutName_.empty() ? name_ : layoutName_;
}

// ---- properties ------------------------------------------------------------

void Form::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(FormChange::Caption);
}

void Form::Move(int left, int top, int width, int height) {
  if (width < 0 || height < 0) vb::Raise(vb::kInvalidPropertyValue);
  bool resized = width != width_ || height != height_;
  if (!resized && left == left_ && top == top_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (resized) scaleWidth_ = scaleHeight_ = -1;
  Notify(FormChange::Geometry);
  if (resized && visible_ && loaded_) Form_Resize();
}

int Form::ScaleWidth() const {
  return scaleWidth_ >= 0 ? scaleWidth_ : std::max(0, width_ - kBorderX);
}

int Form::ScaleHeight() const {
  return scaleHeight_ >= 0 ? scaleHeight_ : std::max(0, height_ - kBorderY);
}

void Form::SetClientSize(int scaleWidth, int scaleHeight) {
  scaleWidth_ = scaleWidth;
  scaleHeight_ = scaleHeight;
}

void Form::SetIcon(StdPicture p) {
  icon_ = std::move(p);
  Notify(FormChange::Icon);
}

void Form::SetVisible(bool v) {
  if (v)
    Show();
  else
    Hide();
}

void Form::SetWindowState(int s) {
  if (s < vbNormal || s > vbMaximized) vb::Raise(vb::kInvalidPropertyValue);
  if (s == windowState_) return;
  windowState_ = s;
  Notify(FormChange::WindowState);
}

void Form::SetMousePointer(int p) {
  if ((p < 0 || p > 15) && p != 99) vb::Raise(vb::kInvalidPropertyValue);
  mousePointer_ = p;
  Notify(FormChange::MousePointer);
}

void Form::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Notify(FormChange::Enabled);
}

void Form::SetBackColor(OleColor c) {
  backColor_ = c;
  Notify(FormChange::Style);
}

// ---- life cycle --------------------------------------------------------------

void Form::ApplyLayoutOnce() {
  if (layoutApplied_) return;
  layoutApplied_ = true;
  std::string layout = LayoutName();
  if (!layout.empty()) LoadLayoutFile(*this, LayoutPath(layout));
}

void Form::Load() {
  if (loaded_) return;
  ApplyLayoutOnce();
  loaded_ = true;
  LoadedList().push_back(this);
  Notify(FormChange::Loaded);
  Form_Load();
}

void Form::Show(int modal) {
  if (modal != vbModeless && modal != vbModal) vb::Raise(vb::kInvalidProcedureCall);
  Load();
  if (!loaded_) return;  // Form_Load unloaded it
  bool wasVisible = visible_;
  if (!visible_) {
    visible_ = true;
    Notify(FormChange::Visible);
  }
  if (!wasVisible) {
    shownOnce_ = true;
    Form_Resize();
    if (!loaded_ || !visible_) return;
    Form_Activate();
    if (!loaded_ || !visible_) return;
  }
  if (modal == vbModal) {
    modal_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{modal_};
    App::Current().ShowModal(*this);
  } else {
    App::Current().Show(*this);
  }
}

void Form::Hide() {
  Load();
  if (!visible_) return;
  visible_ = false;
  Notify(FormChange::Visible);
}

bool Form::Unload(int unloadMode) {
  if (!loaded_) return true;
  int cancel = 0;
  Form_QueryUnload(cancel, unloadMode);
  if (cancel != 0) return false;
  Form_Unload(cancel);
  if (cancel != 0) return false;
  if (!loaded_) return true;  // unloaded again from inside the handlers
  DragDriver::Instance().Forget(*this);
  active_ = nullptr;
  if (visible_) {
    visible_ = false;
    Notify(FormChange::Visible);
  }
  loaded_ = false;
  ++unloadCount_;
  std::erase(LoadedList(), this);
  for (Control* c : controls_) c->ReleaseResources();
  Notify(FormChange::Loaded);
  return true;
}

// ---- controls ----------------------------------------------------------------

void Form::AddControl(Control& c) {
  controls_.push_back(&c);
  if (!c.IsArrayElement()) byName_[Upper(c.Name())] = &c;
  Notify(FormChange::Controls);
}

void Form::RemoveControl(Control& c) {
  std::erase(controls_, &c);
  for (Control* other : controls_)
    if (other->container_ == &c) other->container_ = nullptr;
  if (active_ == &c) active_ = nullptr;
  auto it = byName_.find(Upper(c.Name()));
  if (it != byName_.end() && it->second == &c) byName_.erase(it);
  Notify(FormChange::Controls);
}

void Form::RegisterArray(ControlArrayBase& a) {
  arrays_[Upper(a.Name())] = &a;
}

void Form::UnregisterArray(ControlArrayBase& a) {
  auto it = arrays_.find(Upper(a.Name()));
  if (it != arrays_.end() && it->second == &a) arrays_.erase(it);
}

Control* Form::FindControl(const std::string& name, int index) const {
  std::string key = Upper(name);
  if (index < 0) {
    auto it = byName_.find(key);
    return it == byName_.end() ? nullptr : it->second;
  }
  auto it = arrays_.find(key);
  return it == arrays_.end() ? nullptr : it->second->Find(index);
}

ControlArrayBase* Form::FindArray(const std::string& name) const {
  auto it = arrays_.find(Upper(name));
  return it == arrays_.end() ? nullptr : it->second;
}

void Form::PlaceLast(Control& c) {
  auto it = std::find(controls_.begin(), controls_.end(), &c);
  if (it == controls_.end()) return;
  controls_.erase(it);
  controls_.push_back(&c);
  c.zRank_ = NextFrontRank();
}

// ---- focus and keys ----------------------------------------------------------

void Form::ChangeFocus(Control* c) {
  if (c == active_) return;
  Control* old = active_;
  active_ = c;
  Notify(FormChange::Focus);
  if (old) old->LostFocus();
  if (c && active_ == c) c->GotFocus();
}

void Form::UserFocus(Control& c) {
  if (!c.CanFocus() || !c.Enabled() || !c.IsShown()) return;
  RunAsUser([&] { ChangeFocus(&c); });
}

bool Form::PressDefaultOrCancel(int keyCode) {
  if (keyCode != vbKeyReturn && keyCode != vbKeyEscape) return false;
  // Enter on a button that has the focus presses that button, not the default one.
  if (auto* focused = dynamic_cast<CommandButton*>(active_); focused && keyCode == vbKeyReturn) {
    focused->UserClick();
    return true;
  }
  for (Control* c : controls_) {
    auto* b = dynamic_cast<CommandButton*>(c);
    if (!b || !b->Enabled() || !b->IsShown()) continue;
    if ((keyCode == vbKeyReturn && b->Default()) || (keyCode == vbKeyEscape && b->Cancel())) {
      b->UserClick();
      return true;
    }
  }
  return false;
}

void Form::UserKeyDown(int keyCode, int shift) {
  if (!enabled_) return;
  RunAsUser([&] {
    int kc = keyCode;
    if (keyPreview_ || !active_) Form_KeyDown(kc, shift);
    if (kc != 0 && active_) active_->KeyDown(kc, shift);
    if (kc != 0) PressDefaultOrCancel(kc);
  });
}

void Form::UserKeyUp(int keyCode, int shift) {
  if (!enabled_) return;
  RunAsUser([&] {
    int kc = keyCode;
    if (keyPreview_ || !active_) Form_KeyUp(kc, shift);
    if (kc != 0 && active_) active_->KeyUp(kc, shift);
  });
}

void Form::UserKeyPress(int keyAscii) {
  if (!enabled_) return;
  RunAsUser([&] {
    int k = keyAscii;
    if (keyPreview_ || !active_) Form_KeyPress(k);
    if (k != 0 && active_) active_->KeyPress(k);
  });
}

void Form::UserClose() {
  RunAsUser([this] { Unload(vbFormControlMenu); });
}

void Form::UserResize(int width, int height) {
  RunAsUser([&] { Move(left_, top_, width, height); });
}

void Form::UserMove(int left, int top) {
  RunAsUser([&] { Move(left, top, width_, height_); });
}

void Form::UserActivate() {
  RunAsUser([this] { Form_Activate(); });
}

// ---- observation -------------------------------------------------------------

void Form::Notify(FormChange what) {
  observers_.Notify(*this, what);
}

bool Form::SetDesignProperty(const std::string& key, const std::string& value) {
  using namespace design;
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "Left"))
    SetLeft(Int(value));
  else if (KeyIs(key, "Top"))
    SetTop(Int(value));
  else if (KeyIs(key, "Width"))
    SetWidth(Int(value));
  else if (KeyIs(key, "Height"))
    SetHeight(Int(value));
  else if (KeyIs(key, "Icon"))
    SetIcon(Picture(value));
  else if (KeyIs(key, "WindowState"))
    SetWindowState(Int(value));
  else if (KeyIs(key, "KeyPreview"))
    keyPreview_ = Bool(value);
  else if (KeyIs(key, "BorderStyle"))
    borderStyle_ = Int(value);
  else if (KeyIs(key, "ControlBox"))
    controlBox_ = Bool(value);
  else if (KeyIs(key, "MaxButton"))
    maxButton_ = Bool(value);
  else if (KeyIs(key, "MinButton"))
    minButton_ = Bool(value);
  else if (KeyIs(key, "BackColor"))
    SetBackColor(Color(value));
  else if (KeyIs(key, "StartUpPosition"))
    startUpPosition_ = Int(value);
  else if (KeyIs(key, "MousePointer"))
    SetMousePointer(Int(value));
  else if (!FontProperty(font_, key, value))
    return false;
  return true;
}

// ---- FormInstance ------------------------------------------------------------

namespace detail {
namespace {
// Never destroyed at exit (see FormInstance).
std::vector<std::unique_ptr<Form>>& Retired() {
  static auto& list = *new std::vector<std::unique_ptr<Form>>;
  return list;
}
std::vector<std::function<void()>>& Slots() {
  static auto& list = *new std::vector<std::function<void()>>;
  return list;
}
}  // namespace

void RetireInstance(std::unique_ptr<Form> old) {
  Retired().push_back(std::move(old));
}
void RegisterInstanceSlot(std::function<void()> reset) {
  Slots().push_back(std::move(reset));
}
}  // namespace detail

void ResetFormInstances() {
  for (auto& reset : detail::Slots()) reset();
  detail::Retired().clear();
}

}  // namespace forms
