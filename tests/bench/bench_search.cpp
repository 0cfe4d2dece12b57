// Times the picture search window drawn by the Qt renderer (offscreen unless QT_QPA_PLATFORM
// says otherwise; xvfb-run works too) on a tree of about 20,000 folders: a click on "Search"
// with drive D:'s root open, until the window has painted "Search Complete" and the list of
// folders with pictures (every pause of the search included).  The peer, in the same process: a
// std::filesystem walk of the same tree counting the same pictures folder by folder.
//   bench_search [TREE_DIR] [RUNS]      (default 5; medians)
// A TREE_DIR that exists is searched as it stands.  Otherwise (default
// /tmp/velmora-search-bench/pics) a tree is made once and kept: 20 x 20 x 50 folders, every third
// leaf holding three camera pictures (hard links) and a text file, the others a text file.
// Prints both, their ratio and the machine's load before and after.
#include <cstdio>
#include <cstdlib>
#include <map>

#include "core/frmMainControls.h"
#include "core/modVelmod.h"
#include "tests/bench/QtWindows.h"
#include "tools/frmSearch.h"

namespace bench {
namespace {

const fs::path kRoot = "/tmp/velmora-search-bench";
constexpr int kTop = 20, kMiddle = 20, kLeaves = 50;

void MakeTree(const fs::path& tree) {
  if (fs::exists(tree / ".complete")) return;
  fs::remove_all(tree);
  int n = 0;
  for (int a = 0; a < kTop; ++a)
    for (int b = 0; b < kMiddle; ++b)
      for (int c = 0; c < kLeaves; ++c) {
        const fs::path leaf = tree / ("Job" + std::to_string(a)) / ("Visit" + std::to_string(b)) /
                              ("Folder" + std::to_string(c));
        fs::create_directories(leaf);
        std::ofstream(leaf / "notes.txt") << "notes";
        if (n++ % 3 != 0) continue;
        int k = 0;
        for (const char* p : {"IMG_0001.JPG", "IMG_0002.JPG", "front.jpg"})
          fs::create_hard_link(kCameraPool / PictureName((n + k++) % 12), leaf / p);
      }
  std::ofstream(tree / ".complete") << "ok";
}

// The folders holding *.jpg or *.bmp files (any case), with their counts; links not followed.
std::size_t FoldersWithPictures(const fs::path& tree) {
  std::map<fs::path, int> counts;
  std::error_code ec;
  const auto options = fs::directory_options::skip_permission_denied;
  for (fs::recursive_directory_iterator it(tree, options, ec), end; !ec && it != end;
       it.increment(ec)) {
    if (it->is_symlink(ec) || !it->is_regular_file(ec)) continue;
    const QString ext = QString::fromStdString(it->path().extension().string()).toLower();
    if (ext == ".jpg" || ext == ".bmp") ++counts[it->path().parent_path()];
  }
  return counts.size();
}

int Main(int argc, char** argv) {
  const bool given = argc > 1 && fs::is_directory(argv[1]);
  const fs::path tree = given ? fs::path(argv[1]) : kRoot / "pics";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  QtWindows qt(argc, argv, "velmora-search-bench");
  if (!given) {
    MakeCameraPictures(kCameraPool, 12);
    MakeTree(tree);
  }
  FreshPrefix(kRoot, tree);
  core::ResetGlobals();
  core::gCaptureDir = "D:\\";
  core::gbUseButtons = core::vbTrue;
  core::MainFormControls main("frmMain", "-");
  core::SetMainForm(&main);
  tools::frmSearch& w = forms::FormInstance<tools::frmSearch>();
  w.Show();
  Settle();
  QWidget* search = qtui::FormWindow::For(w)->WidgetOf(&w.cmdSearch);

  const std::string before = LoadAverages();
  std::vector<double> ours, peer;
  std::size_t listed = 0;
  for (int r = 0; r < runs; ++r) {
    w.dirFind.SetPath("D:\\");  // the drive's root open, as the window opened
    Settle();
    ours.push_back(ClickAndTime(search));
    listed = static_cast<std::size_t>(w.lstFound.ListCount());
    const auto t = Clock::now();
    const std::size_t walked = FoldersWithPictures(tree);
    peer.push_back(Seconds(t));
    if (w.lblDirectory.Caption() != "Search Complete" || (!given && walked != listed))
      std::_Exit(3);
  }
  const double a = Median(ours), b = Median(peer);
  std::printf("search window (Qt, %s) on %s: %zu folders listed with pictures\n",
              QtWindows::Platform(), tree.c_str(), listed);
  std::printf("search: %.3f s   filesystem walk: %.3f s   ratio %.2f  (median of %d)\n", a, b,
              a / b, runs);
  std::printf("load averages %s before, %s after\n", before.c_str(), LoadAverages().c_str());
  w.Unload();
  qt.Close();
  core::SetMainForm(nullptr);
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  return bench::Main(argc, argv);
}
