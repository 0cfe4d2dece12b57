#pragma once
// Internal helpers shared by the codecs; not part of the public interface.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/imaging/Imaging.h"

namespace imaging::detail {

enum class Format { Unknown, Jpeg, Bmp, Tiff };

struct FileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

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

// Codecs.  Each raises 481 for anything it cannot decode.
PictureInfo ProbeJpeg(std::FILE* f);
Picture LoadJpeg(std::FILE* f, int maxW, int maxH, PictureInfo* info);  // maxW 0: full size
void EncodeJpeg(const Picture& pic, int quality, std::vector<unsigned char>& out);
// The JPEG turned upright in the DCT domain with no marker kept; false when the picture's size
// does not allow a lossless turn.
bool TurnJpegLosslessly(const std::vector<unsigned char>& jpeg, int orientation,
                        std::vector<unsigned char>& out);

PictureInfo ProbeBmp(std::FILE* f);
Picture LoadBmp(std::FILE* f, PictureInfo* info);

PictureInfo ProbeTiff(const std::filesystem::path& file);
Picture LoadTiff(const std::filesystem::path& file, PictureInfo* info);

// Writes bytes to a temporary file beside the target, then renames it over the target.
void WriteFileAtomically(const std::filesystem::path& file,
                         const std::vector<unsigned char>& bytes);

}  // namespace imaging::detail
