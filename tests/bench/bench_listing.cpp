// Times listing one large folder with the thumbnail strip's masks against `find` listing the
// same pictures, and prints the ratio:
//   bench_listing [FOLDER] [RUNS]
// A FOLDER that exists is listed as it stands.  Otherwise (default
// /tmp/velmora-listing-bench/jpegs) a folder is made once and kept: 20,000 JPEG pictures named
// as a phone names them, so that every name is listed and sorted.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/winfs/WinFs.h"
#include "tests/bench/Timing.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Median;
using bench::Seconds;

namespace {

constexpr int kFiles = 20000;
constexpr const char* kStripMasks = "*.jpg;*.bmp;*.tif";

void MakeFolder(const fs::path& folder) {
  const fs::path done = folder / ".complete";
  if (fs::exists(done)) return;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (int i = 0; i < kFiles; ++i) {
    std::ofstream(folder / ("IMG_20240101_" + std::to_string(100000 + i) + ".jpg")) << "x";
  }
  std::ofstream(done) << "ok";
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder =
      argc > 1 ? fs::path(argv[1]) : fs::path("/tmp/velmora-listing-bench/jpegs");
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  if (!(argc > 1 && fs::is_directory(folder))) MakeFolder(folder);

  const fs::path prefix = fs::temp_directory_path() / "velmora-listing-bench" / "prefix";
  winfs::CreatePrefix(prefix);
  winfs::UsePrefix(prefix);
  winfs::LinkDrive('D', folder);

  std::vector<double> ours, theirs;
  std::size_t listed = 0;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = Clock::now();
    listed = winfs::ListFiles("D:\\", kStripMasks).size();
    ours.push_back(Seconds(t0));

    const std::string find = "find '" + folder.string() +
                             "' -maxdepth 1 -type f \\( -iname '*.jpg' -o -iname '*.bmp' -o "
                             "-iname '*.tif' \\) > /dev/null";
    const auto t1 = Clock::now();
    if (std::system(find.c_str()) != 0) return 1;
    theirs.push_back(Seconds(t1));
  }
  const double a = Median(ours), b = Median(theirs);
  std::printf("folder: %s, %zu of its files listed\n", folder.c_str(), listed);
  std::printf("ListFiles: %.4f s   find: %.4f s   ratio (ListFiles / find): %.2f  (median of %d)\n",
              a, b, a / b, runs);
  return 0;
}
