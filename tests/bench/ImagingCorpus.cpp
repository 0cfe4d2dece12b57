#include "ImagingCorpus.h"

#include "tests/unit/imaging/ImagingTestFiles.h"

#include <tiffio.h>

#include <cstdint>

namespace bench {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

// A camera-like JPEG-in-TIFF (YCbCr 4:2:0, quality 90) of w x h, one strip or strips of `rows`.
void JpegTiff(const fs::path& file, int w, int h, int rows) {
  TIFF* tif = imaging_test::OpenTiff(file, w, h, COMPRESSION_JPEG);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
  TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
  TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 90);
  TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(rows));
  Bytes row(std::size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      row[std::size_t(x) * 3] = std::uint8_t(x * 255 / w);
      row[std::size_t(x) * 3 + 1] = std::uint8_t(y * 255 / h);
      row[std::size_t(x) * 3 + 2] = std::uint8_t((x ^ y) & 0x3F);
    }
    TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
  }
  TIFFClose(tif);
}

}  // namespace

std::vector<CorpusFile> MakeImagingCorpus(const fs::path& dir) {
  using namespace imaging_test;
  fs::create_directories(dir);
  auto at = [&](const char* name) { return dir / name; };
  auto jpeg = [](int w, int h, bool progressive, bool arithmetic) {
    JpegOptions opt;
    opt.progressive = progressive, opt.arithmetic = arithmetic;
    return JpegBytes(w, h, Quadrants(w, h), opt);
  };
  Bytes ends(2'000'000);  // the first code ends the picture
  ends[1] = 1;
  const std::vector<std::uint32_t> palette = {0, 0xFFFFFF};
  WriteBytes(at("rle8-1x250M.bmp"), BmpBytes(1, 250'000'000, 8, 1, palette, ends));
  WriteBytes(at("rle8-10000x10000-ends.bmp"),
             BmpBytes(10000, 10000, 8, 1, palette, Bytes(ends.begin(), ends.begin() + 800'000)));
  WriteBytes(at("rle8-1024x768-zeroed.bmp"), BmpBytes(1024, 768, 8, 1, palette, Bytes(1024 * 768)));
  WriteBytes(at("bmp24-1x100M.bmp"), BmpBytes(1, 100'000'000, 24, 0, {}, Bytes(4096)));
  WriteBytes(at("progressive-240MP.jpg"), ClaimingSize(jpeg(64, 48, true, false), 15000, 16000));
  WriteBytes(at("arith-progressive-240MP.jpg"),
             ClaimingSize(jpeg(64, 48, true, true), 15000, 16000));
  Bytes arith = jpeg(640, 480, false, true);
  arith.resize(arith.size() / 2);
  WriteBytes(at("arith-cut.jpg"), arith);
  WriteJpegTiff(at("jpegtiff-onestrip-240MP.tif"), 15000, 16000,
                ClaimingSize(jpeg(16, 16, false, false), 15000, 16000));
  WriteFlatTiff(at("deflate-250Mx1.tif"), 250'000'000, 1);
  WriteFlatTiff(at("deflate-1x250M.tif"), 1, 250'000'000);
  WriteFlatTiff(at("deflate-tile-16384.tif"), 16384, 16384, {COMPRESSION_ADOBE_DEFLATE, 16384});
  WriteFlatTiff(at("deflate-turned3-240MP.tif"), 15000, 16000, {COMPRESSION_ADOBE_DEFLATE, 0, 3});
  WriteFlatTiff(at("deflate-turned6-240MP.tif"), 15000, 16000, {COMPRESSION_ADOBE_DEFLATE, 0, 6});
  JpegTiff(at("camera-48MP-onestrip.tif"), 8000, 6000, 6000);
  JpegTiff(at("camera-48MP-strips16.tif"), 8000, 6000, 16);
  return {{"rle8-1x250M.bmp", true},
          {"rle8-10000x10000-ends.bmp", true},
          {"rle8-1024x768-zeroed.bmp", true},
          {"bmp24-1x100M.bmp", true},
          {"progressive-240MP.jpg", true},
          {"arith-progressive-240MP.jpg", true},
          {"arith-cut.jpg", true},
          {"jpegtiff-onestrip-240MP.tif", true},
          {"deflate-250Mx1.tif", true},
          {"deflate-1x250M.tif", true},
          {"deflate-tile-16384.tif", true},
          {"deflate-turned3-240MP.tif", true},
          {"deflate-turned6-240MP.tif", true},
          {"camera-48MP-onestrip.tif", false},
          {"camera-48MP-strips16.tif", false}};
}

}  // namespace bench
