// The tab control in the SSTab manner: equal tabs in rows of TabsPerRow above
// a raised page; the controls of every page are children of the control and
// only those of the current page are shown.
#include <QMouseEvent>
#include <QPainter>

#include "platform/forms/TabControl.h"
#include "platform/qtui/Units.h"
#include "platform/qtui/Views.h"

namespace qtui {

std::vector<std::pair<int, QRect>> TabHeaderRects(const forms::TabControl& m, int width) {
  std::vector<int> pages;
  for (int t = 0; t < m.Tabs(); ++t) {
    if (m.TabVisible(t)) pages.push_back(t);
  }
  std::vector<std::pair<int, QRect>> rects;
  if (pages.empty()) return rects;
  const int perRow = std::max(1, m.TabsPerRow());
  const int rowHeight = std::max(8, TwipsToPixels(m.TabHeight()));
  const int tabWidth = std::max(1, (width - 1) / perRow);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const int row = static_cast<int>(i) / perRow;
    const int col = static_cast<int>(i) % perRow;
    rects.push_back({pages[i], QRect(col * tabWidth, row * rowHeight, tabWidth, rowHeight)});
  }
  return rects;
}

namespace {

class TabWidget : public QWidget {
 public:
  // A click on a tab takes the focus, so the control left raises its LostFocus first.
  TabWidget(forms::TabControl& m, QWidget* parent) : QWidget(parent), m_(m) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::StrongFocus);
  }
  std::function<void(int)> onTab;

  std::vector<std::pair<int, QRect>> TabRects() const { return TabHeaderRects(m_, width()); }
  int StripHeight() const {
    const auto rects = TabRects();
    return rects.empty() ? 0 : rects.back().second.bottom() + 1;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QPalette& pal = palette();
    const int strip = StripHeight();
    const QRect page = rect().adjusted(0, strip, -1, -1);
    p.fillRect(rect().adjusted(0, strip, 0, 0), pal.color(QPalette::Window));
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(page.topLeft(), page.bottomLeft());
    p.drawLine(page.topLeft(), page.topRight());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(page.bottomLeft(), page.bottomRight());
    p.drawLine(page.topRight(), page.bottomRight());
    const bool on = isEnabled() && m_.Enabled();
    for (const auto& [t, r] : TabRects()) {
      const bool current = t == m_.Tab();
      const QRect tab = r.adjusted(0, current ? 0 : 2, -1, current ? 1 : 0);
      p.fillRect(tab, pal.color(current ? QPalette::Window : QPalette::Button));
      p.setPen(pal.color(QPalette::Light));
      p.drawLine(tab.bottomLeft(), tab.topLeft());
      p.drawLine(tab.topLeft(), tab.topRight());
      p.setPen(pal.color(QPalette::Dark));
      p.drawLine(tab.topRight(), tab.bottomRight());
      QString caption = QString::fromStdString(m_.TabCaption(t));
      caption.replace("&&", "\x01").remove('&').replace('\x01', '&');
      p.setPen(pal.color(on && m_.TabEnabled(t) ? QPalette::Active : QPalette::Disabled,
                         QPalette::WindowText));
      QFont f = font();
      f.setBold(current);
      p.setFont(f);
      p.drawText(tab.adjusted(3, 0, -3, 0), Qt::AlignCenter | Qt::TextSingleLine, caption);
      if (current && hasFocus()) {
        p.setPen(QPen(pal.color(QPalette::WindowText), 1, Qt::DotLine));
        p.drawRect(tab.adjusted(3, 3, -3, -3));
      }
    }
  }
  void focusInEvent(QFocusEvent* e) override {
    QWidget::focusInEvent(e);
    update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QWidget::focusOutEvent(e);
    update();
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    for (const auto& [t, r] : TabRects()) {
      if (r.contains(e->position().toPoint()) && onTab) onTab(t);
    }
  }

 private:
  forms::TabControl& m_;
};

class TabView : public ControlView {
 public:
  TabView(forms::TabControl& m, FormWindow& w) : ControlView(m, w), m_(m) {}

 protected:
  QWidget* CreateWidget(QWidget* parent) override {
    tabs_ = new TabWidget(m_, parent);
    tabs_->onTab = [this](int t) { User([this, t] { m_.UserSelectTab(t); }); };
    return tabs_;
  }
  void SyncOwn(forms::Prop p) override {
    if (p == forms::Prop::Tabs || p == forms::Prop::Caption || p == forms::Prop::Enabled ||
        p == forms::Prop::Style) {
      tabs_->update();
    }
  }

 private:
  forms::TabControl& m_;
  TabWidget* tabs_ = nullptr;
};

}  // namespace

std::unique_ptr<ControlView> MakeTabView(forms::Control& c, FormWindow& w) {
  if (auto* m = dynamic_cast<forms::TabControl*>(&c)) return std::make_unique<TabView>(*m, w);
  return nullptr;
}

}  // namespace qtui
