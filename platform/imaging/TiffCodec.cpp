// TIFF through libtiff's RGBA interface: strips or tiles, every compression
// and photometric interpretation the library knows.  First page only.

#include <sys/stat.h>
#include <tiffio.h>

#include <algorithm>
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

// Read rather than mapped by default, so that only the strips being decoded are in memory.
// libtiff 4.5 refuses uncompressed tiles read that way: those files are mapped.
TiffPtr Open(const std::filesystem::path& file, bool mapped = false) {
  File probe = OpenForRead(file);  // VB numbers for missing or unreadable files
  probe.reset();
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (!opts) vb::Raise(vb::kOutOfMemory);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, kMaxSingleAlloc);
  TIFFOpenOptionsSetErrorHandlerExtR(opts, Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, Quiet, nullptr);
  TIFF* tif = TIFFOpenExt(file.c_str(), mapped ? "r" : "rm", opts);
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
                                   : uint64_t(TIFFVStripSize64(tif, uint32_t(info.height))) *
                                         (planar == PLANARCONFIG_SEPARATE ? samples : 1u);
  if (total < need) vb::Raise(vb::kInvalidPicture);
}

// Rows decoded at once: whole strips or rows of tiles, about kBandPixels of them.
constexpr uint32_t kBandPixels = 1u << 20;

uint32_t BandRows(TIFF* tif, uint32_t w, uint32_t h) {
  uint32_t unit = 0;
  if (TIFFIsTiled(tif)) {
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &unit);
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &unit);
  }
  if (unit == 0 || unit > h) unit = h;
  const uint32_t units = std::max<uint32_t>(1, kBandPixels / w / unit);
  return uint32_t(std::min<uint64_t>(uint64_t(unit) * units, h));
}

// Strips larger than a band are read a row at a time through libtiff's scanline interface, each
// row turned into pixels by the conversion the RGBA interface chose for the file.  Not for
// subsampled colour, which that conversion takes in blocks of rows.
bool ByScanline(TIFF* tif, uint32_t w) {
  uint32_t rows = 0;
  uint16_t planar = PLANARCONFIG_CONTIG, photometric = 0, compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  return !TIFFIsTiled(tif) && uint64_t(rows) * w > kBandPixels && planar == PLANARCONFIG_CONTIG &&
         photometric != PHOTOMETRIC_YCBCR && compression != COMPRESSION_JPEG &&
         compression != COMPRESSION_OJPEG;
}

struct RgbaImage {
  TIFFRGBAImage img{};
  bool begun = false;
  ~RgbaImage() {
    if (begun) TIFFRGBAImageEnd(&img);
  }
};

void PushRaster(std::uint32_t* row, uint32_t w, RowReducer& out) {
  for (uint32_t x = 0; x < w; ++x) row[x] = FromRaster(row[x]);
  out.Push(row);
}

// The first page a band of whole strips or tile rows at a time, each decoded once: only the
// band is ever held, whatever the picture's size.
void ReadBands(TIFF* tif, const PictureInfo& header, RowReducer& out) {
  const uint32_t w = uint32_t(header.width), h = uint32_t(header.height);
  RgbaImage rgba;
  char message[1024] = {};
  rgba.begun = TIFFRGBAImageBegin(&rgba.img, tif, 1, message) != 0;
  if (!rgba.begun) vb::Raise(vb::kInvalidPicture);
  rgba.img.req_orientation = ORIENTATION_TOPLEFT;
  const bool byLine = ByScanline(tif, w) && rgba.img.isContig && rgba.img.put.contig;
  const uint32_t band = byLine ? 1 : BandRows(tif, w, h);
  std::vector<std::uint32_t> raster(std::size_t(w) * band);
  if (byLine) {
    std::vector<unsigned char> line(std::size_t(TIFFScanlineSize64(tif)));
    for (uint32_t y = 0; y < h; ++y) {
      if (TIFFReadScanline(tif, line.data(), y, 0) < 0) vb::Raise(vb::kInvalidPicture);
      rgba.img.put.contig(&rgba.img, raster.data(), 0, y, w, 1, 0, 0, line.data());
      PushRaster(raster.data(), w, out);
    }
    return;
  }
  for (uint32_t y = 0; y < h; y += band) {
    const uint32_t rows = std::min(band, h - y);
    rgba.img.row_offset = int(y);
    rgba.img.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba.img, raster.data(), w, rows)) vb::Raise(vb::kInvalidPicture);
    for (uint32_t r = 0; r < rows; ++r) PushRaster(raster.data() + std::size_t(r) * w, w, out);
  }
}

// A page stored turned or mirrored is decoded whole and turned upright by libtiff.
void ReadTurned(TIFF* tif, const PictureInfo& header, RowReducer& out) {
  std::vector<std::uint32_t> px(std::size_t(header.width) * std::size_t(header.height));
  if (!TIFFReadRGBAImageOriented(tif, uint32_t(header.width), uint32_t(header.height), px.data(),
                                 ORIENTATION_TOPLEFT, 1))
    vb::Raise(vb::kInvalidPicture);
  for (std::uint32_t& v : px) v = FromRaster(v);
  for (int y = 0; y < header.height; ++y) out.Push(px.data() + std::size_t(y) * header.width);
}

}  // namespace

PictureInfo ProbeTiff(const std::filesystem::path& file) {
  TiffPtr tif = Open(file);
  return ReadInfo(tif.get());
}

Picture LoadTiff(const std::filesystem::path& file, int maxW, int maxH, PictureInfo* info) {
  TiffPtr tif = Open(file);
  PictureInfo header = ReadInfo(tif.get());
  if (TIFFIsTiled(tif.get()) && header.compressionText == "None") tif = Open(file, true);
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif.get(), message)) vb::Raise(vb::kInvalidPicture);
  CheckDataPresent(tif.get(), header);
  int w = header.width, h = header.height;
  if (maxW > 0) FitInside(header.width, header.height, maxW, maxH, w, h);
  RowReducer out(header.width, header.height, w, h);
  uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
  if (orientation == ORIENTATION_TOPLEFT) {
    ReadBands(tif.get(), header, out);
  } else {
    ReadTurned(tif.get(), header, out);
  }
  if (info) *info = header;
  return out.Take();
}

std::size_t TiffDecodeMemory(const std::filesystem::path& file) {
  TiffPtr tif = Open(file);
  const PictureInfo header = ReadInfo(tif.get());
  uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
  const std::size_t pixels = std::size_t(header.width) * std::size_t(header.height);
  if (orientation != ORIENTATION_TOPLEFT) return pixels * 4;
  if (ByScanline(tif.get(), uint32_t(header.width)))  // a strip's compressed bytes, a row
    return std::size_t(TIFFGetStrileByteCount(tif.get(), 0)) + std::size_t(header.width) * 16;
  const uint32_t band = BandRows(tif.get(), uint32_t(header.width), uint32_t(header.height));
  // The band's pixels and the decoded strips or tiles that fill it.
  return std::size_t(band) * std::size_t(header.width) * 8;
}

}  // namespace imaging::detail
