#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "AllocationCount.h"
#include "ImagingTestFiles.h"
#include "platform/imaging/Imaging.h"
#include "platform/vbrt/VbError.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/OrientedJpeg.h"

namespace {

using namespace imaging_test;
using imaging::Picture;
using imaging::PictureInfo;

class ImagingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "imaging-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path File(const std::string& name) const { return dir_ / name; }

  fs::path dir_;
};

// What a thumbnail's decode may hold, and what refusing a broken file may take: headers, a few
// rows, the file's own bytes.
constexpr std::size_t kBrokenFileBytes = std::size_t(16) << 20;

int MaxDiff(std::uint32_t a, std::uint32_t b) {
  int d = 0;
  for (int s = 0; s < 32; s += 8)
    d = std::max(d, std::abs(int(a >> s & 0xFF) - int(b >> s & 0xFF)));
  return d;
}

// Compares the centre of each quadrant (away from compression ringing at the edges).
void ExpectQuadrants(const Picture& pic, int tolerance, bool gray = false) {
  ASSERT_FALSE(pic.IsNull());
  for (int q = 0; q < 4; ++q) {
    int x = pic.Width() / 4 + (q % 2) * pic.Width() / 2,
        y = pic.Height() / 4 + (q / 2) * pic.Height() / 2;
    std::uint32_t want = kQuadColours[q];
    if (gray) {
      int r = want >> 16 & 0xFF, g = want >> 8 & 0xFF, b = want & 0xFF;
      unsigned l = unsigned(r * 299 + g * 587 + b * 114 + 500) / 1000;
      want = 0xFF000000u | l << 16 | l << 8 | l;
    }
    EXPECT_LE(MaxDiff(pic.Pixel(x, y), want), tolerance)
        << "quadrant " << q << std::hex << " got " << pic.Pixel(x, y) << " want " << want;
  }
}

// --- JPEG -----------------------------------------------------------------

struct JpegCase {
  const char* name;
  JpegOptions opt;
  int bits;
  const char* compression;
};

class JpegVariants : public ImagingTest, public ::testing::WithParamInterface<JpegCase> {};

TEST_P(JpegVariants, LoadsFullAndReducedWithInfo) {
  const JpegCase& c = GetParam();
  fs::path f = File("v.jpg");
  WriteJpeg(f, 64, 48, Quadrants(64, 48), c.opt);
  PictureInfo info;
  Picture full = imaging::Load(f, &info);
  EXPECT_EQ(full.Width(), 64);
  EXPECT_EQ(full.Height(), 48);
  ExpectQuadrants(full, 12, c.opt.gray);
  EXPECT_EQ(info.bitsPerPixel, c.bits);
  EXPECT_EQ(info.compressionText, c.compression);
  EXPECT_EQ(info.format, "JPEG");

  Picture small = imaging::LoadReduced(f, 16, 16, &info);
  EXPECT_EQ(small.Width(), 16);
  EXPECT_EQ(small.Height(), 12);
  EXPECT_EQ(info.width, 64);
  EXPECT_EQ(info.height, 48);
  ExpectQuadrants(small, 16, c.opt.gray);
  EXPECT_EQ(imaging::Probe(f).bitsPerPixel, c.bits);
}

JpegOptions Opt(auto&& set) {
  JpegOptions o;
  set(o);
  return o;
}

INSTANTIATE_TEST_SUITE_P(
    Imaging, JpegVariants,
    ::testing::Values(
        JpegCase{"baseline420", {}, 24, "JPEG baseline"},
        JpegCase{"baseline422", Opt([](JpegOptions& o) { o.vSamp = 1; }), 24, "JPEG baseline"},
        JpegCase{"baseline444", Opt([](JpegOptions& o) { o.hSamp = o.vSamp = 1; }), 24,
                 "JPEG baseline"},
        JpegCase{"progressive", Opt([](JpegOptions& o) { o.progressive = true; }), 24,
                 "JPEG progressive"},
        JpegCase{"grayscale", Opt([](JpegOptions& o) { o.gray = true; }), 8, "JPEG baseline"},
        JpegCase{"cmyk", Opt([](JpegOptions& o) { o.cmyk = true; }), 32, "JPEG baseline"},
        JpegCase{"cmykAdobe", Opt([](JpegOptions& o) { o.cmyk = o.adobeInverted = true; }), 32,
                 "JPEG baseline"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImagingTest, ReducedLoadFitsTargetAndKeepsSmallPictures) {
  fs::path big = File("big.jpg"), small = File("small.jpg");
  WriteJpeg(big, 1600, 1200, Quadrants(1600, 1200));
  WriteJpeg(small, 700, 500, Quadrants(700, 500));
  PictureInfo info;
  Picture r = imaging::LoadReduced(big, 800, 600, &info);
  EXPECT_EQ(r.Width(), 800);
  EXPECT_EQ(r.Height(), 600);
  EXPECT_EQ(info.width, 1600);
  EXPECT_EQ(info.height, 1200);
  ExpectQuadrants(r, 12);

  Picture thumb = imaging::LoadReduced(big, 80, 60);
  EXPECT_EQ(thumb.Width(), 80);
  EXPECT_EQ(thumb.Height(), 60);
  ExpectQuadrants(thumb, 12);

  Picture kept = imaging::LoadReduced(small, 800, 600, &info);
  EXPECT_EQ(kept.Width(), 700);
  EXPECT_EQ(kept.Height(), 500);
  EXPECT_EQ(info.width, 700);
  // Each side is limited on its own when resizing to the slot size.
  Picture wide = imaging::Resize(imaging::Load(big), 800, 600);
  EXPECT_EQ(wide.Width(), 800);
  EXPECT_EQ(wide.Height(), 600);
}

TEST_F(ImagingTest, ExifThumbnailIsUsedOnlyWhenShapeAndSizeFit) {
  const std::uint32_t red = 0xFFFF0000, blue = 0xFF0000FF;
  auto solid = [](int w, int h, std::uint32_t c) {
    return std::vector<std::uint32_t>(std::size_t(w) * h, c);
  };
  auto withThumb = [&](int tw, int th) {
    JpegOptions opt;
    opt.app1 = ExifWithThumbnail(JpegBytes(tw, th, solid(tw, th, red)));
    fs::path f = File("exif" + std::to_string(tw) + "x" + std::to_string(th) + ".jpg");
    WriteJpeg(f, 960, 640, solid(960, 640, blue), opt);
    return f;
  };
  PictureInfo info;
  Picture fromThumb = imaging::LoadReduced(withThumb(160, 107), 80, 60, &info);
  EXPECT_EQ(fromThumb.Width(), 80);
  EXPECT_EQ(fromThumb.Height(), 53);
  EXPECT_LE(MaxDiff(fromThumb.Pixel(40, 26), red), 8);
  EXPECT_EQ(info.width, 960);
  EXPECT_TRUE(info.hasExifThumbnail);
  // 4:3 thumbnail of a 3:2 picture, and one too small for the target: main image.
  EXPECT_LE(MaxDiff(imaging::LoadReduced(withThumb(160, 120), 80, 60).Pixel(40, 26), blue), 8);
  EXPECT_LE(MaxDiff(imaging::LoadReduced(withThumb(48, 32), 80, 60).Pixel(40, 26), blue), 8);
  // The full picture never comes from the thumbnail.
  EXPECT_LE(MaxDiff(imaging::Load(withThumb(160, 107)).Pixel(10, 10), blue), 8);

  // A camera's 160 x 120 thumbnail of a 3:2 picture: 160 x 107 between black bars of 6 and 7
  // rows, in colours of its own.  It is shown without its bars, quadrant for quadrant as the
  // full decode shows the picture.
  const std::uint32_t thumbColours[4] = {0xFF00FFFF, 0xFFFF00FF, 0xFFFFFF00, 0xFF808080};
  std::vector<std::uint32_t> boxed(160 * 120, 0xFF000000);
  for (int y = 0; y < 107; ++y)
    for (int x = 0; x < 160; ++x)
      boxed[std::size_t(y + 6) * 160 + x] = thumbColours[(y >= 53) * 2 + (x >= 80)];
  JpegOptions opt;
  opt.quality = 80;
  opt.app1 = ExifWithThumbnail(JpegBytes(160, 120, boxed));
  WriteJpeg(File("boxed.jpg"), 960, 640, Quadrants(960, 640), opt);
  const Picture shown = imaging::LoadReduced(File("boxed.jpg"), 80, 60);
  const Picture full = imaging::Reduce(imaging::Load(File("boxed.jpg")), 80, 60);
  ASSERT_EQ(shown.Width(), full.Width());
  ASSERT_EQ(shown.Height(), full.Height());
  auto quadrant = [](std::uint32_t px, const std::uint32_t(&colours)[4]) {
    for (int q = 0; q < 4; ++q)
      if (MaxDiff(px, colours[q]) <= 60) return q;
    return -1;
  };
  for (int y : {0, 12, 24, 29, 40, shown.Height() - 1})
    for (int x : {0, 20, 38, 42, 60, shown.Width() - 1})
      EXPECT_EQ(quadrant(shown.Pixel(x, y), thumbColours), quadrant(full.Pixel(x, y), kQuadColours))
          << x << "," << y;
}

TEST_F(ImagingTest, CorruptExifThumbnailFallsBackToMainPicture) {
  std::vector<unsigned char> app1 = ExifWithThumbnail(JpegBytes(160, 107, Quadrants(160, 107)));
  app1.resize(app1.size() - 200);  // thumbnail cut short
  app1[44 + 20] ^= 0xFF;
  JpegOptions opt;
  opt.app1 = app1;
  WriteJpeg(File("c.jpg"), 960, 640, Quadrants(960, 640), opt);
  ExpectQuadrants(imaging::LoadReduced(File("c.jpg"), 80, 60), 12);
}

std::vector<std::uint32_t> Pixels(const Picture& pic) {
  return {pic.Row(0), pic.Row(0) + std::size_t(pic.Width()) * std::size_t(pic.Height())};
}

// Every Exif orientation is shown and written upright: full, reduced (also from the Exif
// thumbnail, which a camera stores as turned as the picture) and saved upright with no tag, both
// where a lossless turn is possible (sides of whole blocks) and where it is not.
TEST_F(ImagingTest, ExifOrientationsAreTurnedUpright) {
  // The thumbnail's colours differ, so that it shows when it was used.
  const std::uint32_t thumbColours[4] = {0xFF00FFFF, 0xFFFF00FF, 0xFFFFFF00, 0xFF000000};
  for (int o = 1; o <= 8; ++o) {
    for (const int w : {64, 66}) {
      const int h = w * 3 / 4;
      SCOPED_TRACE("orientation " + std::to_string(o) + ", " + std::to_string(w) + " wide");
      const Picture stored = oriented::Stored(w, h, o);
      const Picture thumb = oriented::Stored(16, 12, o, thumbColours);
      JpegOptions opt;
      opt.quality = 100;
      opt.hSamp = opt.vSamp = 1;
      opt.app1 = oriented::ExifPayload(o, JpegBytes(thumb.Width(), thumb.Height(), Pixels(thumb)));
      const fs::path file = File("o.jpg");
      WriteJpeg(file, stored.Width(), stored.Height(), Pixels(stored), opt);

      PictureInfo info = imaging::Probe(file);
      EXPECT_EQ(info.width, w);
      EXPECT_EQ(info.height, h);
      EXPECT_EQ(info.orientation, o);
      const Picture full = imaging::Load(file);
      EXPECT_EQ(full.Width(), w);
      EXPECT_EQ(oriented::Quadrants(full), oriented::kUpright);
      const Picture half = imaging::LoadReduced(file, w / 2, h);
      EXPECT_EQ(half.Width(), w / 2);
      EXPECT_EQ(oriented::Quadrants(half), oriented::kUpright);
      const Picture small = imaging::LoadReduced(file, 16, 12, &info);
      EXPECT_EQ(small.Width(), 16);
      EXPECT_EQ(oriented::Quadrants(small, thumbColours), oriented::kUpright);
      EXPECT_EQ(info.width, w);

      imaging::SaveUprightJpeg(file, File("up.jpg"), 100);
      const PictureInfo written = imaging::Probe(File("up.jpg"));
      EXPECT_EQ(written.orientation, 1);
      EXPECT_FALSE(written.hasExifThumbnail);
      EXPECT_EQ(written.width, w);
      EXPECT_EQ(written.height, h);
      EXPECT_EQ(oriented::Quadrants(imaging::Load(File("up.jpg"))), oriented::kUpright);
      imaging::SaveJpeg(full, File("saved.jpg"), 90);
      EXPECT_EQ(imaging::Probe(File("saved.jpg")).orientation, 1);
    }
  }
  EXPECT_EQ(ErrorOf([&] { imaging::SaveUprightJpeg(File("none.jpg"), File("x.jpg"), 100); }),
            vb::kFileNotFound);
}

TEST_F(ImagingTest, JpegQualityControlsSizeAndIsChecked) {
  std::vector<std::uint32_t> px(320 * 240);
  for (std::size_t i = 0; i < px.size(); ++i)
    px[i] = 0xFF000000u | std::uint32_t(i * 2654435761u) >> 8;
  Picture pic = Picture::FromPixels(320, 240, px);
  imaging::SaveJpeg(pic, File("q20.jpg"), 20);
  imaging::SaveJpeg(pic, File("q95.jpg"), 95);
  EXPECT_LT(fs::file_size(File("q20.jpg")) * 2, fs::file_size(File("q95.jpg")));
  EXPECT_EQ(imaging::Load(File("q20.jpg")).Width(), 320);
  EXPECT_EQ(ErrorOf([&] { imaging::SaveJpeg(pic, File("q0.jpg"), 0); }), 380);
  EXPECT_EQ(ErrorOf([&] { imaging::SaveJpeg(pic, File("q101.jpg"), 101); }), 380);
  EXPECT_FALSE(fs::exists(File("q0.jpg")));
}

TEST_F(ImagingTest, SaveJpegRoundTripsAndReplacesTargetSafely) {
  Picture pic = Picture::FromPixels(64, 48, Quadrants(64, 48));
  fs::path f = File("out.jpg");
  WriteBytes(f, {'o', 'l', 'd'});
  imaging::SaveJpeg(pic, f, 90);
  ExpectQuadrants(imaging::Load(f), 10);
  int entries = 0;
  for (auto& e : fs::directory_iterator(dir_)) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);  // no temporary file left behind
  EXPECT_EQ(ErrorOf([&] { imaging::SaveJpeg(pic, File("no/such/folder/x.jpg"), 90); }), 76);
  ::chmod(f.c_str(), 0444);
  EXPECT_EQ(ErrorOf([&] { imaging::SaveJpeg(pic, f, 50); }), 75);
  EXPECT_EQ(ErrorOf([&] { imaging::SaveJpeg(Picture(), File("n.jpg"), 50); }), 481);
}

// --- BMP ------------------------------------------------------------------

TEST_F(ImagingTest, BmpAllDepthsRleAndTopDown) {
  // 4 x 2 picture; rows stored bottom-up unless the height is negative.
  const std::uint32_t pal[4] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  const std::vector<std::uint32_t> palette(pal, pal + 4);
  auto argb = [](std::uint32_t rgb) { return 0xFF000000u | rgb; };
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
    int bits;
    const char* compression;
  };
  std::vector<Case> cases = {
      // 1-bit: top row 1010, bottom row 0101 (palette entries 0 and 1).
      {"1", BmpBytes(4, 2, 1, 0, {pal[0], pal[1]}, {0x50, 0, 0, 0, 0xA0, 0, 0, 0}), 1, "None"},
      // 4-bit: bottom row 0 1 2 3, top row 3 2 1 0.
      {"4", BmpBytes(4, 2, 4, 0, palette, {0x01, 0x23, 0, 0, 0x32, 0x10, 0, 0}), 4, "None"},
      {"8", BmpBytes(4, 2, 8, 0, palette, {0, 1, 2, 3, 3, 2, 1, 0}), 8, "None"},
      {"8rle",
       BmpBytes(4, 2, 8, 1, palette, {1, 0, 1, 1, 1, 2, 1, 3, 0, 0, 1, 3, 1, 2, 1, 1, 1, 0, 0, 1}),
       8, "RLE8"},
      {"4rle", BmpBytes(4, 2, 4, 2, palette, {0, 4, 0x01, 0x23, 0, 0, 0, 4, 0x32, 0x10, 0, 1}), 4,
       "RLE4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::path f = File(std::string("p") + c.name + ".bmp");
    WriteBytes(f, c.bytes);
    PictureInfo info;
    Picture pic = imaging::Load(f, &info);
    ASSERT_EQ(pic.Width(), 4);
    ASSERT_EQ(pic.Height(), 2);
    EXPECT_EQ(info.bitsPerPixel, c.bits);
    EXPECT_EQ(info.compressionText, c.compression);
    EXPECT_EQ(info.format, "BMP");
    if (c.bits == 1) {
      EXPECT_EQ(pic.Pixel(0, 0), argb(pal[1]));
      EXPECT_EQ(pic.Pixel(1, 0), argb(pal[0]));
      EXPECT_EQ(pic.Pixel(0, 1), argb(pal[0]));
    } else {
      for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(pic.Pixel(x, 0), argb(pal[3 - x]));
        EXPECT_EQ(pic.Pixel(x, 1), argb(pal[x]));
      }
    }
  }
}

TEST_F(ImagingTest, BmpDirectColourDepths) {
  // 2 x 2: bottom row red, green; top row blue, white.
  std::vector<unsigned char> b16 = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F};  // 5-5-5
  // 24-bit rows are 6 bytes padded to 8.
  std::vector<unsigned char> b24 = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  std::vector<unsigned char> b32 = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  struct Case {
    int bits;
    std::vector<unsigned char> body;
  };
  for (const Case& c : {Case{16, b16}, Case{24, b24}, Case{32, b32}}) {
    SCOPED_TRACE(c.bits);
    fs::path f = File("d" + std::to_string(c.bits) + ".bmp");
    WriteBytes(f, BmpBytes(2, 2, c.bits, 0, {}, c.body));
    Picture pic = imaging::Load(f);
    ASSERT_EQ(pic.Width(), 2);
    EXPECT_LE(MaxDiff(pic.Pixel(0, 1), 0xFFFF0000), 8);
    EXPECT_LE(MaxDiff(pic.Pixel(1, 1), 0xFF00FF00), 8);
    EXPECT_LE(MaxDiff(pic.Pixel(0, 0), 0xFF0000FF), 8);
    EXPECT_LE(MaxDiff(pic.Pixel(1, 0), 0xFFFFFFFF), 8);
  }
  // Top-down: negative height, first stored row is the top.
  WriteBytes(File("td.bmp"), BmpBytes(2, -2, 24, 0, {}, b24));
  Picture td = imaging::Load(File("td.bmp"));
  EXPECT_EQ(td.Height(), 2);
  EXPECT_EQ(td.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(td.Pixel(1, 1), 0xFFFFFFFFu);
}

TEST_F(ImagingTest, SaveBmpWritesTwentyFourBitsLosslessly) {
  Picture pic = Picture::FromPixels(5, 3, Quadrants(5, 3));
  imaging::SaveBmp(pic, File("s.bmp"));
  PictureInfo info;
  Picture back = imaging::Load(File("s.bmp"), &info);
  EXPECT_EQ(info.bitsPerPixel, 24);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(back.Pixel(x, y), pic.Pixel(x, y));
}

// --- Pictures of more than one band of rows --------------------------------

constexpr int kBandW = 1100, kBandH = 1000;

std::vector<std::uint32_t> Gradient() {
  std::vector<std::uint32_t> px(std::size_t(kBandW) * kBandH);
  for (int y = 0; y < kBandH; ++y)
    for (int x = 0; x < kBandW; ++x)
      px[std::size_t(y) * kBandW + x] = 0xFF000000u | std::uint32_t(x * 255 / kBandW) << 16 |
                                        std::uint32_t(y * 255 / kBandH) << 8;
  return px;
}

// The full decode holds every pixel, and the reduced one is that decode reduced.
void ExpectBandsDecodeTheWhole(const fs::path& file) {
  SCOPED_TRACE(file.filename().string());
  const Picture full = imaging::Load(file);
  ASSERT_EQ(full.Width(), kBandW);
  ASSERT_EQ(full.Height(), kBandH);
  EXPECT_TRUE(Pixels(full) == Gradient());
  EXPECT_TRUE(Pixels(imaging::LoadReduced(file, 80, 60)) == Pixels(imaging::Reduce(full, 80, 60)));
}

TEST_F(ImagingTest, BmpBandsBothWaysUp) {
  const std::vector<std::uint32_t> px = Gradient();
  std::vector<unsigned char> up, down;  // 24 bits bottom-up, 32 bits top-down
  for (int y = 0; y < kBandH; ++y)
    for (int x = 0; x < kBandW; ++x) {
      const std::uint32_t v = px[std::size_t(kBandH - 1 - y) * kBandW + x];
      const std::uint32_t t = px[std::size_t(y) * kBandW + x];
      up.insert(up.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16)});
      down.insert(down.end(), {uint8_t(t), uint8_t(t >> 8), uint8_t(t >> 16), 0});
    }
  WriteBytes(File("up.bmp"), BmpBytes(kBandW, kBandH, 24, 0, {}, up));
  WriteBytes(File("down.bmp"), BmpBytes(kBandW, -kBandH, 32, 0, {}, down));
  ExpectBandsDecodeTheWhole(File("up.bmp"));
  ExpectBandsDecodeTheWhole(File("down.bmp"));
}

// --- TIFF -----------------------------------------------------------------

TEST_F(ImagingTest, TiffStripsTilesAndCompressions) {
  const std::vector<std::uint32_t> px = Quadrants(40, 30);
  for (bool tiled : {false, true}) {
    for (int comp :
         {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE, COMPRESSION_PACKBITS}) {
      SCOPED_TRACE(std::to_string(tiled) + "/" + std::to_string(comp));
      fs::path f = File("t.tif");
      WriteTiff(f, 40, 30, px, {tiled, comp});
      PictureInfo info;
      Picture pic = imaging::Load(f, &info);
      ASSERT_EQ(pic.Width(), 40);
      ASSERT_EQ(pic.Height(), 30);
      EXPECT_EQ(info.bitsPerPixel, 24);
      EXPECT_EQ(info.format, "TIFF");
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
          ASSERT_EQ(pic.Pixel(x, y), px[std::size_t(y) * 40 + x]) << x << "," << y;
      EXPECT_EQ(imaging::LoadReduced(f, 20, 20).Width(), 20);
    }
  }
  // Large pictures are decoded a band of rows at a time (a row at a time when one strip is
  // larger than a band), into the reduced size.
  for (const TiffOptions& opt :
       {TiffOptions{false, COMPRESSION_LZW}, TiffOptions{true, COMPRESSION_LZW},
        TiffOptions{false, COMPRESSION_LZW, kBandH}}) {
    WriteTiff(File("big.tif"), kBandW, kBandH, Gradient(), opt);
    ExpectBandsDecodeTheWhole(File("big.tif"));
  }
  // A page stored turned or mirrored is shown upright, decoded a band at a time like any other.
  for (int o = 1; o <= 8; ++o) {
    SCOPED_TRACE("orientation " + std::to_string(o));
    const Picture stored = oriented::Stored(64, 48, o);
    WriteTiff(File("o.tif"), stored.Width(), stored.Height(), Pixels(stored),
              {false, COMPRESSION_LZW, 8, o});
    EXPECT_EQ(imaging::Probe(File("o.tif")).width, 64);
    EXPECT_EQ(oriented::Quadrants(imaging::Load(File("o.tif"))), oriented::kUpright);
    EXPECT_EQ(oriented::Quadrants(imaging::LoadReduced(File("o.tif"), 16, 12)), oriented::kUpright);
    WriteFlatTiff(File("flat.tif"), 2400, 1800, {COMPRESSION_ADOBE_DEFLATE, 0, o});
    EXPECT_LT(PeakAllocated([&] { imaging::LoadReduced(File("flat.tif"), 80, 60); }),
              kBrokenFileBytes / 4);  // a quarter of the picture
  }
  WriteTiff(File("lzw.tif"), 8, 8, Quadrants(8, 8), {false, COMPRESSION_LZW});
  EXPECT_EQ(imaging::Probe(File("lzw.tif")).compressionText, "LZW");
}

// --- Pixel operations -----------------------------------------------------

TEST_F(ImagingTest, BrightnessShiftsAndClampsColourChannels) {
  Picture pic = Picture::FromPixels(2, 1, {0xFF102030, 0x80F0F0F0});
  Picture up = imaging::AdjustBrightness(pic, 10);  // +26
  EXPECT_EQ(up.Pixel(0, 0), 0xFF2A3A4Au);
  EXPECT_EQ(up.Pixel(1, 0), 0x80FFFFFFu);  // clamped, alpha kept
  Picture down = imaging::AdjustBrightness(pic, -100);
  EXPECT_EQ(down.Pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(imaging::AdjustBrightness(pic, 0).Pixel(0, 0), pic.Pixel(0, 0));
  EXPECT_EQ(pic.Pixel(0, 0), 0xFF102030u);  // the original is untouched
  EXPECT_EQ(ErrorOf([&] { imaging::AdjustBrightness(pic, 101); }), 380);
}

TEST_F(ImagingTest, CropIsClippedToThePicture) {
  std::vector<std::uint32_t> px(16);
  for (int i = 0; i < 16; ++i) px[i] = 0xFF000000u | unsigned(i);
  Picture pic = Picture::FromPixels(4, 4, px);
  Picture c = imaging::Crop(pic, 1, 2, 2, 2);
  ASSERT_EQ(c.Width(), 2);
  ASSERT_EQ(c.Height(), 2);
  EXPECT_EQ(c.Pixel(0, 0), 0xFF000009u);
  EXPECT_EQ(c.Pixel(1, 1), 0xFF00000Eu);
  Picture clipped = imaging::Crop(pic, -5, 3, 100, 100);
  EXPECT_EQ(clipped.Width(), 4);
  EXPECT_EQ(clipped.Height(), 1);
  EXPECT_EQ(clipped.Pixel(0, 0), 0xFF00000Cu);
  EXPECT_EQ(ErrorOf([&] { imaging::Crop(pic, 4, 0, 2, 2); }), 380);
  EXPECT_EQ(ErrorOf([&] { imaging::Crop(pic, 0, 0, 0, 2); }), 380);
}

TEST_F(ImagingTest, ResizeAveragesAreasAndInterpolatesUp) {
  // 4 x 2 of alternating black and white columns shrinks to mid grey.
  Picture stripes = Picture::FromPixels(4, 2,
                                        {0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF, 0xFF000000,
                                         0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF});
  Picture grey = imaging::Resize(stripes, 2, 1);
  EXPECT_LE(MaxDiff(grey.Pixel(0, 0), 0xFF808080), 1);
  EXPECT_LE(MaxDiff(grey.Pixel(1, 0), 0xFF808080), 1);
  // Non-integer ratio: 3 -> 2 columns weighs 1 + half of the middle one.
  Picture three = Picture::FromPixels(3, 1, {0xFF000000, 0xFF000000 | 0x606060, 0xFFC0C0C0});
  Picture two = imaging::Resize(three, 2, 1);
  EXPECT_LE(MaxDiff(two.Pixel(0, 0), 0xFF202020), 1);
  EXPECT_LE(MaxDiff(two.Pixel(1, 0), 0xFFA0A0A0), 1);
  // Uniform colour stays exact whichever way, each side on its own.
  Picture flat = Picture::FromPixels(7, 5, std::vector<std::uint32_t>(35, 0xFF336699));
  for (auto [w, h] : {std::pair{3, 9}, std::pair{14, 2}, std::pair{1, 1}}) {
    Picture r = imaging::Resize(flat, w, h);
    EXPECT_EQ(r.Width(), w);
    EXPECT_EQ(r.Height(), h);
    EXPECT_EQ(r.Pixel(w - 1, h - 1), 0xFF336699u);
  }
  EXPECT_EQ(ErrorOf([&] { imaging::Resize(flat, 0, 5); }), 380);
}

// --- Bad input ------------------------------------------------------------

TEST_F(ImagingTest, BrokenFilesRaiseInvalidPicture) {
  std::vector<unsigned char> jpeg = JpegBytes(64, 48, Quadrants(64, 48));
  std::vector<unsigned char> prog =
      JpegBytes(64, 48, Quadrants(64, 48), Opt([](JpegOptions& o) { o.progressive = true; }));
  std::vector<unsigned char> bmp =
      BmpBytes(4, 2, 8, 0, {0, 0xFFFFFF}, std::vector<unsigned char>(8, 1));
  WriteTiff(File("whole.tif"), 40, 30, Quadrants(40, 30));
  std::vector<unsigned char> tiff = ReadBytes(File("whole.tif"));
  auto cut = [](std::vector<unsigned char> v, std::size_t n) {
    v.resize(n);
    return v;
  };
  // Where the picture data of a JPEG begins: after the first scan header.
  auto scanData = [](const std::vector<unsigned char>& v) {
    std::size_t at = 0;
    while (at + 3 < v.size() && !(v[at] == 0xFF && v[at + 1] == 0xDA)) ++at;
    return at + 2 + (std::size_t(v[at + 2]) << 8 | v[at + 3]);
  };
  // The picture data cut halfway; closed by the end marker, the file does not run out, so only
  // the decoder can tell that the pixels are missing.
  auto halfData = [&](const std::vector<unsigned char>& v) {
    return cut(v, (scanData(v) + v.size()) / 2);
  };
  auto endsAtMarker = [&](const std::vector<unsigned char>& v) {
    std::vector<unsigned char> out = halfData(v);
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
  };
  // Arithmetic-coded data of all ones (0xFF, stuffed) up to the end marker: the magnitude they
  // code overflows, a code no encoder writes (the decoder leaves the rest of the picture grey).
  auto allOnes = [&](std::vector<unsigned char> v) {
    for (std::size_t at = scanData(v); at + 3 < v.size(); at += 2) v[at] = 0xFF, v[at + 1] = 0;
    return v;
  };
  // 10000 x 10000 headers with almost no pixel data: one run-length row, one TIFF row, the data
  // of a 16 x 16 JPEG.  Pictures claiming 240 MP and more rows or columns than their bytes can
  // decode in time.
  const std::vector<unsigned char> rleRow = {255, 1, 0, 0, 0, 1};
  const std::vector<unsigned char> small = JpegBytes(16, 16, Quadrants(16, 16));
  auto opt = [](bool progressive, bool arithmetic) {
    return Opt([&](JpegOptions& o) { o.progressive = progressive, o.arithmetic = arithmetic; });
  };
  const std::vector<unsigned char> arith = JpegBytes(64, 48, Quadrants(64, 48), opt(false, true));
  std::vector<unsigned char> endsFirst(800'000);  // a first code that ends the picture
  endsFirst[1] = 1;
  WriteJpegTiff(File("jpeg240.tif"), 15000, 16000, ClaimingSize(small, 15000, 16000));
  WriteFlatTiff(File("wide.tif"), 20'000'000, 1);
  WriteFlatTiff(File("tall.tif"), 1, 20'000'000);
  WriteFlatTiff(File("tile.tif"), 4096, 4096, {8, 4096});
  TIFF* t = TIFFOpen(File("nodata.tif").c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 10000u);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, 10000u);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 10000u);
  TIFFWriteScanline(t, std::vector<unsigned char>(10000).data(), 0, 0);
  TIFFClose(t);
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  std::vector<Case> cases = {
      {"empty.jpg", {}},
      {"garbage.jpg", std::vector<unsigned char>(300, 0x5A)},
      {"half.jpg", cut(jpeg, jpeg.size() / 2)},
      {"header.jpg", cut(jpeg, 20)},
      {"prog.jpg", cut(prog, prog.size() * 2 / 3)},
      {"half.bmp", cut(bmp, bmp.size() - 3)},
      {"header.bmp", cut(bmp, 20)},
      {"rle8.bmp", BmpBytes(4, 2, 8, 1, {0, 0xFFFFFF}, {4, 1, 0, 0})},  // ends after a row
      {"rle8big.bmp", BmpBytes(10000, 10000, 8, 1, {0, 0xFFFFFF}, rleRow)},
      {"nodata.tif", ReadBytes(File("nodata.tif"))},
      {"nodata.jpg", ClaimingSize(small, 10000, 10000)},
      {"arith.jpg", allOnes(arith)},
      {"arithcut.jpg", halfData(arith)},
      {"eoi.jpg", endsAtMarker(jpeg)},
      {"prog240.jpg", ClaimingSize(prog, 15000, 16000)},
      {"arith240.jpg",
       ClaimingSize(JpegBytes(64, 48, Quadrants(64, 48), opt(true, true)), 15000, 16000)},
      {"zeroed.bmp", BmpBytes(1024, 768, 8, 1, {0, 0xFFFFFF}, std::vector<unsigned char>(786432))},
      {"ends.bmp", BmpBytes(10000, 10000, 8, 1, {0, 0xFFFFFF}, endsFirst)},
      {"tall.bmp", BmpBytes(1, 100'000'000, 24, 0, {}, std::vector<unsigned char>(4096))},
      {"jpeg240.tif", ReadBytes(File("jpeg240.tif"))},
      {"wide.tif", ReadBytes(File("wide.tif"))},
      {"tall.tif", ReadBytes(File("tall.tif"))},
      {"tile.tif", ReadBytes(File("tile.tif"))},
      {"half.tif", cut(tiff, tiff.size() / 2)},
      {"magic.tif", {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F}},
      {"png.jpg", {0x89, 'P', 'N', 'G', 13, 10, 26, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(File(c.name), c.bytes);
    int full = 0, reduced = 0;
    const std::size_t peak = PeakAllocated([&] {
      full = ErrorOf([&] { imaging::Load(File(c.name)); });
      reduced = ErrorOf([&] { imaging::LoadReduced(File(c.name), 80, 60); });
    });
    EXPECT_EQ(full, 481);
    EXPECT_EQ(reduced, 481);
    EXPECT_LT(peak, kBrokenFileBytes) << "a picture with no data was allocated";
  }
  EXPECT_EQ(ErrorOf([&] { imaging::Probe(File("garbage.jpg")); }), 481);
  EXPECT_EQ(ErrorOf([&] { imaging::Probe(File("empty.jpg")); }), 481);
}

TEST_F(ImagingTest, OversizedHeadersAreRefusedBeforeDecoding) {
  WriteBytes(File("huge.jpg"), ClaimingSize(JpegBytes(16, 16, Quadrants(16, 16)), 20000, 20000));
  WriteBytes(File("huge.bmp"), BmpBytes(20000, -20000, 24, 0, {}, std::vector<unsigned char>(64)));
  WriteTiff(File("t.tif"), 8, 8, Quadrants(8, 8));
  std::vector<unsigned char> tiff = ReadBytes(File("t.tif"));
  TIFF* t = TIFFOpen(File("huge.tif").c_str(), "w");
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, 20000u);
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, 20000u);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 20000u);
  std::vector<unsigned char> row(20000);
  TIFFWriteScanline(t, row.data(), 0, 0);
  TIFFClose(t);
  for (const char* name : {"huge.jpg", "huge.bmp", "huge.tif"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ErrorOf([&] { imaging::Probe(File(name)); }), 481);
    EXPECT_EQ(ErrorOf([&] { imaging::Load(File(name)); }), 481);
    EXPECT_EQ(ErrorOf([&] { imaging::LoadReduced(File(name), 80, 60); }), 481);
  }
  EXPECT_EQ(imaging::MaxPixels(), 250'000'000u);
}

TEST_F(ImagingTest, MissingFilesAndFolders) {
  EXPECT_EQ(ErrorOf([&] { imaging::Load(File("none.jpg")); }), 53);
  EXPECT_EQ(ErrorOf([&] { imaging::Probe(File("none.tif")); }), 53);
  EXPECT_EQ(ErrorOf([&] { imaging::LoadReduced(File("nodir/none.jpg"), 80, 60); }), 76);
  EXPECT_EQ(ErrorOf([&] { imaging::Load(dir_); }), 75);
  EXPECT_EQ(ErrorOf([&] { imaging::Load(""); }), 53);
}

TEST_F(ImagingTest, LoadReducedManyReportsEachFile) {
  WriteJpeg(File("a.jpg"), 320, 240, Quadrants(320, 240));
  WriteBytes(File("b.jpg"), {1, 2, 3});
  WriteTiff(File("c.tif"), 40, 30, Quadrants(40, 30));
  std::vector<fs::path> files = {File("a.jpg"), File("b.jpg"), File("none.jpg"), File("c.tif")};
  std::vector<imaging::ReducedLoad> r = imaging::LoadReducedMany(files, 80, 60);
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].error, 0);
  EXPECT_EQ(r[0].picture.Width(), 80);
  EXPECT_EQ(r[0].info.width, 320);
  EXPECT_EQ(r[1].error, 481);
  EXPECT_TRUE(r[1].picture.IsNull());
  EXPECT_EQ(r[2].error, 53);
  EXPECT_EQ(r[3].error, 0);
  EXPECT_EQ(r[3].picture.Width(), 40);
}

}  // namespace
