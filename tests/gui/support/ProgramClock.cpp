#include "tests/gui/support/ProgramClock.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace gui {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

long ReadTick(const fs::path& map) {
  std::ifstream in(map);
  std::string line;
  if (!std::getline(in, line) || line.rfind("tick ", 0) != 0) return 0;
  return std::atol(line.c_str() + 5);
}

std::optional<std::string> WaitForTicks(const fs::path& map, std::chrono::milliseconds budget,
                                        const std::function<bool()>& done,
                                        const std::function<bool()>& running) {
  constexpr auto kTick = 250ms;  // the program rewrites its map every 250 ms of its time
  // Six times the longest the program waits without its events (a KEP call's 5 s timeout).
  constexpr auto kStalled = 30s;
  constexpr auto kNeverStarted = 2min;
  const auto start = Clock::now();
  for (long first = 0;; std::this_thread::sleep_for(100ms)) {
    if (done()) return std::nullopt;
    if (!running()) return "the program ended";
    const long tick = ReadTick(map);
    if (first == 0) first = tick;
    if (first > 0 && tick - first > budget / kTick) {
      return std::to_string(tick - first) + " ticks of the program's time passed";
    }
    // A hung program fails the test; the map's age tells the next wait at once.
    std::error_code ec;
    const auto written = fs::last_write_time(map, ec);
    std::string hung;
    if (tick > 0 && !ec && fs::file_time_type::clock::now() - written > kStalled) {
      hung = "the program stopped ticking at tick " + std::to_string(tick) + ": it hangs";
    } else if (tick == 0 && Clock::now() - start > kNeverStarted) {
      hung = "the program never ticked: it did not start";
    }
    if (!hung.empty()) {
      ADD_FAILURE() << hung;
      return hung;
    }
  }
}

void KeepScreen(const fs::path& map, const std::string& display) {
  const fs::path folder = map.parent_path();
  QProcess shot;
  if (!display.empty()) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(display));
    shot.setProcessEnvironment(env);
  }
  shot.start("import",
             {"-window", "root", QString::fromStdString((folder / "failed.png").string())});
  shot.waitForFinished(30000);
  shot.setStandardOutputFile(QString::fromStdString((folder / "failed.stack").string()));
  shot.start("xwininfo", {"-root", "-children"});
  shot.waitForFinished(10000);
  std::error_code ec;
  fs::copy_file(map, folder / "failed.map", fs::copy_options::overwrite_existing, ec);
}

}  // namespace gui
