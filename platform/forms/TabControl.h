#pragma once
// A tabbed dialog control in the shape of SSTab: pages numbered from 0, a
// current page `Tab`, per-page captions.  Controls lie on a page by having this
// control as Container() and the page as TabPage(); only the current page's
// controls are shown.

#include <string>
#include <vector>

#include "platform/forms/Control.h"

namespace forms {

class TabControl : public Control {
 public:
  static constexpr const char* kTypeName = "TabControl";
  TabControl(Form& f, std::string name, int index = -1);

  int Tabs() const { return static_cast<int>(pages_.size()); }
  // Adds or drops pages (at least 1, else 380); the current page stays in range.
  void SetTabs(int n);
  int Tab() const { return tab_; }
  // 0..Tabs-1 else 380.  When it changes, raises Click(PreviousTab) after the
  // change (from code as from the user).
  void SetTab(int t);
  // Out of range: 380.
  const std::string& TabCaption(int t) const;
  void SetTabCaption(int t, std::string caption);
  bool TabEnabled(int t) const;
  void SetTabEnabled(int t, bool v);
  bool TabVisible(int t) const;
  void SetTabVisible(int t, bool v);
  // The current page's caption.
  const std::string& Caption() const { return TabCaption(tab_); }
  void SetCaption(std::string c) { SetTabCaption(tab_, std::move(c)); }
  int TabsPerRow() const { return tabsPerRow_; }
  int TabHeight() const { return tabHeight_; }  // twips
  // The controls lying on page t (direct children), in creation order.
  std::vector<Control*> PageControls(int t) const;

  // Raised after Click when the current page changes, with the page before:
  //   TabComp.TabClick = [this](int PreviousTab) { TabComp_Click(PreviousTab); };
  Event<int /*PreviousTab*/> TabClick;

  bool IsContainer() const override { return true; }
  bool PageShown(int page) const override { return page == tab_; }
  bool CanFocus() const override { return true; }
  // The user clicked page t's tab: ignored for a disabled control or page.
  void UserSelectTab(int t);
  bool SetDesignProperty(const std::string& key, const std::string& value) override;

 private:
  struct Page {
    std::string caption;
    bool enabled = true;
    bool visible = true;
  };
  void CheckPage(int t) const;
  std::vector<Page> pages_{3};
  int tab_ = 0;
  int tabsPerRow_ = 3;
  int tabHeight_ = 300;
};

}  // namespace forms
