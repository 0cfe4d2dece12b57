// The real program against each transport: kep (the stand-in) over the Unix sockets, and kep.exe
// under Wine through the DDE bridge, in one run, each chosen by the program itself from its
// prefix (a Wine prefix takes Wine's).  The main window is drawn by the Qt renderer (on the X
// display: run it under xvfb-run), the capture folder holds camera-size pictures.  For each:
// start-up (the program's start until its window is shown and painted), a Refresh (a click on
// the KEP button until painted), and a thumbnail dropped on an empty slot until KEP has
// acknowledged its SetImage and the window has painted; a user's pause comes before each.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_program [RUNS]   (default 5; medians; one
//                                                                   run more warms up)
//
// KEP runs before the program starts, as for a user.  Boots a throw-away Wine prefix (some
// seconds) unless $VELMORA_TEST_WINEPREFIX names a booted one.  Prints both figures, their
// ratio and the machine's load averages before and after.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/bench/MainWindowBench.h"
#include "tests/integration/wine/WineSession.h"

namespace {

using bench::Ms;
namespace fs = std::filesystem;

int gRuns = 5;

struct Figures {
  std::vector<double> start, refresh, drop;  // milliseconds
};
Figures gSockets, gWine;

class ProgramBench : public bench::MainWindowBench {
 protected:
  void TearDown() override {
    MainWindowBench::TearDown();
    wine_.reset();
  }
  // The fixture's prefix made a Wine prefix with kep.exe running in it; the program's own
  // choice of transport then takes Wine's.
  void UseWine() {
    wine_ = std::make_unique<WineSession>(prefix_.Prefix());
    kep_launcher_ = wine_->KepLauncher();
    dde::UseTransport(nullptr);
  }

  void Once(Figures& times) {
    StartKep();
    auto t = bench::Clock::now();
    photo_pages::frmMain& form = StartWindow();
    times.start.push_back(Ms(t));
    ASSERT_EQ(form.lblRPT.Caption(), report_.name);

    QTest::qWait(bench::kUserPause);
    t = bench::Clock::now();
    QTest::mouseClick(qtui::FormWindow::For(form)->WidgetOf(&form.imaKep), Qt::LeftButton);
    bench::Settle();
    times.refresh.push_back(Ms(t));

    times.drop.push_back(Drop(form, 0, 2));
    ASSERT_EQ(SetImages().size(), 1u);
    ASSERT_NE(SetImages()[0].find("-> OK"), std::string::npos) << SetImages()[0];
    ASSERT_EQ(bench::AnswerEveryBox(), 0);
  }
  std::unique_ptr<WineSession> wine_;
};

// Each run is one repetition of the tests: a fresh prefix, program and KEP.
TEST_F(ProgramBench, Sockets) {
  Once(gSockets);
}

TEST_F(ProgramBench, Wine) {
  UseWine();
  Once(gWine);
}

// The first run of each warms up and is not counted.
void Print(const char* what, std::vector<double> sockets, std::vector<double> wine) {
  if (sockets.size() < 2 || wine.size() < 2) return;
  sockets.erase(sockets.begin());
  wine.erase(wine.begin());
  const double s = bench::Median(sockets), w = bench::Median(wine);
  std::printf("%-30s %10.0f ms %12.0f ms %8.2fx\n", what, s, w, w / s);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) gRuns = std::max(1, std::atoi(argv[1]));
  GTEST_FLAG_SET(repeat, gRuns + 1);
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "bench_program: the window and Wine's DDE need an X display (xvfb-run)\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  ::setenv("VELMORA_DDE_BRIDGE", WINBRIDGE_EXE, 1);
  bench::QtWindows qt(argc, argv, "velmora-program-bench");
  bench::gQt = &qt;
  bench::AnswerEveryBox();
  bench::MakeCameraPictures(bench::kCameraPool, bench::kStripPage);
  const std::string before = bench::LoadAverages();
  std::string booted;
  const std::string script =
      std::string(VELMORA_SOURCE_DIR) + "/tests/integration/wine/make-prefix";
  if (!std::getenv("VELMORA_TEST_WINEPREFIX")) {
    std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    booted = pattern;
    if (std::system((script + " '" + booted + "/wine' >/dev/null").c_str()) != 0) return 1;
    ::setenv("VELMORA_TEST_WINEPREFIX", (booted + "/wine").c_str(), 1);
  }
  const int rc = RUN_ALL_TESTS();
  std::printf(
      "real window (%s), %d camera pictures; medians of %d runs; load averages %s before, "
      "%s after\n",
      bench::QtWindows::Platform(), bench::kStripPage, gRuns, before.c_str(),
      bench::LoadAverages().c_str());
  std::printf("%-30s %13s %15s %9s\n", "", "Unix socket", "kep.exe + Wine", "Wine/sock");
  Print("start-up to the window shown", gSockets.start, gWine.start);
  Print("Refresh", gSockets.refresh, gWine.refresh);
  Print("drop to KEP's acknowledgement", gSockets.drop, gWine.drop);
  if (!booted.empty()) {
    std::system((script + " --remove '" + booted + "/wine'").c_str());
    fs::remove_all(booted);
  }
  return rc;
}
