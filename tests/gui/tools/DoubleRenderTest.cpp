// The picture editor drawn by the Qt renderer offscreen, saved as PNG files for review
// (tools-double-*.png in the test output folder): as opened, and compressed with a crop
// selection shown and the help list open.

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/modVelmod.h"
#include "platform/imaging/Imaging.h"
#include "tests/gui/tools/RenderFixture.h"
#include "tools/frmDouble.h"

namespace {

class DoubleRender : public RenderFixture<> {
 protected:
  DoubleRender() {
    prefix.MakeDir("C:\\Velmora");
    prefix.MakeDir("C:\\GLENVUE");
    core::gUserDir = "C:\\Velmora\\";
    core::gJpegQuality = 95;
    core::gBrightness = 0;
    core::gResolX = 800;
    core::gResolY = 600;
  }

  // A house-like scene: sky, a wall with a window, a lawn.
  void Photo(const std::string& winPath) {
    const int w = 640, h = 480;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        std::uint32_t c = y < 200 ? 0xFF87B5E0 : (y < 380 ? 0xFFC8A070 : 0xFF4D8A3C);
        if (y >= 240 && y < 320 && x >= 280 && x < 360) c = 0xFF30404F;
        px[static_cast<std::size_t>(y) * w + x] = c;
      }
    imaging::SaveJpeg(imaging::Picture::FromPixels(w, h, std::move(px)), prefix.Host(winPath), 90);
  }
};

TEST_F(DoubleRender, AsOpenedAndCompressed) {
  Photo("C:\\GLENVUE\\front.jpg");
  core::gEditPicturePath = "C:\\GLENVUE\\front.jpg";
  tools::frmDouble& f = forms::FormInstance<tools::frmDouble>();
  QImage opened = RenderImage(f, "tools-double.png");
  ASSERT_FALSE(opened.isNull());
  EXPECT_NEAR(opened.width(), f.ScaleWidth() / 15, 40);
  // The picture fills its control: sky blue near the top-left of the picture area.
  const QRgb sky = opened.pixel(f.bmpDouble.Left() / 15 + 20, f.bmpDouble.Top() / 15 + 20);
  EXPECT_GT(qBlue(sky), qRed(sky));

  f.hsbquality.UserSetValue(60);
  f.cmdCompress.UserClick();
  ASSERT_TRUE(f.Compressed());
  f.cmdHelp.UserClick();
  f.bmpDouble2.SetRubberBand(true);
  f.bmpDouble2.UserSetSelection({160, 120, 480, 360});
  QImage compressed = RenderImage(f, "tools-double-compressed.png");
  ASSERT_FALSE(compressed.isNull());
  // The highlight frame shows around the working copy.
  const QRgb frame = compressed.pixel(f.fraHLight.Left() / 15 + 3, f.fraHLight.Top() / 15 + 3);
  EXPECT_GT(qRed(frame), 200);
  EXPECT_GT(qGreen(frame), 200);
  EXPECT_LT(qBlue(frame), 160);
}

// A portrait keeps its shape in the editor's 4:3 view: fitted and centred, not squashed.
TEST_F(DoubleRender, APortraitKeepsItsShape) {
  std::vector<std::uint32_t> px(300 * 600, 0xFFE02020);
  imaging::SaveJpeg(imaging::Picture::FromPixels(300, 600, std::move(px)),
                    prefix.Host("C:\\GLENVUE\\tall.jpg"), 90);
  core::gEditPicturePath = "C:\\GLENVUE\\tall.jpg";
  tools::frmDouble& f = forms::FormInstance<tools::frmDouble>();
  QImage shown = RenderImage(f, "tools-double-portrait.png");
  ASSERT_FALSE(shown.isNull());
  const int left = f.bmpDouble.Left() / 15, top = f.bmpDouble.Top() / 15;
  const int width = f.bmpDouble.Width() / 15, height = f.bmpDouble.Height() / 15;
  EXPECT_LT(qGreen(shown.pixel(left + width / 2, top + height / 2)), 80);  // the red picture
  EXPECT_GT(qGreen(shown.pixel(left + 10, top + height / 2)), 180);        // the form beside it
}

}  // namespace
