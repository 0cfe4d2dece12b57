#include "platform/qtui/ControlMap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/forms/Controls.h"
#include "platform/forms/Gear.h"
#include "platform/forms/ListControls.h"
#include "platform/forms/TabControl.h"
#include "platform/forms/TextBox.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/Views.h"

namespace qtui {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Quoted(const QString& text) {
  return Quoted(text.toStdString());
}

std::string TextOf(const forms::Control& c) {
  if (auto* l = dynamic_cast<const forms::Label*>(&c)) return l->Caption();
  if (auto* b = dynamic_cast<const forms::CommandButton*>(&c)) return b->Caption();
  if (auto* b = dynamic_cast<const forms::CheckBox*>(&c)) return b->Caption();
  if (auto* b = dynamic_cast<const forms::OptionButton*>(&c)) return b->Caption();
  if (auto* f = dynamic_cast<const forms::Frame*>(&c)) return f->Caption();
  if (auto* t = dynamic_cast<const forms::TextBox*>(&c)) return t->Text();
  if (auto* b = dynamic_cast<const forms::ComboBox*>(&c)) return b->Text();
  if (auto* g = dynamic_cast<const forms::Gear*>(&c)) return g->ThumbPath();
  return {};
}

std::ostream& operator<<(std::ostream& out, const QRect& r) {
  return out << r.x() << ' ' << r.y() << ' ' << r.width() << ' ' << r.height();
}

QRect GlobalRect(const QWidget* w, const QRect& local) {
  return QRect(w->mapToGlobal(local.topLeft()), local.size());
}

void WriteForm(std::ostream& out, const FormWindow& window) {
  const forms::Form& form = window.form();
  out << "window " << form.Name() << ' ' << window.frameGeometry() << ' '
      << Quoted(window.windowTitle()) << '\n';
  for (forms::Control* c : form.Controls()) {
    const QWidget* w = window.WidgetOf(c);
    if (!w) continue;
    std::string name = c->Name();
    if (c->Index() >= 0) name += "(" + std::to_string(c->Index()) + ")";
    out << "control " << form.Name() << ' ' << name << ' ' << GlobalRect(w, w->rect()) << ' '
        << (w->isVisible() ? 1 : 0) << ' ' << (w->isEnabled() ? 1 : 0) << ' ' << Quoted(TextOf(*c))
        << '\n';
    if (auto* tabs = dynamic_cast<const forms::TabControl*>(c); tabs && w->isVisible()) {
      for (const auto& [page, rect] : TabHeaderRects(*tabs, w->width())) {
        out << "tab " << form.Name() << ' ' << name << ' ' << page << ' ' << GlobalRect(w, rect)
            << ' ' << Quoted(tabs->TabCaption(page)) << '\n';
      }
    }
  }
}

void WriteMenus(std::ostream& out, const QWidget* top) {
  const std::string title = Quoted(top->windowTitle());
  if (auto* menu = qobject_cast<const QMenu*>(top)) {
    for (QAction* a : menu->actions()) {
      if (a->isVisible() && !a->isSeparator()) {
        out << "menu " << title << ' ' << GlobalRect(menu, menu->actionGeometry(a)) << ' '
            << Quoted(a->text()) << '\n';
      }
    }
    return;
  }
  for (const QMenuBar* bar : top->findChildren<QMenuBar*>()) {
    if (!bar->isVisible()) continue;
    for (QAction* a : bar->actions()) {
      if (a->isVisible()) {
        out << "menu " << title << ' ' << GlobalRect(bar, bar->actionGeometry(a)) << ' '
            << Quoted(a->text()) << '\n';
      }
    }
  }
}

// Message boxes and other windows that are not forms: their texts and buttons.
void WriteBox(std::ostream& out, const QWidget* top) {
  const std::string title = Quoted(top->windowTitle());
  for (const QLabel* l : top->findChildren<QLabel*>()) {
    if (l->isVisible() && !l->text().isEmpty()) {
      out << "label " << title << ' ' << GlobalRect(l, l->rect()) << ' ' << Quoted(l->text())
          << '\n';
    }
  }
  for (const QAbstractButton* b : top->findChildren<QAbstractButton*>()) {
    if (b->isVisible()) {
      out << "button " << title << ' ' << GlobalRect(b, b->rect()) << ' ' << Quoted(b->text())
          << '\n';
    }
  }
}

void WriteMap(const std::filesystem::path& file) {
  static long ticks = 0;
  std::ostringstream out;
  out << "tick " << ++ticks << '\n';
  for (QWidget* top : QApplication::topLevelWidgets()) {
    // A window the X server has not put on the screen yet takes no clicks.
    if (!top->isVisible() || !top->windowHandle() || !top->windowHandle()->isExposed()) continue;
    if (auto* window = qobject_cast<FormWindow*>(top)) {
      WriteForm(out, *window);
    } else if (!qobject_cast<QMenu*>(top)) {
      out << "window - " << top->frameGeometry() << ' ' << Quoted(top->windowTitle()) << '\n';
      WriteBox(out, top);
    }
    WriteMenus(out, top);
  }
  const std::filesystem::path temp = file.string() + ".tmp";
  {
    std::ofstream f(temp, std::ios::binary | std::ios::trunc);
    if (!f) return;
    f << out.str();
  }
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
}

}  // namespace

void StartControlMapFromEnvironment() {
  static bool started = false;
  const char* file = std::getenv("VELMORA_CONTROL_MAP");
  if (started || !file || !*file) return;
  started = true;
  auto* timer = new QTimer(qApp);
  const std::filesystem::path path = file;
  QObject::connect(timer, &QTimer::timeout, [path] { WriteMap(path); });
  timer->start(250);
}

}  // namespace qtui
