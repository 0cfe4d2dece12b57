#pragma once
// The picture engine: decodes JPEG, BMP and TIFF files, reduces, resizes,
// brightens, crops and saves pictures.  A JPEG is turned upright by its Exif
// orientation tag on decoding; sizes are those of the upright picture, and
// nothing written carries an orientation tag.  Every failure raises vb::VbError:
//   481 not a valid picture (unknown format, truncated, garbage, over MaxPixels)
//    53 file not found, 76 folder not found, 75 access denied, 61 disk full,
//   380 invalid argument (quality out of range, empty crop, bad size).

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace imaging {

struct PictureInfo {
  int width = 0;  // true size of the picture, upright
  int height = 0;
  int orientation = 1;          // Exif orientation tag of a JPEG (1: stored upright)
  int bitsPerPixel = 0;         // as stored: 1, 4, 8, 16, 24, 32, 48, 64
  std::string format;           // "JPEG", "BMP" or "TIFF"
  std::string formatText;       // e.g. "JPEG (JFIF)", "Windows Bitmap", "TIFF"
  std::string compressionText;  // e.g. "JPEG baseline", "JPEG progressive", "RLE8", "LZW", "None"
  bool hasExifThumbnail = false;
};

struct PictureData;

// Immutable shared pixels, 32-bit 0xAARRGGBB, rows top to bottom.  Cheap to copy.
class Picture {
 public:
  Picture() = default;
  bool IsNull() const noexcept;
  int Width() const noexcept;
  int Height() const noexcept;
  const std::uint32_t* Row(int y) const noexcept;    // nullptr when out of range
  std::uint32_t Pixel(int x, int y) const noexcept;  // 0 when out of range
  std::size_t Stride() const noexcept;               // bytes between rows
  // Raises 380 when px.size() != w*h or a side is not positive, 481 over MaxPixels.
  static Picture FromPixels(int w, int h, std::vector<std::uint32_t> px);

 private:
  std::shared_ptr<const PictureData> d_;
};

// Largest picture accepted (width * height); larger ones raise 481 before decoding.
std::size_t MaxPixels() noexcept;

// Reads only the header.
PictureInfo Probe(const std::filesystem::path& file);

// Full-size decode.
Picture Load(const std::filesystem::path& file, PictureInfo* info = nullptr);

// Decodes reduced to fit inside maxW x maxH keeping the aspect ratio (never
// enlarged); info receives the TRUE size.  Uses the embedded EXIF thumbnail
// when it matches the picture's shape and is large enough, else DCT scaling.
Picture LoadReduced(const std::filesystem::path& file, int maxW, int maxH,
                    PictureInfo* info = nullptr);

// Loads several files reduced, in parallel (the thumbnail strip).  Never throws
// for a single file: its error number is returned in `error` (0 on success).
struct ReducedLoad {
  Picture picture;
  PictureInfo info;
  int error = 0;
};
std::vector<ReducedLoad> LoadReducedMany(const std::vector<std::filesystem::path>& files, int maxW,
                                         int maxH);

// Reduced to fit inside maxW x maxH keeping the aspect ratio; never enlarged.
Picture Reduce(const Picture& pic, int maxW, int maxH);

// The size Reduce gives a picture of w x h (sides at least 1).
struct Size {
  int width = 0;
  int height = 0;
};
Size FittedSize(int w, int h, int maxW, int maxH);

// Each side independently; area averaging when shrinking, bilinear when growing.
Picture Resize(const Picture& pic, int w, int h);

// Adds offset * 255 / 100 to each colour channel, clamped; offset -100..100 else 380.
Picture AdjustBrightness(const Picture& pic, int offset);

// Clipped to the picture; an empty result raises 380.
Picture Crop(const Picture& pic, int x, int y, int w, int h);

// quality 1..100 else 380; a null picture raises 481.  Written to a temporary file then renamed
// over the target.
void SaveJpeg(const Picture& pic, const std::filesystem::path& file, int quality);

// 24-bit uncompressed, bottom-up.
void SaveBmp(const Picture& pic, const std::filesystem::path& file);

// A JPEG file saved upright with no marker kept: turned losslessly in the DCT domain where the
// picture's size allows, else decoded, turned and saved at `quality`.  Meant for files whose
// orientation tag turns them; written through a temporary file like SaveJpeg.
void SaveUprightJpeg(const std::filesystem::path& src, const std::filesystem::path& dest,
                     int quality);

}  // namespace imaging
