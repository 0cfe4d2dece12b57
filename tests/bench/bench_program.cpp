// The program's own code against each transport: kep (the stand-in) over the Unix sockets, and
// kep.exe under Wine through the DDE bridge, in one run.  For each: start-up until the main
// window is shown with the report, a Refresh (the KEP button), and a thumbnail dropped on an
// empty slot until KEP has acknowledged its SetImage.  The window is the headless one of the
// tests; what is timed is the program's code and its DDE, not a display.
//
//   xvfb-run -a bench_program [RUNS]      (default 5; medians; one run more warms up)
//
// Needs Wine and an X display for Wine's DDE; boots a throw-away Wine prefix (some seconds)
// unless $VELMORA_TEST_WINEPREFIX names a booted one.  Prints both figures, their ratio and the
// machine's load averages before and after.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/modVelmodSlots.h"
#include "tests/bench/Timing.h"
#include "tests/integration/MainWindowFixture.h"
#include "tests/integration/wine/WineSession.h"

namespace {

int gRuns = 5;

struct Figures {
  std::vector<double> start, refresh, drop;  // milliseconds
};
Figures gSockets, gWine;

std::string Load() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

class ProgramBench : public mainwindow::MainWindowFixture {
 protected:
  void UseWine() {
    wine_ = std::make_unique<WineSession>(prefix_.Prefix());
    kep_launcher_ = wine_->KepLauncher();
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    wine_.reset();
  }
  // One run: start-up, a Refresh, a drop.
  void Once(Figures& times) {
    WritePicture("C:\\GLENVUE\\IMG_0001.JPG", 1600, 1200);
    StartKep();
    auto t = bench::Clock::now();
    ASSERT_TRUE(StartShown()) << Boxes();
    times.start.push_back(bench::Seconds(t) * 1000);
    t = bench::Clock::now();
    f().imaKep.Click();
    times.refresh.push_back(bench::Seconds(t) * 1000);
    t = bench::Clock::now();
    DragAndDrop(f().GeaThumb[0], f().imaComp[2]);
    times.drop.push_back(bench::Seconds(t) * 1000);
    ASSERT_EQ(SetImages().size(), 1u) << Boxes();
    ASSERT_NE(SetImages()[0].find("-> OK"), std::string::npos) << SetImages()[0];
  }
  std::unique_ptr<WineSession> wine_;
};

// Each run is one repetition of the tests: a fresh prefix, program state and KEP.
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
    std::fprintf(stderr, "bench_program: Wine's DDE needs an X display (xvfb-run -a)\n");
    return 2;
  }
  const std::string before = Load();
  std::string booted;
  if (!std::getenv("VELMORA_TEST_WINEPREFIX")) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    booted = pattern;
    const std::string script =
        std::string(VELMORA_SOURCE_DIR) + "/tests/integration/wine/make-prefix";
    if (std::system((script + " '" + booted + "/wine' >/dev/null").c_str()) != 0) return 1;
    ::setenv("VELMORA_TEST_WINEPREFIX", (booted + "/wine").c_str(), 1);
  }
  const int rc = RUN_ALL_TESTS();
  std::printf("medians of %d runs; load averages %s before, %s after\n", gRuns, before.c_str(),
              Load().c_str());
  std::printf("%-30s %13s %15s %9s\n", "", "Unix socket", "kep.exe + Wine", "Wine/sock");
  Print("start-up to the window shown", gSockets.start, gWine.start);
  Print("Refresh", gSockets.refresh, gWine.refresh);
  Print("drop to KEP's acknowledgement", gSockets.drop, gWine.drop);
  if (!booted.empty()) {
    const std::string script =
        std::string(VELMORA_SOURCE_DIR) + "/tests/integration/wine/make-prefix";
    std::system((script + " --remove '" + booted + "/wine'").c_str());
    std::filesystem::remove_all(booted);
  }
  return rc;
}
