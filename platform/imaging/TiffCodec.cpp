// TIFF through libtiff's RGBA interface: strips or tiles, every compression
// and photometric interpretation the library knows.  First page only.

#include <sys/stat.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
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

// libjpeg only warns when a strip's JPEG data ends before its rows do, and libtiff then goes on
// making grey rows: the decode notes it and stops.
int NoteJpegDataEnd(TIFF*, void* ended, const char* module, const char* fmt, va_list ap) {
  if (!ended || !module || std::strcmp(module, "JPEGLib") != 0) return 1;
  char text[256] = {};
  std::vsnprintf(text, sizeof text, fmt, ap);
  if (std::strstr(text, "Premature end of JPEG") || std::strstr(text, "premature end of data"))
    *static_cast<bool*>(ended) = true;
  return 1;
}

struct TiffCloser {
  void operator()(TIFF* t) const noexcept { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// Read rather than mapped by default, so that only the strips being decoded are in memory.
// libtiff 4.5 refuses uncompressed tiles read that way: those files are mapped.
// `dataEnded` (optional) is set when JPEG data ends early.
TiffPtr Open(const std::filesystem::path& file, bool mapped = false, bool* dataEnded = nullptr) {
  File probe = OpenForRead(file);  // VB numbers for missing or unreadable files
  probe.reset();
  TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
  if (!opts) vb::Raise(vb::kOutOfMemory);
  TIFFOpenOptionsSetMaxSingleMemAlloc(opts, kMaxSingleAlloc);
  TIFFOpenOptionsSetErrorHandlerExtR(opts, Quiet, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(opts, NoteJpegDataEnd, dataEnded);
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

uint64_t FileSize(TIFF* tif) {
  struct stat st {};
  if (::fstat(TIFFFileno(tif), &st) != 0) vb::Raise(vb::kDeviceIO);
  return uint64_t(st.st_size);
}

// Every strip or tile must lie inside the file, and uncompressed ones must hold all their
// pixels: a picture whose data is missing is refused before its pixels are allocated.
void CheckDataPresent(TIFF* tif, const PictureInfo& info) {
  const uint64_t fileSize = FileSize(tif);
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
// subsampled colour, which that conversion takes in blocks of rows, unless libjpeg turns it into
// RGB row by row (JPEG compression); nor for old-style JPEG.
bool ByScanline(TIFF* tif, uint32_t w) {
  uint32_t rows = 0;
  uint16_t planar = PLANARCONFIG_CONTIG, photometric = 0, compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  return !TIFFIsTiled(tif) && uint64_t(rows) * w > kBandPixels && planar == PLANARCONFIG_CONTIG &&
         (photometric != PHOTOMETRIC_YCBCR || compression == COMPRESSION_JPEG) &&
         compression != COMPRESSION_OJPEG;
}

// How the page is read (a row or a band of rows at a time) and what the decode holds besides
// its result.
struct Plan {
  bool byLine = false;
  uint32_t band = 1;
  std::size_t memory = 0;
};

Plan PlanFor(TIFF* tif, uint32_t w, uint32_t h) {
  Plan plan;
  plan.byLine = ByScanline(tif, w);
  if (plan.byLine) {  // the strip's compressed bytes, a row of samples and one of pixels
    plan.memory = std::size_t(TIFFGetStrileByteCount(tif, 0)) +
                  std::size_t(TIFFScanlineSize64(tif)) + std::size_t(w) * 4;
    return plan;
  }
  plan.band = BandRows(tif, w, h);
  // The band's pixels and the decoded strip or tile that fills it.
  const uint64_t unit = TIFFIsTiled(tif) ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
  plan.memory = std::size_t(plan.band) * w * 4 + std::size_t(unit);
  return plan;
}

// A decode's memory and time follow the file's bytes: it may hold 16 times the file (64 MB
// whatever the file), never more than a page's budget; it may take at most 64 rows per byte
// (each row costs a call through libtiff and the reducer however little it holds), and beyond
// 16 MP at most 256 pixels per byte (far beyond any photograph's compression; deflate reaches
// about 1000 on a black page).
constexpr std::size_t kMemoryFloor = std::size_t(64) << 20;
constexpr uint64_t kMemoryPerByte = 16, kRowsPerByte = 64;
constexpr uint64_t kPixelsFloor = 16'000'000, kTiffPixelsPerByte = 256;

Plan CheckedPlan(TIFF* tif, const PictureInfo& stored) {
  const uint64_t fileSize = FileSize(tif);
  const Plan plan = PlanFor(tif, uint32_t(stored.width), uint32_t(stored.height));
  const uint64_t limit = std::min<uint64_t>(
      kDecodeMemoryLimit, std::max<uint64_t>(kMemoryFloor, fileSize * kMemoryPerByte));
  const uint64_t pixels = uint64_t(stored.width) * uint64_t(stored.height);
  if (plan.memory > limit || uint64_t(stored.height) > fileSize * kRowsPerByte ||
      pixels > std::max(kPixelsFloor, fileSize * kTiffPixelsPerByte))
    vb::Raise(vb::kInvalidPicture);
  return plan;
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

// The first page as stored (not turned), a row or a band of whole strips or tile rows at a time,
// each decoded once: only the band is ever held, whatever the picture's size.
void ReadStored(TIFF* tif, const PictureInfo& stored, const Plan& plan, const bool& dataEnded,
                RowReducer& out) {
  const uint32_t w = uint32_t(stored.width), h = uint32_t(stored.height);
  RgbaImage rgba;
  char message[1024] = {};
  rgba.begun = TIFFRGBAImageBegin(&rgba.img, tif, 1, message) != 0;
  if (!rgba.begun) vb::Raise(vb::kInvalidPicture);
  rgba.img.orientation = rgba.img.req_orientation = ORIENTATION_TOPLEFT;
  const bool byLine = plan.byLine && rgba.img.isContig && rgba.img.put.contig;
  const uint32_t band = byLine ? 1 : plan.band;
  std::vector<std::uint32_t> raster(std::size_t(w) * band);
  if (byLine) {
    std::vector<unsigned char> line(std::size_t(TIFFScanlineSize64(tif)));
    for (uint32_t y = 0; y < h; ++y) {
      if (TIFFReadScanline(tif, line.data(), y, 0) < 0 || dataEnded) vb::Raise(vb::kInvalidPicture);
      rgba.img.put.contig(&rgba.img, raster.data(), 0, y, w, 1, 0, 0, line.data());
      PushRaster(raster.data(), w, out);
    }
    return;
  }
  for (uint32_t y = 0; y < h; y += band) {
    const uint32_t rows = std::min(band, h - y);
    rgba.img.row_offset = int(y);
    rgba.img.col_offset = 0;
    if (!TIFFRGBAImageGet(&rgba.img, raster.data(), w, rows) || dataEnded)
      vb::Raise(vb::kInvalidPicture);
    for (uint32_t r = 0; r < rows; ++r) PushRaster(raster.data() + std::size_t(r) * w, w, out);
  }
}

// The orientation tag, as the Exif one (which took its values from it); 1 when unknown.
int Orientation(TIFF* tif) {
  uint16_t orientation = ORIENTATION_TOPLEFT;
  TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
  return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

// The picture's size upright.
PictureInfo UprightInfo(PictureInfo info, int orientation) {
  if (SwapsSides(orientation)) std::swap(info.width, info.height);
  return info;
}

}  // namespace

PictureInfo ProbeTiff(const std::filesystem::path& file) {
  TiffPtr tif = Open(file);
  return UprightInfo(ReadInfo(tif.get()), Orientation(tif.get()));
}

// The page is decoded as stored and reduced, then turned upright, so the wanted size is worked
// out on the stored sides: a box of maxW x maxH turned with the picture.
Picture LoadTiff(const std::filesystem::path& file, int maxW, int maxH, PictureInfo* info) {
  bool dataEnded = false;
  TiffPtr tif = Open(file, false, &dataEnded);
  const PictureInfo stored = ReadInfo(tif.get());
  if (TIFFIsTiled(tif.get()) && stored.compressionText == "None")
    tif = Open(file, true, &dataEnded);
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif.get(), message)) vb::Raise(vb::kInvalidPicture);
  CheckDataPresent(tif.get(), stored);
  const Plan plan = CheckedPlan(tif.get(), stored);
  const int orientation = Orientation(tif.get());
  int w = stored.width, h = stored.height;
  if (maxW > 0) {
    if (SwapsSides(orientation)) std::swap(maxW, maxH);
    FitInside(stored.width, stored.height, maxW, maxH, w, h);
  }
  RowReducer out(stored.width, stored.height, w, h, FileSize(tif.get()) * kPixelsPerByte);
  ReadStored(tif.get(), stored, plan, dataEnded, out);
  if (info) *info = UprightInfo(stored, orientation);
  return Upright(out.Take(), orientation);
}

std::size_t TiffDecodeMemory(const std::filesystem::path& file) {
  TiffPtr tif = Open(file);
  const PictureInfo stored = ReadInfo(tif.get());
  return PlanFor(tif.get(), uint32_t(stored.width), uint32_t(stored.height)).memory;
}

}  // namespace imaging::detail
