// Times the main window's thumbnail strip in the real window (the Qt renderer, offscreen unless
// QT_QPA_PLATFORM says otherwise; xvfb-run works too): the first page of a capture folder
// (listing and twelve thumbnails) and a page turn (a click on "Move Down Through Capture
// Directory"), each until the window has painted, at 100 and at 20,000 pictures.  The peer, in
// the same process: Qt's own scaled JPEG decoding of the same twelve pictures (and, for the
// first page, a listing of the folder).
//   bench_strip [TURNS]        (default 15; medians)
// The folders are made once under /tmp/velmora-strip-bench and kept: camera-size JPEGs
// (4000 x 3000, Exif thumbnails, each with content of its own) for the entries the turns show,
// small JPEGs with bytes of their own for the rest of the 20,000 (only their names are read).
#include <QImageReader>
#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "core/modVelmod.h"
#include "photo_pages/frmMain.h"
#include "tests/bench/QtWindows.h"

namespace bench {
namespace {

const fs::path kRoot = "/tmp/velmora-strip-bench";
constexpr int kCameraFiles = 120;  // the turns show the first 108 entries
constexpr int kTurnsPerCycle = 7;  // pages 1 to 7, then back to the first page

// A folder of `files` pictures: the camera pictures first (hard links: every entry of a
// folder is a file of its own), then small JPEGs with bytes of their own.
void MakeFolder(const fs::path& folder, int files, const fs::path& pool) {
  if (fs::exists(folder / ".complete")) return;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (int n = 0; n < files; ++n) {
    if (n < kCameraFiles) {
      fs::create_hard_link(pool / PictureName(n), folder / PictureName(n));
    } else {
      SmallJpeg(folder / PictureName(n), n);
    }
  }
  std::ofstream(folder / ".complete") << "ok";
}

// A prefix with the program's files and VELMORA.INI; drive D: holds the picture folders.
void MakePrefix() {
  const fs::path c = FreshPrefix(kRoot);
  const fs::path data = fs::path(VELMORA_SOURCE_DIR) / "tests" / "integration" / "data";
  fs::create_directories(c / "APPRAISE");
  fs::create_directories(c / "Velmora" / "User");
  fs::copy_file(data / "KEP.INI", c / "APPRAISE" / "KEP.INI");
  fs::copy_file(data / "velmod.dat", c / "Velmora" / "velmod.dat");
  fs::copy_file(data / "photo.jpg", c / "Velmora" / "empty.jpg");
  std::ofstream(c / "APPRAISE" / "VELMORA.INI", std::ios::binary)
      << "[DIRECTORIES]\r\nAPPDIR=C:\\Velmora\r\nUSERDIR=C:\\Velmora\\User\r\n"
         "CAPTUREDIR=D:\\P100\r\n[PREFERENCES]\r\nSCREENSIZE=0\r\n";
  fs::create_directories(kRoot / "dde");
  ::setenv("VELMORA_DDE_DIR", (kRoot / "dde").c_str(), 1);
}

// Qt's scaled JPEG decoding of the twelve pictures from entry `top` on, in this process.
double Peer(const fs::path& folder, int top, bool list) {
  const auto t = Clock::now();
  if (list) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(folder)) n += e.is_regular_file() ? 1 : 0;
    if (n == 0) std::_Exit(2);
  }
  for (int i = 0; i < 12; ++i) {
    QImageReader reader(QString::fromStdString((folder / PictureName(top + i)).string()));
    reader.setScaledSize(QSize(80, 60));
    if (reader.read().isNull()) std::_Exit(2);
  }
  return Seconds(t);
}

// The times of one folder, collected cycle by cycle.
struct Samples {
  std::vector<double> first, firstPeer, turn, turnPeer;
};

struct Result {
  double first = 0, firstPeer = 0, turn = 0, turnPeer = 0;
};

// One cycle in a folder: its first page, then pages 1 to 7 turned one click at a time.
void Cycle(photo_pages::frmMain& f, const std::string& dir, const fs::path& host, Samples& s) {
  qtui::FormWindow* window = qtui::FormWindow::For(f);
  QWidget* top = window->WidgetOf(&f.imaScroll[0]);
  QWidget* down = window->WidgetOf(&f.imaScroll[2]);
  core::gCaptureDir = dir;
  f.filCapture.SetPath("C:\\");  // a new path: the first page lists the folder afresh
  auto t = Clock::now();
  f.errdisplayThumbs();
  Settle();
  s.first.push_back(Seconds(t));
  s.firstPeer.push_back(Peer(host, 0, true));
  QTest::mouseClick(top, Qt::LeftButton);
  Settle();
  for (int k = 0; k < kTurnsPerCycle; ++k) {
    const int before = f.filCapture.TopIndex();
    t = Clock::now();
    QTest::mouseClick(down, Qt::LeftButton);
    Settle();
    s.turn.push_back(Seconds(t));
    if (f.filCapture.TopIndex() == before) std::_Exit(3);
    s.turnPeer.push_back(Peer(host, f.filCapture.TopIndex(), false));
  }
}

// The first cycle warmed up (a folder read within its clock tick is read again).
Result Medians(Samples s) {
  s.first.erase(s.first.begin());
  s.firstPeer.erase(s.firstPeer.begin());
  s.turn.erase(s.turn.begin(), s.turn.begin() + kTurnsPerCycle);
  s.turnPeer.erase(s.turnPeer.begin(), s.turnPeer.begin() + kTurnsPerCycle);
  return {Median(s.first), Median(s.firstPeer), Median(s.turn), Median(s.turnPeer)};
}

void Print(const char* what, int files, double ours, double peer) {
  std::printf("%-10s %6d files: ours %.4f s   Qt decode %.4f s   ratio %.2f\n", what, files, ours,
              peer, ours / peer);
}

int Main(int argc, char** argv) {
  const int turns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  QtWindows qt(argc, argv, "velmora-strip-bench");

  const fs::path pics = kRoot / "pics";
  MakeCameraPictures(kRoot / "camera", kCameraFiles);
  MakeFolder(pics / "P100", 100, kRoot / "camera");
  MakeFolder(pics / "P20000", 20000, kRoot / "camera");
  MakePrefix();

  core::ResetGlobals();
  AnswerEveryBox();  // the start-up without KEP asks
  int status = 0;
  {
    photo_pages::frmMain f;
    f.Load();
    f.Show();
    Settle();
    const int startBoxes = AnswerEveryBox();
    // The two folders take turns, cycle by cycle: a machine whose load drifts slows both alike.
    Samples s100, s20000;
    while (static_cast<int>(s100.turn.size()) < turns + kTurnsPerCycle) {
      Cycle(f, "D:\\P100\\", pics / "P100", s100);
      Cycle(f, "D:\\P20000\\", pics / "P20000", s20000);
    }
    const Result small = Medians(s100);
    const Result large = Medians(s20000);
    std::printf(
        "thumbnail strip in the Qt window (%s), medians of %d turns and of the first pages "
        "between them; start-up boxes answered: %d\n",
        QtWindows::Platform(), turns, startBoxes);
    Print("first page", 100, small.first, small.firstPeer);
    Print("first page", 20000, large.first, large.firstPeer);
    Print("page turn", 100, small.turn, small.turnPeer);
    Print("page turn", 20000, large.turn, large.turnPeer);
    std::printf(
        "page turn at 20000 / at 100: %.2f (target 1.2); Qt decode of the same pictures: "
        "%.2f\n",
        large.turn / small.turn, large.turnPeer / small.turnPeer);
    if (AnswerEveryBox() != startBoxes) {
      std::printf("message boxes during the turns: %d\n", AnswerEveryBox() - startBoxes);
      status = 4;
    }
    qt.Close();
  }
  return status;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  return bench::Main(argc, argv);
}
