#pragma once
// Writers for the test pictures: JPEG variants through libjpeg, TIFF through
// libtiff, BMP headers crafted byte by byte.

#include <tiffio.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace imaging_test {

namespace fs = std::filesystem;

// 0xAARRGGBB test picture of w x h made of four solid quadrants.
std::vector<std::uint32_t> Quadrants(int w, int h);
constexpr std::uint32_t kQuadColours[4] = {0xFFC03020, 0xFF20A040, 0xFF3050D0, 0xFFE0E0E0};

struct JpegOptions {
  int quality = 95;
  bool progressive = false;
  bool arithmetic = false;
  int hSamp = 2, vSamp = 2;  // luma sampling factors: 2x2 = 4:2:0, 2x1 = 4:2:2, 1x1 = 4:4:4
  bool gray = false;
  bool cmyk = false;
  bool adobeInverted = false;       // CMYK stored as Photoshop does
  std::vector<unsigned char> app1;  // written as an APP1 marker when not empty
};

void WriteJpeg(const fs::path& file, int w, int h, const std::vector<std::uint32_t>& px,
               const JpegOptions& opt = {});
std::vector<unsigned char> JpegBytes(int w, int h, const std::vector<std::uint32_t>& px,
                                     const JpegOptions& opt = {});

// An Exif APP1 payload whose IFD1 carries `thumb` as the JPEG thumbnail.
std::vector<unsigned char> ExifWithThumbnail(const std::vector<unsigned char>& thumb);

// A TIFF open for writing with w x h of 8-bit samples, contiguous, in `compression`.
TIFF* OpenTiff(const fs::path& file, int w, int h, int compression);

struct TiffOptions {
  bool tiled = false;
  int compression = 1;  // libtiff COMPRESSION_* value
  int rowsPerStrip = 8;
  int orientation = 1;
};
void WriteTiff(const fs::path& file, int w, int h, const std::vector<std::uint32_t>& px,
               const TiffOptions& opt = {});

// The JPEG with the size its frame header gives changed to w x h, its data left as it is.
std::vector<unsigned char> ClaimingSize(std::vector<unsigned char> jpeg, int w, int h);

// A black 8-bit grey w x h TIFF stored as one strip, or as tiles of `tile` x `tile`.
struct FlatTiff {
  int compression = 8;  // COMPRESSION_ADOBE_DEFLATE
  int tile = 0;
  int orientation = 1;
};
void WriteFlatTiff(const fs::path& file, int w, int h, const FlatTiff& opt = {});

// A w x h YCbCr 4:2:0 TIFF whose one strip holds `jpeg` as it is.
void WriteJpegTiff(const fs::path& file, int w, int h, const std::vector<unsigned char>& jpeg);

// A BMP with a BITMAPINFOHEADER; `body` is the pixel data exactly as stored.
std::vector<unsigned char> BmpBytes(int w, int h, int bpp, std::uint32_t compression,
                                    const std::vector<std::uint32_t>& palette,
                                    const std::vector<unsigned char>& body,
                                    const std::vector<std::uint32_t>& masks = {});

void WriteBytes(const fs::path& file, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const fs::path& file);

}  // namespace imaging_test
