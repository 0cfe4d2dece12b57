// A drag with the real mouse through an X server: the test starts itself again
// under xvfb-run, shows a window with two pictures, and moves the pointer with
// xdotool from one to the other with the button held.  The drop must reach the
// target's DragDrop with the source control, after DragOver enter and over; a
// double-click in place must arrive as DblClick although the press begins a drag.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"
#include "tests/gui/UnderXvfb.h"

namespace {

using namespace forms;

imaging::Picture Solid(int w, int h, std::uint32_t argb) {
  return imaging::Picture::FromPixels(w, h, std::vector<std::uint32_t>(w * h, argb));
}

class DragForm : public Form {
 public:
  DragForm() : Form("frmDrag", "-") {
    SetCaption("Drag Test");
    Move(0, 0, 9000, 4500);
    imaFrom.Move(600, 600, 1500, 1500);
    imaFrom.SetPicture(StdPicture(Solid(40, 40, 0xFF2050A0), "test"));
    imaFrom.SetStretch(true);
    imaFrom.SetDragIcon(StdPicture(Solid(32, 32, 0xFFE0A000), "icon"));
    imaTo.Move(5400, 600, 1500, 1500);
    imaTo.SetPicture(StdPicture(Solid(40, 40, 0xFF20A050), "test"));
    imaTo.SetStretch(true);
    imaFrom.MouseDown = [this](int button, int, float, float) {
      if (button == vbLeftButton) imaFrom.Drag(vbBeginDrag);
    };
    imaFrom.DblClick = [this] { log.push_back("DblClick"); };
    imaTo.DragOver = [this](Control& src, float, float, int state) {
      log.push_back("DragOver " + src.Name() + " " + std::to_string(state));
    };
    imaTo.DragDrop = [this](Control& src, float, float) {
      log.push_back("DragDrop " + src.Name());
    };
  }
  Image imaFrom{*this, "imaFrom"};
  Image imaTo{*this, "imaTo"};
  std::vector<std::string> log;
  int keysUp = 0;

 protected:
  void Form_KeyUp(int& KeyCode, int) override { keysUp += KeyCode == vbKeyR; }
};

// Runs xdotool with the script while events run, until done() or 20 s.
void Drive(const QStringList& script, const std::function<bool()>& done) {
  QProcess xdotool;
  xdotool.start("xdotool", script);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 20000 && !done()) QTest::qWait(50);
  xdotool.waitForFinished(5000);
  QTest::qWait(300);  // late events would show up in the log
}

class XvfbDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!xvfb::InChild()) return;
    static int argc = 1;
    static char name[] = "gui_qtui_xvfb";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
    services = std::make_unique<qtui::QtApp>(
        qtui::AppInfo{"Drag Test", "C:\\", 1, 0, 0, "velmora-xvfb-test", {}});
    App::Install(services.get());
    form = std::make_unique<DragForm>();
    form->Show();
    window = qtui::FormWindow::For(*form, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::qWait(300);
  }
  void TearDown() override {
    if (!form) return;
    qtui::FormWindow::Release(*form);
    form.reset();
    App::Install(nullptr);
  }
  QPoint Centre(const Control& c) { return window->WidgetOf(&c)->mapToGlobal(QPoint(50, 50)); }

  std::unique_ptr<QApplication> app;
  std::unique_ptr<qtui::QtApp> services;
  std::unique_ptr<DragForm> form;
  qtui::FormWindow* window = nullptr;
};

TEST_F(XvfbDrag, ARealMouseDragArrivesAtTheDropTarget) {
  if (xvfb::RanUnderXvfb()) return;
  const QPoint from = Centre(form->imaFrom);
  const QPoint to = Centre(form->imaTo);
  const QStringList script = xvfb::DragScript(from, to, 8);
  Drive(script, [&] { return !form->log.empty() && form->log.back().rfind("DragDrop", 0) == 0; });
  ASSERT_FALSE(form->log.empty()) << "no drag event arrived";
  EXPECT_EQ(form->log.front(), "DragOver imaFrom 0");
  EXPECT_EQ(form->log.back(), "DragDrop imaFrom");
  for (const std::string& entry : form->log) std::printf("  %s\n", entry.c_str());
  EXPECT_FALSE(DragDriver::Instance().Active());
}

// The press begins a drag, yet a click in place starts no system drag, so the
// second click arrives as a double-click; a move of a pixel or two is no drag.
TEST_F(XvfbDrag, ADoubleClickInPlaceArrivesAsDblClick) {
  if (xvfb::RanUnderXvfb()) return;
  const QPoint from = Centre(form->imaFrom);
  QStringList script = xvfb::MoveTo(from);
  script << "sleep"
         << "0.3"
         << "mousedown"
         << "1" << xvfb::MoveTo(from + QPoint(1, 0)) << "mouseup"
         << "1"
         << "sleep"
         << "0.08"
         << "click"
         << "1";
  auto dblClicked = [&] {
    return std::find(form->log.begin(), form->log.end(), "DblClick") != form->log.end();
  };
  Drive(script, dblClicked);
  for (const std::string& entry : form->log) std::printf("  %s\n", entry.c_str());
  EXPECT_TRUE(dblClicked());
  EXPECT_FALSE(DragDriver::Instance().Active());
  EXPECT_TRUE(std::none_of(form->log.begin(), form->log.end(),
                           [](const std::string& e) { return e.rfind("Drag", 0) == 0; }));
}

// Counts the releases of the R key that reach the program, repeated ones included.
class ReleaseCounter : public QObject {
 public:
  int releases = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_R)
      ++releases;
    return false;
  }
};

// A held key comes up once (Ctrl+R steps the window size once): the X server sends no release
// between the repeated presses that could be taken for the key coming up.
TEST_F(XvfbDrag, AHeldKeyComesUpOnce) {
  if (xvfb::RanUnderXvfb()) return;
  ReleaseCounter counter;
  window->installEventFilter(&counter);
  const QStringList script = {"windowfocus", QString::number(window->winId()),
                              "sleep",       "0.3",
                              "keydown",     "ctrl+r",
                              "sleep",       "2.5",
                              "keyup",       "ctrl+r"};
  Drive(script, [&] { return form->keysUp > 0 && counter.releases > 0; });
  EXPECT_EQ(form->keysUp, 1);
  EXPECT_EQ(counter.releases, 1);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
