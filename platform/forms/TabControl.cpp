#include "platform/forms/TabControl.h"

#include "platform/forms/Design.h"
#include "platform/forms/Form.h"
#include "platform/vbrt/VbError.h"

namespace forms {

using namespace design;

TabControl::TabControl(Form& f, std::string name, int index)
    : Control(f, kTypeName, std::move(name), index) {
  for (size_t i = 0; i < pages_.size(); ++i) pages_[i].caption = "Tab " + std::to_string(i);
}

void TabControl::CheckPage(int t) const {
  if (t < 0 || t >= Tabs()) vb::Raise(vb::kInvalidPropertyValue);
}

void TabControl::SetTabs(int n) {
  if (n < 1) vb::Raise(vb::kInvalidPropertyValue);
  size_t old = pages_.size();
  pages_.resize(static_cast<size_t>(n));
  for (size_t i = old; i < pages_.size(); ++i) pages_[i].caption = "Tab " + std::to_string(i);
  if (tab_ >= n) tab_ = n - 1;
  Notify(Prop::Tabs);
}

void TabControl::SetTab(int t) {
  CheckPage(t);
  if (t == tab_) return;
  int previous = tab_;
  tab_ = t;
  Notify(Prop::Tabs);
  Click();
  TabClick(previous);
}

const std::string& TabControl::TabCaption(int t) const {
  CheckPage(t);
  return pages_[t].caption;
}

void TabControl::SetTabCaption(int t, std::string caption) {
  CheckPage(t);
  pages_[t].caption = std::move(caption);
  Notify(Prop::Tabs);
}

bool TabControl::TabEnabled(int t) const {
  CheckPage(t);
  return pages_[t].enabled;
}

void TabControl::SetTabEnabled(int t, bool v) {
  CheckPage(t);
  pages_[t].enabled = v;
  Notify(Prop::Tabs);
}

bool TabControl::TabVisible(int t) const {
  CheckPage(t);
  return pages_[t].visible;
}

void TabControl::SetTabVisible(int t, bool v) {
  CheckPage(t);
  pages_[t].visible = v;
  Notify(Prop::Tabs);
}

std::vector<Control*> TabControl::PageControls(int t) const {
  std::vector<Control*> out;
  for (Control* c : Parent().Controls())
    if (c->Container() == this && c->TabPage() == t) out.push_back(c);
  return out;
}

void TabControl::UserSelectTab(int t) {
  if (!Enabled() || t < 0 || t >= Tabs() || !pages_[t].enabled || !pages_[t].visible) return;
  AsUser([&] { SetTab(t); });
}

bool TabControl::SetDesignProperty(const std::string& key, const std::string& value) {
  if (auto t = IndexedKey(key, "TabCaption"))
    SetTabCaption(*t, value);
  else if (auto t2 = IndexedKey(key, "TabEnabled"))
    SetTabEnabled(*t2, Bool(value));
  else if (auto t3 = IndexedKey(key, "TabVisible"))
    SetTabVisible(*t3, Bool(value));
  else if (KeyIs(key, "Tabs"))
    SetTabs(Int(value));
  else if (KeyIs(key, "Tab")) {
    int t = Int(value);
    CheckPage(t);
    tab_ = t;
  } else if (KeyIs(key, "TabsPerRow"))
    tabsPerRow_ = Int(value);
  else if (KeyIs(key, "TabHeight"))
    tabHeight_ = Int(value);
  else if (KeyIs(key, "Caption"))
    SetCaption(value);
  else
    return Control::SetDesignProperty(key, value);
  return true;
}

}  // namespace forms
