#pragma once
// What the benchmarks of the real main window share: the integration fixture's prefix and KEP,
// the window drawn by the Qt renderer with camera-size pictures in its capture folder, started
// as a user starts the program, and a thumbnail dropped on a photo slot as a user drops it.
#include <QDropEvent>
#include <QTest>
#include <memory>
#include <string>

#include "app/MainWindowHost.h"
#include "platform/dde/Transport.h"
#include "platform/qtui/DragBridge.h"
#include "tests/bench/QtWindows.h"
#include "tests/bench/Timing.h"
#include "tests/integration/MainWindowFixture.h"

namespace bench {

inline QtWindows* gQt = nullptr;  // set by the bench's main
constexpr int kStripPage = 12;    // pictures in the capture folder
constexpr int kUserPause = 600;  // ms between a user's actions (the bridge ends idle conversations)

inline double Ms(Clock::time_point from) {
  return Seconds(from) * 1000;
}

class MainWindowBench : public mainwindow::MainWindowFixture {
 protected:
  // The fixture's prefix and KEP, the Qt window's App services, the pictures to place.
  void SetUp() override {
    MainWindowFixture::SetUp();
    forms::App::Install(&gQt->Services());
    dde::UseTransport(nullptr);
    for (int n = 0; n < kStripPage; ++n) {
      const fs::path to = prefix_.Host("C:\\GLENVUE\\") / PictureName(n);
      std::error_code ec;
      fs::create_hard_link(Picture(n), to, ec);
      if (ec) fs::copy_file(Picture(n), to);
    }
  }
  void TearDown() override {
    gQt->Close();
    MainWindowFixture::TearDown();
  }
  virtual fs::path Picture(int n) const { return kCameraPool / PictureName(n); }

  // The program started (KEP already running) until its window is shown and painted.
  photo_pages::frmMain& StartWindow() {
    app::StartMainWindow();
    photo_pages::frmMain& form = photo_pages::MainWindow();
    EXPECT_TRUE(form.Loaded());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(qtui::FormWindow::For(form)));
    Settle();
    return form;
  }

  // Thumbnail `thumb` dragged onto photo slot `slot`, a user's pause, then the drop timed until
  // the window has painted; milliseconds.
  double Drop(photo_pages::frmMain& form, int thumb, int slot) {
    qtui::FormWindow* window = qtui::FormWindow::For(form);
    QWidget* from = window->WidgetOf(&form.GeaThumb[thumb]);
    QWidget* to = window->WidgetOf(&form.imaComp[slot]);
    QTest::mousePress(from, Qt::LeftButton, {}, QPoint(10, 10));  // begins the thumbnail's drag
    std::unique_ptr<QMimeData> mime(qtui::NewDragMimeData());
    QDragEnterEvent enter(QPoint(40, 40), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(to, &enter);
    QTest::qWait(kUserPause);
    QDropEvent drop(QPointF(40, 40), Qt::MoveAction, mime.get(), Qt::LeftButton, {});
    const auto t = Clock::now();
    QApplication::sendEvent(to, &drop);
    Settle();
    const double took = Ms(t);
    QTest::mouseRelease(from, Qt::LeftButton, {}, QPoint(10, 10));
    return took;
  }
};

}  // namespace bench
