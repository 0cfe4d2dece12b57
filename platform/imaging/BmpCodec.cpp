// Windows and OS/2 bitmaps: the header is read here (size check, information
// texts); the pixels are decoded by QtGui's BMP reader.

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <mutex>

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

// Uncompressed pixel data must be all there: Qt would show a partly grey picture.
void CheckComplete(const std::vector<unsigned char>& bytes, const PictureInfo& info) {
  if (info.compressionText != "None" && info.compressionText != "Bitfields" &&
      info.compressionText != "Alpha bitfields")
    return;
  unsigned long long stride =
      (static_cast<unsigned long long>(info.width) * info.bitsPerPixel + 31) / 32 * 4;
  unsigned long long need =
      U32(bytes.data() + 10) + stride * static_cast<unsigned long long>(info.height);
  if (need > bytes.size()) vb::Raise(vb::kInvalidPicture);
}

// Run-length data must reach its end-of-picture marker or the last row: a stream that stops
// early would leave the rest of the picture black.  A stream of n bytes fills at most n / 2 runs
// of 255 pixels, so a picture larger than that is refused before anything is allocated.
void CheckRunLengths(const std::vector<unsigned char>& bytes, const PictureInfo& info) {
  const bool rle4 = info.compressionText == "RLE4";
  if (!rle4 && info.compressionText != "RLE8") return;
  std::size_t pos = U32(bytes.data() + 10);
  if (pos >= bytes.size()) vb::Raise(vb::kInvalidPicture);
  const std::size_t end = bytes.size();
  const unsigned long long pixels = static_cast<unsigned long long>(info.width) * info.height;
  if (pixels > (end - pos) / 2 * 255ull) vb::Raise(vb::kInvalidPicture);
  long long row = 0, column = 0;
  while (end - pos >= 2 && row < info.height) {
    const unsigned count = bytes[pos], code = bytes[pos + 1];
    pos += 2;
    if (count > 0) {
      column += count;
    } else if (code == 0) {
      ++row, column = 0;
    } else if (code == 1) {
      return;  // end of the picture
    } else if (code == 2) {
      if (end - pos < 2) break;
      column += bytes[pos], row += bytes[pos + 1];
      pos += 2;
    } else {
      const std::size_t literal = rle4 ? (code + 1) / 2 : code;
      pos += literal + (literal & 1);  // padded to a whole word
      if (pos > end) break;
      column += code;
    }
  }
  if (row < info.height - 1 || (row == info.height - 1 && column < info.width))
    vb::Raise(vb::kInvalidPicture);
}

}  // namespace

PictureInfo ProbeBmp(std::FILE* f) {
  unsigned char head[kFileHeader + 40] = {};
  std::size_t n = std::fread(head, 1, sizeof head, f);
  return ParseHeader(head, n);
}

Picture LoadBmp(std::FILE* f, PictureInfo* info) {
  // Largest plausible file: 64 bits per pixel uncompressed plus palette and headers.
  std::vector<unsigned char> bytes = ReadAll(f, MaxPixels() * 8 + (1u << 20));
  PictureInfo header = ParseHeader(bytes.data(), bytes.size());
  CheckComplete(bytes, header);
  CheckRunLengths(bytes, header);
  RaiseQtAllocationLimit();
  QByteArray data =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "bmp");
  QImage image = reader.read();
  if (image.isNull() || image.width() != header.width || image.height() != header.height)
    vb::Raise(vb::kInvalidPicture);
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) vb::Raise(vb::kOutOfMemory);
  std::vector<std::uint32_t> px(std::size_t(header.width) * std::size_t(header.height));
  for (int y = 0; y < header.height; ++y)
    std::memcpy(px.data() + std::size_t(y) * header.width, image.constScanLine(y),
                std::size_t(header.width) * 4);
  if (info) *info = header;
  return MakePicture(header.width, header.height, std::move(px));
}

}  // namespace imaging::detail
