#pragma once
// Internal helpers shared by the codecs; not part of the public interface.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "platform/imaging/Imaging.h"

namespace imaging::detail {

enum class Format { Unknown, Jpeg, Bmp, Tiff };

struct FileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The memory the decodes of one page share.  A decode that would take more is refused.
constexpr std::size_t kDecodeMemoryLimit = std::size_t(512) << 20;

// Output pixels whose room a decoder makes before its data has shown it can fill them: up to 64 a
// byte of the file (beyond any photograph's compression).
constexpr std::size_t kPixelsPerByte = 64;

// Opens for reading; raises 53 (no file), 76 (no folder) or 75 (not readable).
File OpenForRead(const std::filesystem::path& file);

// Reads the first bytes and rewinds; raises 481 when the format is not known.
Format Sniff(std::FILE* f);

// Whole file into memory; raises 481 when it exceeds `limit` bytes.
std::vector<unsigned char> ReadAll(std::FILE* f, std::size_t limit);

// Raises 481 unless 0 < w, 0 < h and w * h <= MaxPixels().
void CheckDimensions(long long w, long long h);

// The size that fits inside maxW x maxH keeping the aspect ratio, never larger than w x h.
void FitInside(int w, int h, int maxW, int maxH, int& outW, int& outH);

Picture MakePicture(int w, int h, std::vector<std::uint32_t> px);

// Exif orientation 5 to 8: the upright picture's width is the stored height.
bool SwapsSides(int orientation) noexcept;
// The stored picture turned upright by its Exif orientation (1 or unknown: as it is).
Picture Upright(const Picture& pic, int orientation);

// For each output index along one axis: the first input index and the weights of the
// consecutive inputs that make it up (summing to 1).  Inputs between the first and the last
// of an output all weigh the same, so three weights describe it whatever the scale.
struct Axis {
  std::vector<int> first;
  std::vector<int> count;  // inputs used per output index
  std::vector<float> firstWeight, middleWeight, lastWeight;
  float Weight(int i, int t) const noexcept {
    return t == 0                           ? firstWeight[std::size_t(i)]
           : t == count[std::size_t(i)] - 1 ? lastWeight[std::size_t(i)]
                                            : middleWeight[std::size_t(i)];
  }
};

// Takes a picture's rows top to bottom and keeps only the picture resized to dstW x dstH (as
// Resize does), so that a decoder never holds more than a row of the whole picture and the sums
// of the output rows it feeds.  At the picture's own size the rows are kept as they come.
class RowReducer {
 public:
  // At the picture's own size room for at most `reserve` pixels is made up front, the rest as
  // the rows come.
  RowReducer(int srcW, int srcH, int dstW, int dstH, std::size_t reserve = SIZE_MAX);
  void Push(const std::uint32_t* row);
  // Raises 481 unless every row came.
  Picture Take();

 private:
  void Shrink(int sy);
  void Grow(int sy);
  int LastInput(int y) const;
  void Emit(int y, const std::vector<float>& sum);

  int srcW_, srcH_, dstW_, dstH_;
  bool same_;
  Axis ax_, ay_;
  int pushed_ = 0, next_ = 0, opened_ = 0;  // rows taken in, next output row, output rows begun
  std::vector<float> row_, prev_, blend_;   // input rows resized across, an output row
  std::deque<std::vector<float>> sums_;     // output rows next_ to opened_ - 1, being summed
  std::vector<std::vector<float>> spare_;
  std::vector<std::uint32_t> out_;
};

// Codecs.  Each raises 481 for anything it cannot decode.
PictureInfo ProbeJpeg(std::FILE* f);
Picture LoadJpeg(std::FILE* f, int maxW, int maxH, PictureInfo* info);  // maxW 0: full size
std::size_t JpegDecodeMemory(std::FILE* f, int maxW, int maxH);
void EncodeJpeg(const Picture& pic, int quality, std::vector<unsigned char>& out);
// The JPEG turned upright in the DCT domain with no marker kept; false when the picture's size
// does not allow a lossless turn.
bool TurnJpegLosslessly(const std::vector<unsigned char>& jpeg, int orientation,
                        std::vector<unsigned char>& out);

PictureInfo ProbeBmp(std::FILE* f);
Picture LoadBmp(std::FILE* f, int maxW, int maxH, PictureInfo* info);  // maxW 0: full size
std::size_t BmpDecodeMemory(std::FILE* f, int maxW, int maxH);

PictureInfo ProbeTiff(const std::filesystem::path& file);
Picture LoadTiff(const std::filesystem::path& file, int maxW, int maxH,
                 PictureInfo* info);  // maxW 0: full size
// The memory a decode of the file takes besides its result.
std::size_t TiffDecodeMemory(const std::filesystem::path& file);

// Writes bytes to a temporary file beside the target, then renames it over the target.
void WriteFileAtomically(const std::filesystem::path& file,
                         const std::vector<unsigned char>& bytes);

}  // namespace imaging::detail
