// The cost of a DDE transaction with KEP: through the bridge and Wine's DDE to kep.exe (the
// stand-in built for Windows) against the Unix sockets to kep, the stand-in.  Needs Wine and an
// X display (run it under xvfb-run -a); it boots a throw-away Wine prefix (some seconds) unless
// $VELMORA_BENCH_WINEPREFIX names a booted one.
//
//   bench_dde [REQUESTS]      (default 200)
//
// For each transport, medians: a request on one open conversation; a whole operation (a
// conversation opened, one request, closed, as each KEP call does); the DDE sequence of one
// placement (active reports, open, forms, SetImage), back to back and after the user's pause
// (the bridge has ended its conversations by then); the conversations of one report refresh
// (reports, open, forms, the image list, kRefreshFields fields: as many as the program holds
// at start-up and at each refresh); and the first conversation of a run (for Wine: the bridge
// starting).  Each line gives the socket figure, ours through Wine and the ratio.

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/dde/Link.h"
#include "platform/dde/Transport.h"
#include "platform/dde/WineTransport.h"
#include "tests/integration/KepProcess.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kReport = R"(C:\KEPDATA\REPORTS\BENCH.ZAP)";
constexpr int kRefreshFields = 263;  // with the four before them: 267 conversations
constexpr auto kUserPause = std::chrono::milliseconds(400);

// `pause` runs untimed before each timed run.
double MedianMs(
    int runs, const std::function<void()>& once, const std::function<void()>& pause = [] {}) {
  std::vector<double> ms;
  once();  // warm
  for (int i = 0; i < runs; ++i) {
    pause();
    const auto t0 = Clock::now();
    once();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::string Request(dde::Link& link, const std::string& topic, const std::string& item) {
  link.SetLinkMode(0);
  link.SetLinkTopic(topic);
  link.SetLinkMode(2);
  link.SetLinkItem(item);
  std::string reply = link.Request();
  link.SetLinkMode(0);
  return reply;
}

// Active reports, open, forms (as each placement and refresh begins); the report's name.
std::string OpenActiveReport(dde::Link& link) {
  const std::string reports = Request(link, "KEP|Query", "ActiveReports");
  const std::string report = reports.substr(0, reports.find(','));
  Request(link, "Kep|" + report, "UserID");
  Request(link, "KEP|" + report, "ListForms");
  link.SetLinkMode(0);
  return report;
}

void Placement(dde::Link& link) {
  OpenActiveReport(link);
  link.SetLinkMode(2);
  link.Execute("[RunMacro( SetImage \"CMP_1_3X5\", \"C:\\\\PICS\\\\P.JPG\" ) ]\r");
  link.SetLinkMode(0);
}

void Refresh(dde::Link& link) {
  const std::string report = OpenActiveReport(link);
  link.SetLinkTopic("KEP|System");
  link.SetLinkMode(2);
  link.Execute("[RunMacro( SetRequest \"IMAGES\",  GetImages$(1))]");
  link.SetLinkItem("IMAGES");
  link.Request();
  link.SetLinkMode(0);
  for (int i = 1; i <= kRefreshFields; ++i) {
    Request(link, "KEP|" + report, "UA5|F|" + std::to_string(i));
  }
}

const char* const kFigureNames[] = {
    "request on an open conversation", "operation (open, request, close)",
    "placement, back to back",         "placement after a pause",
    "refresh (267 conversations)",     "first conversation of a run",
};
constexpr std::size_t kFigures = sizeof(kFigureNames) / sizeof(kFigureNames[0]);
using Figures = std::vector<double>;

// `fresh` makes a new transport (the first conversation of a run).
void Measure(int runs, const std::function<void()>& fresh, dde::Link& link, Figures& f) {
  link.SetLinkTopic(std::string("KEP|") + kReport);
  link.SetLinkMode(2);
  link.SetLinkItem("ListForms");
  f.push_back(MedianMs(runs, [&] { link.Request(); }));
  link.SetLinkMode(0);
  f.push_back(MedianMs(runs, [&] { Request(link, std::string("KEP|") + kReport, "ListForms"); }));
  f.push_back(MedianMs(runs / 4, [&] { Placement(link); }));
  const auto pause = [] { std::this_thread::sleep_for(kUserPause); };
  f.push_back(MedianMs(
      std::max(3, runs / 20), [&] { Placement(link); }, pause));
  f.push_back(MedianMs(
      3, [&] { Refresh(link); }, pause));
  f.push_back(MedianMs(
      3, [&] { Request(link, "KEP|Query", "ActiveReports"); }, fresh));
}

Figures Measure(int runs, const std::function<void()>& fresh) {
  dde::Link link;
  Figures f;
  try {
    Measure(runs, fresh, link, f);
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string(kFigureNames[f.size()]) + ": " + e.what());
  }
  return f;
}

void Print(int runs, const Figures& sockets, const Figures& wine) {
  std::printf("medians (%d requests, %d operations, placements and refreshes as listed above):\n",
              runs, runs);
  std::printf("%-34s %12s %14s %9s\n", "", "Unix socket", "bridge + Wine", "Wine/sock");
  for (std::size_t i = 0; i < kFigures; ++i) {
    std::printf("%-34s %9.3f ms %11.3f ms %8.1fx\n", kFigureNames[i], sockets[i], wine[i],
                wine[i] / sockets[i]);
  }
  const double startSockets = sockets[4] + sockets[5], startWine = wine[4] + wine[5];
  std::printf("%-34s %9.3f ms %11.3f ms %8.1fx  (Wine adds %.0f ms)\n",
              "start-up's DDE (first + refresh)", startSockets, startWine, startWine / startSockets,
              startWine - startSockets);
}

int Run(int runs, const fs::path& work, const fs::path& prefix) {
  const fs::path report = work / "bench.rpt";
  std::ofstream out(report);
  out << "[report]\nname=" << kReport
      << "\nuserid=BENCH\nforms=UA5,SUBPHOTO\nstore=C:\\KEPDATA\\PHOTOS\\BENCH\n[fields]\n";
  for (int i = 1; i <= kRefreshFields; ++i) out << "UA5|F|" << i << "=field " << i << "\n";
  out.close();
  fs::create_directories(prefix / "drive_c" / "PICS");
  std::ofstream(prefix / "drive_c" / "PICS" / "P.JPG") << std::string(200000, 'j');
  const std::vector<std::string> args = {"--prefix", prefix.string(), report.string()};
  const fs::path ddeDir = work / "dde";

  Figures sockets, wine;
  {
    ::setenv("VELMORA_DDE_DIR", ddeDir.c_str(), 1);
    dde::UseTransport(dde::MakeSocketTransport());
    KepProcess kep(ddeDir, args);
    sockets = Measure(runs, [] { dde::UseTransport(dde::MakeSocketTransport()); });
  }
  {
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    const fs::path loader = dde::FindWine();
    const auto fresh = [&] {
      dde::UseTransport(dde::MakeWineTransport({loader, WINBRIDGE_EXE, prefix}));
    };
    fresh();
    KepProcess kep(ddeDir, args, {loader.string(), KEP_EXE});
    wine = Measure(runs, fresh);
    dde::UseTransport(nullptr);
  }
  Print(runs, sockets, wine);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(8, std::atoi(argv[1])) : 200;
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "bench_dde: Wine's DDE needs an X display (xvfb-run -a bench_dde)\n");
    return 2;
  }
  std::string pattern = (fs::temp_directory_path() / "velmora-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  const fs::path work = pattern;
  const char* given = std::getenv("VELMORA_BENCH_WINEPREFIX");
  const fs::path prefix = given ? fs::path(given) : work / "wine";
  const std::string script =
      std::string(VELMORA_SOURCE_DIR) + "/tests/integration/wine/make-prefix";
  if (!given && std::system((script + " '" + prefix.string() + "' >/dev/null").c_str()) != 0) {
    std::fprintf(stderr, "bench_dde: cannot boot a Wine prefix\n");
    return 1;
  }
  int rc = 1;
  try {
    rc = Run(runs, work, prefix);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_dde: %s\n", e.what());
  }
  if (!given) std::system((script + " --remove '" + prefix.string() + "'").c_str());
  fs::remove_all(work);
  return rc;
}
