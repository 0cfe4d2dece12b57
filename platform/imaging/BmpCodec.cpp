// Windows and OS/2 bitmaps: the header is read here (size check, information
// texts); the pixels are decoded by QtGui's BMP reader.

#include <sys/stat.h>
#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/imaging/Detail.h"
#include "platform/vbrt/VbError.h"

namespace imaging::detail {

namespace {

constexpr std::size_t kFileHeader = 14;

std::uint32_t U32(const unsigned char* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
std::uint16_t U16(const unsigned char* p) {
  return std::uint16_t(p[0] | p[1] << 8);
}
void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void Put16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v), p[1] = static_cast<unsigned char>(v >> 8);
}

const char* CompressionText(std::uint32_t compression) {
  switch (compression) {
    case 0:
      return "None";
    case 1:
      return "RLE8";
    case 2:
      return "RLE4";
    case 3:
      return "Bitfields";
    case 4:
      return "JPEG";
    case 5:
      return "PNG";
    case 6:
      return "Alpha bitfields";
    default:
      return "Unknown";
  }
}

PictureInfo ParseHeader(const unsigned char* p, std::size_t n) {
  if (n < kFileHeader + 12) vb::Raise(vb::kInvalidPicture);
  const unsigned char* dib = p + kFileHeader;
  std::uint32_t dibSize = U32(dib);
  PictureInfo info;
  info.format = "BMP";
  long long w = 0, h = 0;
  std::uint32_t compression = 0;
  if (dibSize == 12) {  // OS/2 1.x core header
    w = U16(dib + 4);
    h = U16(dib + 6);
    info.bitsPerPixel = U16(dib + 10);
    info.formatText = "OS/2 Bitmap";
  } else if (dibSize >= 16 && n >= kFileHeader + 20) {
    w = static_cast<std::int32_t>(U32(dib + 4));
    h = static_cast<std::int32_t>(U32(dib + 8));
    info.bitsPerPixel = U16(dib + 14);
    if (dibSize >= 20 && n >= kFileHeader + 20) compression = U32(dib + 16);
    info.formatText = dibSize == 64 || dibSize == 16 ? "OS/2 Bitmap" : "Windows Bitmap";
  } else {
    vb::Raise(vb::kInvalidPicture);
  }
  if (h < 0) h = -h;  // top-down rows
  CheckDimensions(w, h);
  info.width = int(w);
  info.height = int(h);
  info.compressionText = CompressionText(compression);
  return info;
}

// Qt refuses images above its own allocation limit; ours (MaxPixels) governs.
void RaiseQtAllocationLimit() {
  static std::once_flag once;
  std::call_once(once, [] {
    int needMb = int(MaxPixels() * 4 / (1024 * 1024)) + 64;
    if (QImageReader::allocationLimit() > 0 && QImageReader::allocationLimit() < needMb)
      QImageReader::setAllocationLimit(needMb);
  });
}

bool Uncompressed(const PictureInfo& info) {
  return info.compressionText == "None" || info.compressionText == "Bitfields" ||
         info.compressionText == "Alpha bitfields";
}

unsigned long long Stride(const PictureInfo& info) {
  return (static_cast<unsigned long long>(info.width) * info.bitsPerPixel + 31) / 32 * 4;
}

// Uncompressed pixel data must be all there: Qt would show a partly grey picture.
void CheckComplete(const unsigned char* head, std::size_t fileSize, const PictureInfo& info) {
  if (!Uncompressed(info)) return;
  unsigned long long need =
      U32(head + 10) + Stride(info) * static_cast<unsigned long long>(info.height);
  if (need > fileSize) vb::Raise(vb::kInvalidPicture);
}

// Run-length data must fill every row with pixels, in order, down to the last one: a stream that
// stops early, ends the picture before its last row, or passes over rows without a pixel (a copy
// cut short leaves zeros, end-of-line codes only) would leave the rest of the picture flat.  A
// stream of n bytes fills at most n / 2 runs of 255 pixels, so a picture larger than that is
// refused before anything is allocated.
void CheckRunLengths(const std::vector<unsigned char>& bytes, const PictureInfo& info) {
  const bool rle4 = info.compressionText == "RLE4";
  if (!rle4 && info.compressionText != "RLE8") return;
  std::size_t pos = U32(bytes.data() + 10);
  if (pos >= bytes.size()) vb::Raise(vb::kInvalidPicture);
  const std::size_t end = bytes.size();
  const unsigned long long pixels = static_cast<unsigned long long>(info.width) * info.height;
  if (pixels > (end - pos) / 2 * 255ull) vb::Raise(vb::kInvalidPicture);
  long long row = 0, column = 0;
  bool filled = false;  // the current row has pixels
  auto nextRows = [&](long long rows) {
    if (rows > 0 && (!filled || rows > 1)) vb::Raise(vb::kInvalidPicture);
    if (rows > 0) filled = false;
    row += rows;
  };
  while (end - pos >= 2 && row < info.height) {
    const unsigned count = bytes[pos], code = bytes[pos + 1];
    pos += 2;
    if (count > 0) {
      column += count, filled = true;
    } else if (code == 0) {
      nextRows(1), column = 0;
    } else if (code == 1) {
      if (row < info.height - 1 || (row == info.height - 1 && !filled))
        vb::Raise(vb::kInvalidPicture);
      return;  // end of the picture
    } else if (code == 2) {
      if (end - pos < 2) break;
      column += bytes[pos];
      nextRows(bytes[pos + 1]);
      pos += 2;
    } else {
      const std::size_t literal = rle4 ? (code + 1) / 2 : code;
      pos += literal + (literal & 1);  // padded to a whole word
      if (pos > end) break;
      column += code, filled = true;
    }
  }
  if (row < info.height - 1 || (row == info.height - 1 && column < info.width))
    vb::Raise(vb::kInvalidPicture);
}

constexpr std::uint32_t kMaxHeaders = 1u << 16;  // headers, masks and palette
constexpr int kBandPixels = 1 << 20;             // pixels decoded at once, row by row

// Qt's reading of a whole BMP file in memory, as 32-bit pixels; 481 unless it is w x h.
QImage DecodeWithQt(const unsigned char* bytes, std::size_t size, int w, int h) {
  RaiseQtAllocationLimit();
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  QImage image = reader.read();
  if (image.isNull() || image.width() != w || image.height() != h) vb::Raise(vb::kInvalidPicture);
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) vb::Raise(vb::kOutOfMemory);
  return image;
}

// Uncompressed pictures shown reduced are decoded a band of rows at a time.
bool Banded(const PictureInfo& header, const unsigned char* head, int w) {
  return w < header.width && Uncompressed(header) && U32(head + 10) <= kMaxHeaders;
}

void PushRows(const QImage& image, RowReducer& out) {
  for (int y = 0; y < image.height(); ++y)
    out.Push(reinterpret_cast<const std::uint32_t*>(image.constScanLine(y)));
}

std::size_t FileSize(std::FILE* f) {
  struct stat st {};
  if (::fstat(::fileno(f), &st) != 0) vb::Raise(vb::kDeviceIO);
  return std::size_t(st.st_size);
}

// What Qt takes to decode the whole picture: its own image at the stored depth and our copy.
std::size_t WholeDecodeMemory(const PictureInfo& info) {
  const std::size_t pixels = std::size_t(info.width) * std::size_t(info.height);
  return std::size_t(Stride(info)) * std::size_t(info.height) + pixels * 4;
}

// The whole file, checked to fill the picture; refused when Qt's decode of it alone would take more
// than a page's budget of memory.
std::vector<unsigned char> ReadChecked(std::FILE* f, const PictureInfo& header) {
  // Largest plausible file: 64 bits per pixel uncompressed plus palette and headers.
  std::vector<unsigned char> bytes = ReadAll(f, MaxPixels() * 8 + (1u << 20));
  if (bytes.size() < kFileHeader + 12) vb::Raise(vb::kInvalidPicture);  // changed meanwhile
  CheckComplete(bytes.data(), bytes.size(), header);
  CheckRunLengths(bytes, header);
  if (WholeDecodeMemory(header) > kDecodeMemoryLimit) vb::Raise(vb::kInvalidPicture);
  return bytes;
}

// Uncompressed rows a band at a time: each band is given to Qt as a small BMP of its own (the
// file's headers and palette with the band's height), so only the band is ever held.
void ReadBands(std::FILE* f, const PictureInfo& header, RowReducer& out) {
  std::vector<unsigned char> band(kFileHeader + 12);  // offset, header size and height
  std::rewind(f);
  if (std::fread(band.data(), 1, band.size(), f) != band.size()) vb::Raise(vb::kInvalidPicture);
  const std::uint32_t offset = U32(band.data() + 10), dibSize = U32(band.data() + kFileHeader);
  if (offset < kFileHeader + dibSize) vb::Raise(vb::kInvalidPicture);
  const bool topDown = dibSize != 12 && static_cast<std::int32_t>(U32(band.data() + 22)) < 0;
  const std::size_t stride = Stride(header);
  const int rowsPerBand = std::max(1, kBandPixels / header.width);
  band.resize(offset + stride * std::size_t(rowsPerBand));
  std::rewind(f);
  if (std::fread(band.data(), 1, offset, f) != offset) vb::Raise(vb::kInvalidPicture);
  for (int y = 0; y < header.height; y += rowsPerBand) {
    const int rows = std::min(rowsPerBand, header.height - y);
    const long long first = topDown ? y : header.height - y - rows;  // in the file's order
    const std::size_t size = offset + stride * std::size_t(rows);
    if (::fseeko(f, off_t(offset + std::uint64_t(first) * stride), SEEK_SET) != 0 ||
        std::fread(band.data() + offset, 1, size - offset, f) != size - offset)
      vb::Raise(vb::kInvalidPicture);
    Put32(band.data() + 2, std::uint32_t(size));
    if (dibSize == 12) {
      Put16(band.data() + kFileHeader + 6, std::uint16_t(rows));
    } else {
      Put32(band.data() + kFileHeader + 8, std::uint32_t(topDown ? -rows : rows));
      if (dibSize >= 24) Put32(band.data() + kFileHeader + 20, std::uint32_t(size - offset));
    }
    PushRows(DecodeWithQt(band.data(), size, header.width, rows), out);
  }
}

}  // namespace

PictureInfo ProbeBmp(std::FILE* f) {
  unsigned char head[kFileHeader + 40] = {};
  std::size_t n = std::fread(head, 1, sizeof head, f);
  return ParseHeader(head, n);
}

// Every check that needs no pixels comes before the reducer allocates the result.
Picture LoadBmp(std::FILE* f, int maxW, int maxH, PictureInfo* info) {
  unsigned char head[kFileHeader + 40] = {};
  const PictureInfo header = ParseHeader(head, std::fread(head, 1, sizeof head, f));
  int w = header.width, h = header.height;
  if (maxW > 0) FitInside(header.width, header.height, maxW, maxH, w, h);
  if (Banded(header, head, w)) {
    CheckComplete(head, FileSize(f), header);
    RowReducer out(header.width, header.height, w, h);
    ReadBands(f, header, out);
    if (info) *info = header;
    return out.Take();
  }
  const std::vector<unsigned char> bytes = ReadChecked(f, header);
  RowReducer out(header.width, header.height, w, h);
  PushRows(DecodeWithQt(bytes.data(), bytes.size(), header.width, header.height), out);
  if (info) *info = header;
  return out.Take();
}

std::size_t BmpDecodeMemory(std::FILE* f, int maxW, int maxH) {
  unsigned char head[kFileHeader + 40] = {};
  const PictureInfo header = ParseHeader(head, std::fread(head, 1, sizeof head, f));
  int w = 0, h = 0;
  FitInside(header.width, header.height, maxW, maxH, w, h);
  if (Banded(header, head, w))
    return std::size_t(kBandPixels) * 16;  // the band's bytes, Qt's picture of it and its copy
  return FileSize(f) + WholeDecodeMemory(header);
}

}  // namespace imaging::detail
