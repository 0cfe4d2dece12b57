#pragma once
// What the benchmarks that drive the real windows share: one Qt application with the program's
// App services (offscreen unless QT_QPA_PLATFORM says otherwise; xvfb-run works too), a prefix
// whose drive D: holds the picture folders, small pictures with bytes of their own, camera-size
// pictures, message boxes answered as a user answers them, and waiting until a window has
// painted what a click did.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/forms/App.h"
#include "platform/forms/Form.h"
#include "platform/imaging/Imaging.h"
#include "platform/qtui/FormWindow.h"
#include "platform/qtui/QtApp.h"
#include "platform/winfs/WinFs.h"
#include "tests/bench/Timing.h"

namespace bench {

namespace fs = std::filesystem;

inline int& OffscreenUnlessSet(int& argc) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return argc;
}

class QtWindows {
 public:
  QtWindows(int& argc, char** argv, const std::string& name)
      : app_(OffscreenUnlessSet(argc), argv),
        services_({"Velmora", "C:\\Velmora", 1, 0, 0, name, {}}) {
    forms::App::Install(&services_);
  }
  ~QtWindows() { Close(); }
  QtWindows(const QtWindows&) = delete;
  QtWindows& operator=(const QtWindows&) = delete;

  // Windows go before the forms they show, and both before the application.
  void Close() {
    std::fflush(stdout);
    for (qtui::FormWindow* window : qtui::FormWindow::All())
      qtui::FormWindow::Release(window->form());
    forms::ResetFormInstances();
    forms::App::Install(nullptr);
  }
  qtui::QtApp& Services() { return services_; }
  static const char* Platform() {
    static const QByteArray name = qgetenv("QT_QPA_PLATFORM");
    return name.constData();
  }

 private:
  QApplication app_;
  qtui::QtApp services_;
};

// Lets the window paint what the last action changed.
inline void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Clicks a widget and waits until the window has painted what it did; the seconds it took.
inline double ClickAndTime(QWidget* widget) {
  const auto t = Clock::now();
  QTest::mouseClick(widget, Qt::LeftButton);
  Settle();
  return Seconds(t);
}

// Answers every message box from now on with its default button, looking every `everyMs` (0:
// whenever the event loop is idle, for the next box inside a timed step, then every 20 ms
// again); the count of those answered.
inline int AnswerEveryBox(int everyMs = 20) {
  static int answered = 0;
  static QTimer* timer = nullptr;
  if (timer == nullptr) {
    timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        ++answered;
        QAbstractButton* b = box->defaultButton();
        (b != nullptr ? b : box->buttons().front())->click();
        if (timer->interval() == 0) timer->start(20);
      }
    });
  }
  if (timer->interval() != everyMs || !timer->isActive()) timer->start(everyMs);
  return answered;
}

// "IMG_00042.JPG": the name of a bench folder's picture n.
inline std::string PictureName(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "IMG_%05d.JPG", n);
  return name;
}

// A 64 x 48 JPEG whose bytes are picture n's own.
inline void SmallJpeg(const fs::path& file, int n) {
  std::vector<std::uint32_t> px(64 * 48);
  for (std::size_t i = 0; i < px.size(); ++i)
    px[i] = 0xFF000000u | ((i + 1) * 2654435761u * static_cast<unsigned>(n + 1));
  imaging::SaveJpeg(imaging::Picture::FromPixels(64, 48, std::move(px)), file, 80);
}

// Picture n as a w x h frame: soft gradients and bands of its own.
inline imaging::Picture Frame(int n, int w, int h) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned r = static_cast<unsigned>((x * 255 / w + n * 37) % 256);
      const unsigned g = static_cast<unsigned>((y * 255 / h + n * 53) % 256);
      const unsigned b = static_cast<unsigned>(((x + y) * 64 / w + n * 11) % 256);
      px[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  return imaging::Picture::FromPixels(w, h, std::move(px));
}

// The camera pictures the benches share (MakeCameraPictures).
inline const fs::path kCameraPool = "/tmp/velmora-program-bench";

// Camera pictures 0 to count - 1 (PictureName) in `pool`, made once and kept: 4000 x 3000 with
// a 160 x 120 Exif thumbnail (exiftool embeds them all in one run).
inline void MakeCameraPictures(const fs::path& pool, int count) {
  if (fs::exists(pool / ".complete")) return;
  fs::remove_all(pool);
  fs::create_directories(pool / "thumbs");
  std::ofstream args(pool / "exiftool.args");
  for (int n = 0; n < count; ++n) {
    imaging::SaveJpeg(Frame(n, 4000, 3000), pool / PictureName(n), 90);
    const fs::path thumb = pool / "thumbs" / PictureName(n);
    imaging::SaveJpeg(Frame(n, 160, 120), thumb, 85);
    args << "-overwrite_original\n-ThumbnailImage<=" << thumb.string() << "\n"
         << (pool / PictureName(n)).string() << "\n-execute\n";
  }
  args.close();
  const std::string cmd = "exiftool -q -@ '" + (pool / "exiftool.args").string() + "' >/dev/null";
  if (std::system(cmd.c_str()) != 0) std::_Exit(1);
  std::ofstream(pool / ".complete") << "ok";
}

// A new prefix at root/prefix, drive D: being `driveD` (default root/pics); its drive_c.
inline fs::path FreshPrefix(const fs::path& root, const fs::path& driveD = {}) {
  const fs::path prefix = root / "prefix";
  fs::remove_all(prefix);
  winfs::CreatePrefix(prefix);
  winfs::UsePrefix(prefix);
  winfs::LinkDrive('D', driveD.empty() ? root / "pics" : driveD);
  return prefix / "drive_c";
}

}  // namespace bench
