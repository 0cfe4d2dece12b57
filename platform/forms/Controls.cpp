#include "platform/forms/Controls.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/forms/Design.h"
#include "platform/forms/Form.h"
#include "platform/vbrt/VbError.h"

namespace forms {

using namespace design;

// ---- Label -------------------------------------------------------------------

Label::Label(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

void Label::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(Prop::Caption);
}

void Label::SetAlignment(int a) {
  if (a < 0 || a > 2) vb::Raise(vb::kInvalidPropertyValue);
  alignment_ = a;
  Notify(Prop::Style);
}

void Label::Refresh() {
  Notify(Prop::Caption);
}

bool Label::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "Alignment"))
    SetAlignment(Int(value));
  else if (KeyIs(key, "BackStyle"))
    backStyle_ = Int(value);
  else if (KeyIs(key, "BorderStyle"))
    borderStyle_ = Int(value);
  else if (KeyIs(key, "UseMnemonic"))
    useMnemonic_ = Bool(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void Label::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const Label*>(&model)) {
    caption_ = m->caption_;
    alignment_ = m->alignment_;
    backStyle_ = m->backStyle_;
    borderStyle_ = m->borderStyle_;
  }
}

// ---- CommandButton -------------------------------------------------------------

CommandButton::CommandButton(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

void CommandButton::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(Prop::Caption);
}

char CommandButton::AccessKey() const {
  for (size_t i = 0; i + 1 < caption_.size(); ++i) {
    if (caption_[i] != '&') continue;
    if (caption_[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(caption_[i + 1])));
  }
  return 0;
}

// Only one Default and one Cancel button per form.
void CommandButton::SetDefault(bool v) {
  if (v)
    for (Control* c : Parent().Controls())
      if (auto* b = dynamic_cast<CommandButton*>(c); b && b != this) b->default_ = false;
  default_ = v;
  Notify(Prop::Style);
}

void CommandButton::SetCancel(bool v) {
  if (v)
    for (Control* c : Parent().Controls())
      if (auto* b = dynamic_cast<CommandButton*>(c); b && b != this) b->cancel_ = false;
  cancel_ = v;
  Notify(Prop::Style);
}

void CommandButton::SetValue(bool v) {
  if (v) Click();
}

void CommandButton::SetPicture(StdPicture p) {
  picture_ = std::move(p);
  Notify(Prop::Picture);
}

void CommandButton::UserClick() {
  if (!Enabled()) return;
  AsUser([this] { Click(); });
}

bool CommandButton::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "Default"))
    SetDefault(Bool(value));
  else if (KeyIs(key, "Cancel"))
    SetCancel(Bool(value));
  else if (KeyIs(key, "Picture"))
    SetPicture(design::Picture(value));
  else if (KeyIs(key, "Style"))
    style_ = Int(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void CommandButton::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const CommandButton*>(&model)) {
    caption_ = m->caption_;
    picture_ = m->picture_;
    style_ = m->style_;
  }
}

// ---- CheckBox ------------------------------------------------------------------

CheckBox::CheckBox(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

void CheckBox::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(Prop::Caption);
}

void CheckBox::SetValue(int v) {
  if (v < vbUnchecked || v > vbGrayed) vb::Raise(vb::kInvalidPropertyValue);
  if (v == value_) return;
  value_ = v;
  Notify(Prop::Value);
  Click();
}

void CheckBox::UserClick() {
  if (!Enabled()) return;
  AsUser([this] { SetValue(value_ == vbUnchecked ? vbChecked : vbUnchecked); });
}

bool CheckBox::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "Value")) {
    int v = Int(value);
    if (v < vbUnchecked || v > vbGrayed) vb::Raise(vb::kInvalidPropertyValue);
    value_ = v;
  } else if (KeyIs(key, "Alignment"))
    alignment_ = Int(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void CheckBox::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const CheckBox*>(&model)) caption_ = m->caption_;
}

// ---- OptionButton ----------------------------------------------------------------

OptionButton::OptionButton(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

void OptionButton::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(Prop::Caption);
}

void OptionButton::SetValue(bool v) {
  if (v == value_) return;
  value_ = v;
  Notify(Prop::Value);
  if (!v) return;
  for (Control* c : Parent().Controls()) {
    auto* o = dynamic_cast<OptionButton*>(c);
    if (!o || o == this || !o->value_) continue;
    if (o->Container() != Container() || o->TabPage() != TabPage()) continue;
    o->value_ = false;
    o->Notify(Prop::Value);
  }
  Click();
}

std::vector<OptionButton*> OptionButton::Group() const {
  std::vector<OptionButton*> group;
  for (Control* c : Parent().Controls()) {
    auto* o = dynamic_cast<OptionButton*>(c);
    if (o && o->Container() == Container() && o->TabPage() == TabPage() && o->Visible() &&
        o->Enabled())
      group.push_back(o);
  }
  return group;
}

bool OptionButton::GroupTabStop() const {
  const std::vector<OptionButton*> group = Group();
  const auto selected =
      std::find_if(group.begin(), group.end(), [](const OptionButton* o) { return o->value_; });
  if (selected != group.end()) return *selected == this;
  return !group.empty() && group.front() == this;
}

void OptionButton::UserArrow(int step) {
  const std::vector<OptionButton*> group = Group();
  const auto at = std::find(group.begin(), group.end(), this);
  if (at == group.end() || group.size() < 2) return;
  const auto n = static_cast<std::ptrdiff_t>(group.size());
  OptionButton* next = group[static_cast<std::size_t>(((at - group.begin()) + step % n + n) % n)];
  Parent().UserFocus(*next);
  // A LostFocus that kept the focus where it was selects nothing.
  if (Parent().ActiveControl() == next) next->UserClick();
}

void OptionButton::UserClick() {
  if (!Enabled()) return;
  AsUser([this] { SetValue(true); });
}

bool OptionButton::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "Value"))
    value_ = Bool(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void OptionButton::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const OptionButton*>(&model)) caption_ = m->caption_;
}

// ---- HScrollBar ------------------------------------------------------------------

HScrollBar::HScrollBar(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

int HScrollBar::Clamp(int v) const {
  int lo = std::min(min_, max_), hi = std::max(min_, max_);
  return v < lo ? lo : (v > hi ? hi : v);
}

void HScrollBar::SetMin(int v) {
  min_ = v;
  Notify(Prop::Value);
  SetValue(Clamp(value_));
}

void HScrollBar::SetMax(int v) {
  max_ = v;
  Notify(Prop::Value);
  SetValue(Clamp(value_));
}

void HScrollBar::SetSmallChange(int v) {
  if (v < 1 || v > 32767) vb::Raise(vb::kInvalidPropertyValue);
  smallChange_ = v;
}

void HScrollBar::SetLargeChange(int v) {
  if (v < 1 || v > 32767) vb::Raise(vb::kInvalidPropertyValue);
  largeChange_ = v;
}

void HScrollBar::SetValue(int v) {
  if (Clamp(v) != v) vb::Raise(vb::kInvalidPropertyValue);
  if (v == value_) return;
  value_ = v;
  Notify(Prop::Value);
  Change();
}

void HScrollBar::UserSetValue(int v) {
  if (!Enabled()) return;
  AsUser([&] { SetValue(Clamp(v)); });
}

void HScrollBar::UserDragThumb(int v) {
  if (!Enabled()) return;
  v = Clamp(v);
  if (v == value_) return;
  value_ = v;
  Notify(Prop::Value);
  AsUser([this] { Scroll(); });
}

bool HScrollBar::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Min"))
    SetMin(Int(value));
  else if (KeyIs(key, "Max"))
    SetMax(Int(value));
  else if (KeyIs(key, "SmallChange"))
    SetSmallChange(Int(value));
  else if (KeyIs(key, "LargeChange"))
    SetLargeChange(Int(value));
  else if (KeyIs(key, "Value")) {
    int v = Int(value);
    if (Clamp(v) != v) vb::Raise(vb::kInvalidPropertyValue);
    value_ = v;
  } else
    return Control::SetDesignProperty(key, value);
  return true;
}

void HScrollBar::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const HScrollBar*>(&model)) {
    min_ = m->min_;
    max_ = m->max_;
    smallChange_ = m->smallChange_;
    largeChange_ = m->largeChange_;
    value_ = Clamp(value_);
  }
}

// ---- Image -----------------------------------------------------------------------

Image::Image(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

void Image::SetPicture(StdPicture p) {
  picture_ = std::move(p);
  Notify(Prop::Picture);
}

void Image::SetStretch(bool v) {
  stretch_ = v;
  Notify(Prop::Picture);
}

bool Image::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Picture"))
    SetPicture(design::Picture(value));
  else if (KeyIs(key, "Stretch"))
    SetStretch(Bool(value));
  else if (KeyIs(key, "BorderStyle"))
    borderStyle_ = Int(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void Image::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const Image*>(&model)) {
    picture_ = m->picture_;
    stretch_ = m->stretch_;
    borderStyle_ = m->borderStyle_;
  }
}

// ---- Frame -----------------------------------------------------------------------

Frame::Frame(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {}

void Frame::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(Prop::Caption);
}

bool Frame::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "BorderStyle"))
    borderStyle_ = Int(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void Frame::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const Frame*>(&model)) caption_ = m->caption_;
}

// ---- Line ------------------------------------------------------------------------

Line::Line(Form& f, std::string name, int index) : Control(f, kTypeName, std::move(name), index) {}

void Line::SetEnds(int x1, int y1, int x2, int y2) {
  x1_ = x1;
  y1_ = y1;
  x2_ = x2;
  y2_ = y2;
  SyncBox();
}

void Line::SyncBox() {
  Control::Move(std::min(x1_, x2_), std::min(y1_, y2_), std::abs(x2_ - x1_), std::abs(y2_ - y1_));
  Notify(Prop::Geometry);
}

void Line::Move(int left, int top, int width, int height) {
  if (width < 0 || height < 0) vb::Raise(vb::kInvalidPropertyValue);
  bool flipX = x2_ < x1_, flipY = y2_ < y1_;
  x1_ = flipX ? left + width : left;
  x2_ = flipX ? left : left + width;
  y1_ = flipY ? top + height : top;
  y2_ = flipY ? top : top + height;
  Control::Move(left, top, width, height);
}

bool Line::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "X1"))
    SetEnds(Int(value), y1_, x2_, y2_);
  else if (KeyIs(key, "Y1"))
    SetEnds(x1_, Int(value), x2_, y2_);
  else if (KeyIs(key, "X2"))
    SetEnds(x1_, y1_, Int(value), y2_);
  else if (KeyIs(key, "Y2"))
    SetEnds(x1_, y1_, x2_, Int(value));
  else if (KeyIs(key, "BorderColor"))
    borderColor_ = Color(value);
  else if (KeyIs(key, "BorderWidth"))
    borderWidth_ = Int(value);
  else if (KeyIs(key, "BorderStyle"))
    borderStyle_ = Int(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void Line::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const Line*>(&model)) {
    borderColor_ = m->borderColor_;
    borderWidth_ = m->borderWidth_;
    borderStyle_ = m->borderStyle_;
    SetEnds(m->x1_, m->y1_, m->x2_, m->y2_);
  }
}

// ---- Menu ------------------------------------------------------------------------

Menu::Menu(Form& f, std::string name, int index) : Control(f, kTypeName, std::move(name), index) {}

void Menu::SetCaption(std::string c) {
  if (c == caption_) return;
  caption_ = std::move(c);
  Notify(Prop::Caption);
}

void Menu::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Notify(Prop::Style);
}

std::vector<Menu*> Menu::Items() const {
  std::vector<Menu*> out;
  for (Control* c : Parent().Controls())
    if (auto* m = dynamic_cast<Menu*>(c); m && m->Container() == this) out.push_back(m);
  return out;
}

void Menu::UserClick() {
  if (!Enabled() || IsSeparator()) return;
  AsUser([this] { Click(); });
}

bool Menu::SetDesignProperty(const std::string& key, const std::string& value) {
  if (KeyIs(key, "Caption"))
    SetCaption(value);
  else if (KeyIs(key, "Checked"))
    SetChecked(Bool(value));
  else if (KeyIs(key, "Shortcut"))
    shortcut_ = value;
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

void Menu::CopyDesignFrom(const Control& model) {
  Control::CopyDesignFrom(model);
  if (auto* m = dynamic_cast<const Menu*>(&model)) caption_ = m->caption_;
}

}  // namespace forms
