// One whole placement in the real program: the main window drawn by the Qt renderer (offscreen
// unless QT_QPA_PLATFORM says otherwise; xvfb-run works too), a camera picture of its strip
// dragged onto an empty photo slot and dropped, until the window has painted the slot.  That is
// the reduced copy decoded, written at the configured 800 x 600 and quality 95, shown in the
// slot, handed to kep (the stand-in, over the Unix sockets), the source sent to the trash folder
// and the strip shown again.  The peer, in the same process: Qt's own decoding, scaling to
// 800 x 600 and saving at quality 95 of the same picture.
//
//   bench_placement [RUNS] [PICTURE]   (default 3, at most 7; one placement more warms up;
//                                       PICTURE: placed instead of the generated camera pictures)
//
// Prints the medians in milliseconds, their ratio and the machine's load before and after.

#include <QImageReader>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/modVelmodSlots.h"
#include "tests/bench/MainWindowBench.h"

namespace {

using bench::Ms;
namespace fs = std::filesystem;

int gRuns = 3;
fs::path gPicture;

class PlacementBench : public bench::MainWindowBench {
 protected:
  fs::path Picture(int n) const override {
    return gPicture.empty() ? MainWindowBench::Picture(n) : gPicture;
  }
};

// Qt's decoding, scaling and saving of the reduced copy: the whole picture decoded, or (reader)
// decoded straight at the reduced size; milliseconds.
double QtReducedCopy(const fs::path& picture, const fs::path& to, bool reader) {
  const auto t = bench::Clock::now();
  QImageReader in(QString::fromStdString(picture.string()));
  if (reader) in.setScaledSize(in.size().scaled(800, 600, Qt::KeepAspectRatio));
  const QImage image = in.read();
  const QImage copy =
      reader ? image : image.scaled(800, 600, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  if (image.isNull() || !copy.save(QString::fromStdString(to.string()), "JPG", 95)) std::_Exit(3);
  return Ms(t);
}

TEST_F(PlacementBench, DropToSlotPainted) {
  StartKep();
  photo_pages::frmMain& form = StartWindow();
  std::vector<double> ours, peer, peerReader;
  for (int i = 0; i <= gRuns; ++i) {
    const fs::path picture = Picture(i);       // before the drop sends it to the trash
    const double took = Drop(form, i, 2 + i);  // empty slots of the report: no question asked
    auto& slot = form.imaComp[2 + i];
    ASSERT_TRUE(slot.HasImage() && !core::IsEmptyPict(slot.ThumbPath())) << Boxes();
    const double qt = QtReducedCopy(picture, prefix_.Root() / "qt-copy.jpg", false);
    const double qtReader = QtReducedCopy(picture, prefix_.Root() / "qt-copy.jpg", true);
    if (i > 0) {
      ours.push_back(took);
      peer.push_back(qt);
      peerReader.push_back(qtReader);
    }
  }
  ASSERT_EQ(SetImages().size(), std::size_t(gRuns + 1)) << Boxes();
  ASSERT_EQ(bench::AnswerEveryBox(), 0);
  const double a = bench::Median(ours), b = bench::Median(peer), c = bench::Median(peerReader);
  std::printf("real window (%s); medians of %d placements\n", bench::QtWindows::Platform(), gRuns);
  std::printf(
      "placement: %.1f ms   Qt load+scale+save: %.1f ms (ratio %.2f)   Qt scaled read+save: "
      "%.1f ms (ratio %.2f)\n",
      a, b, a / b, c, a / c);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::atoi(argv[i]) > 0) {
      gRuns = std::min(7, std::atoi(argv[i]));  // photo slots 2 to 9
    } else {
      gPicture = argv[i];
    }
  }
  bench::QtWindows qt(argc, argv, "velmora-placement-bench");
  bench::gQt = &qt;
  bench::AnswerEveryBox();
  if (gPicture.empty()) bench::MakeCameraPictures(bench::kCameraPool, bench::kStripPage);
  const std::string before = bench::LoadAverages();
  const int rc = RUN_ALL_TESTS();
  std::printf("load averages %s before, %s after\n", before.c_str(), bench::LoadAverages().c_str());
  return rc;
}
