// Times listing one large folder with the thumbnail strip's masks (winfs::ListFiles, as the
// strip lists) against Qt's QDir listing the same masks sorted by name without regard to case,
// in the same process, and prints the ratio and the machine's load:
//   bench_listing [FOLDER] [RUNS]       (default 9; medians)
// The listing in the real window (with the twelve thumbnails it shows) is bench_strip's first
// page; this one times the listing alone.  A FOLDER that exists is listed as it stands.
// Otherwise (default /tmp/velmora-listing-bench/jpegs) a folder is made once and kept: 20,000
// JPEG names as a phone names them (only the names are read).
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/winfs/WinFs.h"
#include "tests/bench/Timing.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Seconds;

namespace {

constexpr int kFiles = 20000;

void MakeFolder(const fs::path& folder) {
  if (fs::exists(folder / ".complete")) return;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (int i = 0; i < kFiles; ++i)
    std::ofstream(folder / ("IMG_20240101_" + std::to_string(100000 + i) + ".jpg")) << "x";
  std::ofstream(folder / ".complete") << "ok";
}

}  // namespace

int main(int argc, char** argv) {
  const bool given = argc > 1 && fs::is_directory(argv[1]);
  const fs::path folder = given ? fs::path(argv[1]) : "/tmp/velmora-listing-bench/jpegs";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  if (!given) MakeFolder(folder);
  const fs::path prefix = fs::temp_directory_path() / "velmora-listing-bench" / "prefix";
  winfs::CreatePrefix(prefix);
  winfs::UsePrefix(prefix);
  winfs::LinkDrive('D', folder);

  const std::string before = bench::LoadAverages();
  std::vector<double> ours, peer;
  std::size_t listed = 0, qtListed = 0;
  for (int r = 0; r < runs; ++r) {
    auto t = Clock::now();
    listed = winfs::ListFiles("D:\\", "*.jpg;*.bmp;*.tif").size();
    ours.push_back(Seconds(t));
    t = Clock::now();  // "*.tif" lists "*.tiff" too (their short names)
    const QDir dir(QString::fromStdString(folder.string()), "*.jpg *.bmp *.tif *.tiff",
                   QDir::Name | QDir::IgnoreCase, QDir::Files);
    qtListed = static_cast<std::size_t>(dir.entryList().size());
    peer.push_back(Seconds(t));
  }
  const double a = bench::Median(ours), b = bench::Median(peer);
  std::printf("folder: %s, %zu of its files listed (QDir: %zu)\n", folder.c_str(), listed,
              qtListed);
  std::printf("ListFiles: %.4f s   QDir: %.4f s   ratio %.2f  (median of %d)\n", a, b, a / b, runs);
  std::printf("load averages %s before, %s after\n", before.c_str(), bench::LoadAverages().c_str());
  return listed == qtListed || given ? 0 : 3;
}
