// Times the picture search window on a generated tree of about 20,000 folders against `find`
// listing the same pictures, and prints the ratio:
//   bench_search [TREE_DIR] [RUNS]
// A TREE_DIR that exists is searched as it stands.  Otherwise (default
// /tmp/velmora-search-bench/tree) a tree is made once and kept for later runs: 20 x 20 x 50
// folders, every third leaf holding three JPEG pictures and a text file, the others a text file.
// The folders printed are counted in the tree searched.  The search runs headless, as the window
// does it for the user (every pause included).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "platform/forms/Form.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/winfs/WinFs.h"
#include "tests/bench/Timing.h"
#include "tools/frmSearch.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Median;
using bench::Seconds;

namespace {

constexpr int kTop = 20, kMiddle = 20, kLeaves = 50;

void MakeTree(const fs::path& tree) {
  const fs::path done = tree / ".complete";
  if (fs::exists(done)) return;
  fs::remove_all(tree);
  int n = 0;
  for (int a = 0; a < kTop; ++a)
    for (int b = 0; b < kMiddle; ++b)
      for (int c = 0; c < kLeaves; ++c) {
        const fs::path leaf = tree / ("Job" + std::to_string(a)) / ("Visit" + std::to_string(b)) /
                              ("Folder" + std::to_string(c));
        fs::create_directories(leaf);
        std::ofstream(leaf / "notes.txt") << "notes";
        if (n++ % 3 == 0)
          for (const char* p : {"IMG_0001.JPG", "IMG_0002.JPG", "front.jpg"})
            std::ofstream(leaf / p) << "picture";
      }
  std::ofstream(done) << "ok";
}

// The tree's own folders, itself included; linked folders are not followed.
int CountFolders(const fs::path& tree) {
  int folders = 1;
  std::error_code ec;
  const auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(tree, options, ec), end; !ec && it != end;
       it.increment(ec))
    if (!it->is_symlink(ec) && it->is_directory(ec)) ++folders;
  return folders;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path tree = argc > 1 ? fs::path(argv[1]) : fs::path("/tmp/velmora-search-bench/tree");
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const bool given = argc > 1 && fs::is_directory(tree);
  if (!given) MakeTree(tree);
  const int folders = CountFolders(tree);

  const fs::path prefix = fs::temp_directory_path() / "velmora-search-bench" / "prefix";
  winfs::CreatePrefix(prefix);
  winfs::UsePrefix(prefix);
  winfs::LinkDrive('D', tree);

  forms::HeadlessApp app;
  core::ResetGlobals();
  core::gCaptureDir = "D:\\";
  core::gbUseButtons = core::vbTrue;
  core::MainFormControls main("frmMain", "-");
  core::SetMainForm(&main);
  tools::frmSearch& w = forms::FormInstance<tools::frmSearch>();

  std::vector<double> ours, theirs;
  int listed = 0;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = Clock::now();
    w.dirFind.SetPath("D:\\");
    w.cmdSearch.UserClick();
    ours.push_back(Seconds(t0));
    listed = w.lstFound.ListCount();

    const std::string find =
        "find '" + tree.string() + "' -type f \\( -iname '*.jpg' -o -iname '*.bmp' \\) > /dev/null";
    const auto t1 = Clock::now();
    if (std::system(find.c_str()) != 0) return 1;
    theirs.push_back(Seconds(t1));
  }
  core::SetMainForm(nullptr);
  forms::ResetFormInstances();

  const double a = Median(ours), b = Median(theirs);
  std::printf("tree: %d folders, %d listed with pictures\n", folders, listed);
  std::printf(
      "search window: %.3f s   find: %.3f s   ratio (search / find): %.2f  (median of %d)\n", a, b,
      a / b, runs);
  return 0;
}
