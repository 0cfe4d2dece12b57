// One whole placement in the program's own code: a camera picture dragged from the strip and
// dropped on an empty photo slot of the main window (headless), until the slot shows it.  That
// is the reduced copy decoded, written at the configured 800 x 600 and quality 95, shown in the
// slot, handed to kep (the stand-in, over the Unix sockets), the source sent to the trash folder
// and the strip shown again.
//
//   bench_placement PICTURE [RUNS]      (default 3; one placement more warms up)
//
// Prints the median of RUNS placements in milliseconds.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/modVelmodSlots.h"
#include "tests/bench/Timing.h"
#include "tests/integration/MainWindowFixture.h"

namespace {

std::string gPicture;
int gRuns = 3;

class PlacementBench : public mainwindow::MainWindowFixture {};

TEST_F(PlacementBench, DropToPictureShown) {
  const std::string bytes = mainwindow::Slurp(gPicture);
  ASSERT_FALSE(bytes.empty()) << "cannot read " << gPicture;
  for (int i = 0; i <= gRuns; ++i) {
    prefix_.WriteFile("C:\\GLENVUE\\IMG_" + std::to_string(1000 + i) + ".JPG", bytes);
  }
  StartKep();
  ASSERT_TRUE(Start()) << Boxes();
  app_.ClearBoxes();
  std::vector<double> ms;
  for (int i = 0; i <= gRuns; ++i) {
    auto& slot = Form().imaComp[2 + i];  // empty slots of the report: no question asked
    const auto start = bench::Clock::now();
    DragAndDrop(Form().GeaThumb[i], slot);  // a placed picture's thumbnail is hidden
    const double took = bench::Seconds(start) * 1000;
    ASSERT_TRUE(slot.HasImage() && !core::IsEmptyPict(slot.ThumbPath())) << Boxes();
    if (i > 0) ms.push_back(took);
  }
  ASSERT_EQ(SetImages().size(), std::size_t(gRuns + 1)) << Boxes();
  std::printf("placement: %.1f ms (median of %d)\n", bench::Median(ms), gRuns);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_placement PICTURE [RUNS]\n");
    return 2;
  }
  gPicture = argv[1];
  if (argc > 2) gRuns = std::max(1, std::atoi(argv[2]));
  return RUN_ALL_TESTS();
}
