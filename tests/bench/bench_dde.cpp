// The cost of a DDE transaction with KEP: through the bridge and Wine's DDE to kep.exe (the
// stand-in built for Windows) against the Unix sockets to kep, the stand-in.  Needs Wine and an
// X display (run it under xvfb-run -a); it boots a throw-away Wine prefix (some seconds) unless
// $VELMORA_BENCH_WINEPREFIX names a booted one.
//
//   bench_dde [REQUESTS]      (default 200)
//
// For each transport: the median of REQUESTS requests on one open conversation, of REQUESTS
// whole operations (a conversation opened, one request, closed, as each KEP call does), and of
// the DDE sequence of one placement (active reports, open, forms, SetImage).

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dde/Link.h"
#include "platform/dde/Transport.h"
#include "platform/dde/WineTransport.h"
#include "tests/integration/KepProcess.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kReport = R"(C:\KEPDATA\REPORTS\BENCH.ZAP)";

double MedianMs(int runs, const std::function<void()>& once) {
  std::vector<double> ms;
  once();  // warm
  for (int i = 0; i < runs; ++i) {
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

struct Figures {
  double transaction = 0, operation = 0, placement = 0;
};

Figures Measure(int runs) {
  dde::Link link;
  Figures f;
  link.SetLinkTopic(std::string("KEP|") + kReport);
  link.SetLinkMode(2);
  link.SetLinkItem("ListForms");
  f.transaction = MedianMs(runs, [&] { link.Request(); });
  link.SetLinkMode(0);
  f.operation = MedianMs(runs, [&] { Request(link, std::string("KEP|") + kReport, "ListForms"); });
  f.placement = MedianMs(runs / 4, [&] {
    const std::string reports = Request(link, "KEP|Query", "ActiveReports");
    const std::string report = reports.substr(0, reports.find(','));
    Request(link, "Kep|" + report, "UserID");
    Request(link, "KEP|" + report, "ListForms");
    link.SetLinkMode(0);
    link.SetLinkMode(2);
    link.Execute("[RunMacro( SetImage \"CMP_1_3X5\", \"C:\\\\PICS\\\\P.JPG\" ) ]\r");
    link.SetLinkMode(0);
  });
  return f;
}

void Print(const char* name, const Figures& f) {
  std::printf("%-26s transaction %7.3f ms   operation %7.3f ms   placement %7.3f ms\n", name,
              f.transaction, f.operation, f.placement);
}

int Run(int runs, const fs::path& work, const fs::path& prefix) {
  const fs::path report = work / "bench.rpt";
  std::ofstream(report) << "[report]\nname=" << kReport
                        << "\nuserid=BENCH\nforms=UA5,SUBPHOTO\nstore=C:\\KEPDATA\\PHOTOS\\BENCH\n";
  fs::create_directories(prefix / "drive_c" / "PICS");
  std::ofstream(prefix / "drive_c" / "PICS" / "P.JPG") << std::string(200000, 'j');
  const std::vector<std::string> args = {"--prefix", prefix.string(), report.string()};
  const fs::path ddeDir = work / "dde";

  Figures sockets, wine;
  {
    ::setenv("VELMORA_DDE_DIR", ddeDir.c_str(), 1);
    dde::UseTransport(dde::MakeSocketTransport());
    KepProcess kep(ddeDir, args);
    sockets = Measure(runs);
  }
  {
    ::setenv("WINEPREFIX", prefix.c_str(), 1);
    ::setenv("WINEDEBUG", "-all", 1);
    const fs::path loader = dde::FindWine();
    dde::UseTransport(dde::MakeWineTransport({loader, WINBRIDGE_EXE, prefix}));
    KepProcess kep(ddeDir, args, {loader.string(), KEP_EXE});
    wine = Measure(runs);
    dde::UseTransport(nullptr);
  }
  std::printf("%d requests, medians:\n", runs);
  Print("Unix socket (kep)", sockets);
  Print("bridge + Wine DDE (kep.exe)", wine);
  std::printf("Wine / socket: transaction %.1fx, placement %.1fx\n",
              wine.transaction / sockets.transaction, wine.placement / sockets.placement);
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
