// TIFF through libtiff's RGBA interface: strips or tiles, every compression
// and photometric interpretation the library knows.  First page only.

#include <sys/stat.h>
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

// Every strip or tile must lie inside the file, and uncompressed ones must hold all their
// pixels: a picture whose data is missing is refused before its pixels are allocated.
void CheckDataPresent(TIFF* tif, const PictureInfo& info) {
  struct stat st {};
  if (::fstat(TIFFFileno(tif), &st) != 0) vb::Raise(vb::kDeviceIO);
  const uint64_t fileSize = uint64_t(st.st_size);
  const uint32_t count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  if (count == 0) vb::Raise(vb::kInvalidPicture);
  uint64_t total = 0;
  for (uint32_t i = 0; i < count; ++i) {
    int err = 0;
    const uint64_t offset = TIFFGetStrileOffsetWithErr(tif, i, &err);
    const uint64_t bytes = TIFFGetStrileByteCountWithErr(tif, i, &err);
    if (err || bytes == 0 || offset > fileSize || fileSize - offset < bytes)
      vb::Raise(vb::kInvalidPicture);
    total += bytes;
  }
  uint16_t compression = COMPRESSION_NONE, planar = PLANARCONFIG_CONTIG, samples = 1;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  if (compression != COMPRESSION_NONE) return;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  uint64_t need = TIFFIsTiled(tif) ? uint64_t(TIFFTileSize64(tif)) * count
                                   : uint64_t(TIFFScanlineSize64(tif)) * uint64_t(info.height) *
                                         (planar == PLANARCONFIG_SEPARATE ? samples : 1u);
  if (total < need) vb::Raise(vb::kInvalidPicture);
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
  CheckDataPresent(tif.get(), header);
  std::vector<std::uint32_t> px(std::size_t(header.width) * std::size_t(header.height));
  if (!TIFFReadRGBAImageOriented(tif.get(), uint32_t(header.width), uint32_t(header.height),
                                 px.data(), ORIENTATION_TOPLEFT, 1))
    vb::Raise(vb::kInvalidPicture);
  for (std::uint32_t& v : px) v = FromRaster(v);
  if (info) *info = header;
  return MakePicture(header.width, header.height, std::move(px));
}

}  // namespace imaging::detail
