// A drag with the real mouse through an X server: the test starts itself again
// under xvfb-run, shows a window with two pictures, and moves the pointer with
// xdotool from one to the other with the button held.  The drop must reach the
// target's DragDrop with the source control, after DragOver enter and over.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Drag.h"
#include "platform/forms/Form.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"

namespace {

using namespace forms;

const char* const kChildFlag = "VELMORA_XVFB_CHILD";
std::string gSelf;

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
};

TEST(XvfbDrag, ARealMouseDragArrivesAtTheDropTarget) {
  if (std::getenv(kChildFlag) == nullptr) {
    const QString xvfb = QStandardPaths::findExecutable("xvfb-run");
    if (xvfb.isEmpty()) GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_FALSE(QStandardPaths::findExecutable("xdotool").isEmpty()) << "xdotool is missing";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildFlag, "1");
    env.insert("QT_QPA_PLATFORM", "xcb");
    // libxkbcommon-x11 calls strndup on keymap names that are not NUL-ended,
    // which AddressSanitizer's strict string checks take for an overflow.
    if (env.contains("ASAN_OPTIONS")) {
      env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    }
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(xvfb, {"-a", "-s", "-screen 0 1024x768x24", QString::fromStdString(gSelf),
                       "--gtest_filter=XvfbDrag.*"});
    ASSERT_TRUE(child.waitForFinished(90000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return;
  }

  int argc = 1;
  char name[] = "gui_qtui_xvfb";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  qtui::QtApp services({"Drag Test", "C:\\", 1, 0, 0, "velmora-xvfb-test", {}});
  App::Install(&services);
  {
    DragForm form;
    form.Show();
    qtui::FormWindow* window = qtui::FormWindow::For(form, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::qWait(300);
    const QPoint from = window->WidgetOf(&form.imaFrom)->mapToGlobal(QPoint(50, 50));
    const QPoint to = window->WidgetOf(&form.imaTo)->mapToGlobal(QPoint(50, 50));
    auto at = [](QPoint p) {
      return QStringList{"mousemove", QString::number(p.x()), QString::number(p.y())};
    };
    QStringList script = at(from);
    script << "sleep"
           << "0.3"
           << "mousedown"
           << "1"
           << "sleep"
           << "0.3";
    for (int step = 1; step <= 8; ++step) {
      script << at(from + (to - from) * step / 8) << "sleep"
             << "0.1";
    }
    script << at(to + QPoint(4, 3)) << "sleep"
           << "0.3"
           << "mouseup"
           << "1";
    QProcess xdotool;
    xdotool.start("xdotool", script);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
      QTest::qWait(50);
      if (!form.log.empty() && form.log.back().rfind("DragDrop", 0) == 0) break;
    }
    xdotool.waitForFinished(5000);
    ASSERT_FALSE(form.log.empty()) << "no drag event arrived";
    EXPECT_EQ(form.log.front(), "DragOver imaFrom 0");
    EXPECT_EQ(form.log.back(), "DragDrop imaFrom");
    for (const std::string& entry : form.log) std::printf("  %s\n", entry.c_str());
    EXPECT_FALSE(DragDriver::Instance().Active());
    qtui::FormWindow::Release(form);
  }
  App::Install(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::error_code ec;
  gSelf = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (gSelf.empty()) gSelf = argv[0];
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
