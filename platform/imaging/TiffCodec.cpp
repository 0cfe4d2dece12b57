// TIFF through libtiff's RGBA interface: strips or tiles, every compression
// and photometric interpretation the library knows.  First page only.

#include <tiffio.h>

#include <cstdarg>
#include <memory>

#include "platform/imaging/Detail.h"
#include "platform/vbrt/VbError.h"

namespace imaging::detail {

namespace {

constexpr tmsize_t kMaxSingleAlloc = tmsize_t(512) << 20;

// libtiff reports through these; the result codes already say what failed.
int Quiet(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

struct TiffCloser {
  void operator()(TIFF* t) const noexcept { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

TiffPtr Open(const std::filesystem::path& file) {
  File probe = OpenForRead(file);  // VB numbers for missing or unreadable files
  probe.reset();
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (!opts) vb::Raise(vb::kOutOfMemory);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, kMaxSingleAlloc);
  TIFFOpenOptionsSetErrorHandlerExtR(opts, Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, Quiet, nullptr);
  TIFF* tif = TIFFOpenExt(file.c_str(), "r", opts);
  TIFFOpenOptionsFree(opts);
  if (!tif) vb::Raise(vb::kInvalidPicture);
  return TiffPtr(tif);
}

const char* CompressionText(uint16_t c) {
  switch (c) {
    case COMPRESSION_NONE:
      return "None";
    case COMPRESSION_CCITTRLE:
      return "CCITT modified Huffman RLE";
    case COMPRESSION_CCITTFAX3:
      return "CCITT Group 3 fax";
    case COMPRESSION_CCITTFAX4:
      return "CCITT Group 4 fax";
    case COMPRESSION_LZW:
      return "LZW";
    case COMPRESSION_OJPEG:
      return "JPEG (old style)";
    case COMPRESSION_JPEG:
      return "JPEG";
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return "Deflate";
    case COMPRESSION_PACKBITS:
      return "PackBits";
    case COMPRESSION_LZMA:
      return "LZMA";
    case COMPRESSION_ZSTD:
      return "Zstandard";
    case COMPRESSION_WEBP:
      return "WebP";
    default:
      return "Unknown";
  }
}

PictureInfo ReadInfo(TIFF* tif) {
  uint32_t w = 0, h = 0;
  uint16_t bits = 1, samples = 1, compression = COMPRESSION_NONE;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h))
    vb::Raise(vb::kInvalidPicture);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  CheckDimensions(w, h);
  PictureInfo info;
  info.width = int(w);
  info.height = int(h);
  info.bitsPerPixel = int(bits) * int(samples);
  info.format = "TIFF";
  info.formatText = "Tagged Image File Format";
  info.compressionText = CompressionText(compression);
  return info;
}

// libtiff's raster holds 0xAABBGGRR; ours is 0xAARRGGBB.
std::uint32_t FromRaster(std::uint32_t v) {
  return (v & 0xFF00FF00u) | (v & 0xFFu) << 16 | (v >> 16 & 0xFFu);
}

}  // namespace

PictureInfo ProbeTiff(const std::filesystem::path& file) {
  TiffPtr tif = Open(file);
  return ReadInfo(tif.get());
}

Picture LoadTiff(const std::filesystem::path& file, PictureInfo* info) {
  TiffPtr tif = Open(file);
  PictureInfo header = ReadInfo(tif.get());
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif.get(), message)) vb::Raise(vb::kInvalidPicture);
  std::vector<std::uint32_t> px(std::size_t(header.width) * std::size_t(header.height));
  if (!TIFFReadRGBAImageOriented(tif.get(), uint32_t(header.width), uint32_t(header.height),
                                 px.data(), ORIENTATION_TOPLEFT, 1))
    vb::Raise(vb::kInvalidPicture);
  for (std::uint32_t& v : px) v = FromRaster(v);
  if (info) *info = header;
  return MakePicture(header.width, header.height, std::move(px));
}

}  // namespace imaging::detail
