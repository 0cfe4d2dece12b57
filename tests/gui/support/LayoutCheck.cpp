#include "tests/gui/support/LayoutCheck.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <fstream>
#include <regex>
#include <set>
#include <utility>

#include "platform/forms/Form.h"
#include "platform/forms/Layout.h"
#include "platform/forms/TabControl.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Units.h"

namespace layoutcheck {
namespace {

using Pair = std::pair<std::string, std::string>;

std::string NameOf(const forms::Control& c) {
  return c.Index() < 0 ? c.Name() : c.Name() + "(" + std::to_string(c.Index()) + ")";
}

// "# shares place with: a, b" inside a control's block, both ways round.
std::set<Pair> SharedPlaces(const forms::Form& form) {
  std::set<Pair> shared;
  const std::string name = form.LayoutName();
  if (name.empty()) return shared;
  std::ifstream in(forms::LayoutPath(name));
  const std::regex control(R"(^\s*Control\s+\S+\s+(\S+))");
  const std::regex shares(R"(^\s*#\s*shares place with:\s*(.*)$)");
  const std::regex item(R"([^,\s]+)");
  std::string line, current;
  std::smatch m;
  while (std::getline(in, line)) {
    if (std::regex_search(line, m, control)) current = m[1];
    if (!std::regex_search(line, m, shares) || current.empty()) continue;
    const std::string list = m[1];
    for (std::sregex_iterator it(list.begin(), list.end(), item), end; it != end; ++it) {
      shared.insert({current, it->str()});
      shared.insert({it->str(), current});
    }
  }
  return shared;
}

// The part of a tab control's widget below its rows of tabs.
QRect PageArea(const forms::TabControl& tabs, const QWidget& widget) {
  int shown = 0;
  for (int t = 0; t < tabs.Tabs(); ++t) shown += tabs.TabVisible(t) ? 1 : 0;
  const int perRow = std::max(1, tabs.TabsPerRow());
  const int rows = (shown + perRow - 1) / perRow;
  const int strip = rows * std::max(8, qtui::TwipsToPixels(tabs.TabHeight()));
  return widget.rect().adjusted(0, strip, 0, 0);
}

QString Shown(QString text) {
  return text.replace("&&", "\x01").remove('&').replace('\x01', '&');
}

// Where a button's text goes, as the style lays the button out.
QRect TextArea(const QAbstractButton& b) {
  QStyleOptionButton opt;
  opt.initFrom(&b);
  opt.text = b.text();
  opt.rect = b.rect();
  QStyle::SubElement element = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(&b)) element = QStyle::SE_CheckBoxContents;
  if (qobject_cast<const QRadioButton*>(&b)) element = QStyle::SE_RadioButtonContents;
  return b.style()->subElementRect(element, &opt, &b);
}

// Empty when the caption fits; else what does not.
std::string CaptionFault(const QWidget& w) {
  QSize need, room;
  if (const auto* label = qobject_cast<const QLabel*>(&w)) {
    // A one-line label shows a long caption shortened; the whole caption must fit.
    const QVariant caption = label->property("caption");
    const QString text = caption.isValid() ? caption.toString() : label->text();
    if (text.isEmpty()) return {};
    const QRect area = label->contentsRect();
    const int flags = Qt::TextWordWrap | static_cast<int>(label->alignment());
    need = QFontMetrics(label->font())
               .boundingRect(QRect(0, 0, area.width(), 100000), flags, text)
               .size();
    room = area.size();
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(&w)) {
    const QString text = Shown(button->text());
    if (text.isEmpty()) return {};
    const QFontMetrics fm(button->font());
    need = QSize(fm.horizontalAdvance(text), fm.height());
    room = TextArea(*button).size();
  } else {
    return {};
  }
  if (need.width() <= room.width() && need.height() <= room.height()) return {};
  return "caption needs " + std::to_string(need.width()) + "x" + std::to_string(need.height()) +
         " px, has " + std::to_string(room.width()) + "x" + std::to_string(room.height());
}

std::string Rect(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

struct Placed {
  const forms::Control* control;
  QWidget* widget;
};

bool Checked(const forms::Control& c) {
  return c.TypeName() != "Line" && c.TypeName() != "Menu";
}

// Makes the page that holds c current in every tab control around it, as the user clicks his
// way there; false when a tab control refuses the page.
bool ShowPageOf(forms::Control& c) {
  for (forms::Control* k = &c; k->Container(); k = k->Container()) {
    auto* tabs = dynamic_cast<forms::TabControl*>(k->Container());
    if (!tabs || k->TabPage() < 0 || tabs->Tab() == k->TabPage()) continue;
    if (!ShowPageOf(*tabs)) return false;
    tabs->UserSelectTab(k->TabPage());
    if (tabs->Tab() != k->TabPage()) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> Faults(forms::Form& form) {
  std::vector<std::string> faults;
  qtui::FormWindow* window = qtui::FormWindow::For(form, false);
  if (!window) return {form.Name() + ": no renderer window"};
  auto fault = [&](const forms::Control& c, const std::string& what) {
    faults.push_back(form.Name() + ": " + NameOf(c) + " " + what);
  };

  std::vector<Placed> placed;
  for (forms::Control* c : form.Controls()) {
    QWidget* w = window->WidgetOf(c);
    if (!w || !Checked(*c) || !c->IsShown()) continue;
    placed.push_back({c, w});
    const QWidget* parent = w->parentWidget();
    QRect area = parent ? parent->rect() : QRect();
    const auto* tabs = dynamic_cast<const forms::TabControl*>(c->Container());
    if (tabs && parent) area = PageArea(*tabs, *parent);
    if (!area.contains(w->geometry()))
      fault(*c, "at " + Rect(w->geometry()) + " lies outside its container " + Rect(area));
    const std::string caption = CaptionFault(*w);
    if (!caption.empty()) fault(*c, caption);
  }

  const std::set<Pair> shared = SharedPlaces(form);
  for (std::size_t i = 0; i < placed.size(); ++i)
    for (std::size_t j = i + 1; j < placed.size(); ++j) {
      const Placed& a = placed[i];
      const Placed& b = placed[j];
      if (a.control->Container() != b.control->Container() ||
          a.control->TabPage() != b.control->TabPage())
        continue;
      if (!a.widget->geometry().intersects(b.widget->geometry())) continue;
      if (shared.count({NameOf(*a.control), NameOf(*b.control)})) continue;
      if (shared.count({a.control->Name(), b.control->Name()})) continue;
      fault(*a.control, "overlaps " + NameOf(*b.control) + " (" + Rect(a.widget->geometry()) +
                            " / " + Rect(b.widget->geometry()) + ")");
    }
  return faults;
}

std::vector<std::string> FaultsOnEveryPage(forms::Form& form) {
  std::set<std::string> seen;
  std::vector<std::string> faults;
  auto collect = [&] {
    qtui::FormWindow::For(form)->RefreshShown();
    for (const std::string& f : Faults(form))
      if (seen.insert(f).second) faults.push_back(f);
  };
  collect();
  for (forms::Control* c : form.Controls()) {
    auto* tabs = dynamic_cast<forms::TabControl*>(c);
    if (!tabs) continue;
    for (int page = 0; page < tabs->Tabs(); ++page) {
      if (!ShowPageOf(*tabs) || !tabs->TabVisible(page)) continue;
      tabs->UserSelectTab(page);
      if (tabs->Tab() == page) collect();
    }
  }
  return faults;
}

}  // namespace layoutcheck
