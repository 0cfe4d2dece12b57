// A deliberately small Exif reader: it reads IFD0's orientation tag, follows
// IFD0's link to IFD1 and reads the two tags giving the offset and length of
// the embedded JPEG thumbnail.

#include "platform/imaging/Exif.h"

#include <cstdint>
#include <cstring>

namespace imaging::detail {

namespace {

constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagThumbOffset = 0x0201;  // JPEGInterchangeFormat
constexpr std::uint16_t kTagThumbLength = 0x0202;  // JPEGInterchangeFormatLength
constexpr std::size_t kEntrySize = 12;

class TiffReader {
 public:
  TiffReader(const unsigned char* p, std::size_t n) : p_(p), n_(n) {}

  bool Init() {
    if (n_ < 8) return false;
    if (p_[0] == 'I' && p_[1] == 'I') {
      little_ = true;
    } else if (p_[0] == 'M' && p_[1] == 'M') {
      little_ = false;
    } else {
      return false;
    }
    std::uint16_t magic = 0;
    return U16(2, magic) && magic == 42;
  }

  bool U16(std::size_t at, std::uint16_t& v) const {
    if (at > n_ || n_ - at < 2) return false;
    v = little_ ? std::uint16_t(p_[at] | p_[at + 1] << 8) : std::uint16_t(p_[at] << 8 | p_[at + 1]);
    return true;
  }

  bool U32(std::size_t at, std::uint32_t& v) const {
    if (at > n_ || n_ - at < 4) return false;
    const unsigned char* q = p_ + at;
    v = little_ ? std::uint32_t(q[0]) | std::uint32_t(q[1]) << 8 | std::uint32_t(q[2]) << 16 |
                      std::uint32_t(q[3]) << 24
                : std::uint32_t(q[3]) | std::uint32_t(q[2]) << 8 | std::uint32_t(q[1]) << 16 |
                      std::uint32_t(q[0]) << 24;
    return true;
  }

  // Offset of the IFD that follows the one at `ifd`, 0 when none.
  bool NextIfd(std::size_t ifd, std::uint32_t& next) const {
    std::uint16_t count = 0;
    if (!U16(ifd, count)) return false;
    return U32(ifd + 2 + std::size_t(count) * kEntrySize, next);
  }

  // Reads a SHORT or LONG tag value of the IFD at `ifd`.
  bool Tag(std::size_t ifd, std::uint16_t tag, std::uint32_t& value) const {
    std::uint16_t count = 0;
    if (!U16(ifd, count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t e = ifd + 2 + i * kEntrySize;
      std::uint16_t t = 0, type = 0;
      if (!U16(e, t) || !U16(e + 2, type)) return false;
      if (t != tag) continue;
      if (type == 3) {
        std::uint16_t v = 0;
        if (!U16(e + 8, v)) return false;
        value = v;
        return true;
      }
      return type == 4 && U32(e + 8, value);
    }
    return false;
  }

  const unsigned char* Data() const { return p_; }
  std::size_t Size() const { return n_; }

 private:
  const unsigned char* p_;
  std::size_t n_;
  bool little_ = true;
};

}  // namespace

namespace {

constexpr unsigned char kExif[6] = {'E', 'x', 'i', 'f', 0, 0};

// The TIFF structure of an Exif segment and the offset of its IFD0; false when malformed.
bool OpenExif(const unsigned char* app1, std::size_t size, TiffReader& tiff, std::uint32_t& ifd0) {
  if (!app1 || size < sizeof kExif || std::memcmp(app1, kExif, sizeof kExif) != 0) return false;
  tiff = TiffReader(app1 + sizeof kExif, size - sizeof kExif);
  return tiff.Init() && tiff.U32(4, ifd0) && ifd0 >= 8;
}

}  // namespace

int ExifOrientation(const unsigned char* app1, std::size_t size) {
  TiffReader tiff(nullptr, 0);
  std::uint32_t ifd0 = 0, value = 0;
  if (!OpenExif(app1, size, tiff, ifd0) || !tiff.Tag(ifd0, kTagOrientation, value)) return 1;
  return value >= 1 && value <= 8 ? int(value) : 1;
}

ByteSpan FindExifThumbnail(const unsigned char* app1, std::size_t size) {
  TiffReader tiff(nullptr, 0);
  std::uint32_t ifd0 = 0, ifd1 = 0, offset = 0, length = 0;
  if (!OpenExif(app1, size, tiff, ifd0)) return {};
  if (!tiff.NextIfd(ifd0, ifd1) || ifd1 < 8 || ifd1 == ifd0) return {};
  if (!tiff.Tag(ifd1, kTagThumbOffset, offset) || !tiff.Tag(ifd1, kTagThumbLength, length))
    return {};
  if (offset == 0 || length < 4 || offset > tiff.Size() || tiff.Size() - offset < length) return {};
  const unsigned char* thumb = tiff.Data() + offset;
  if (thumb[0] != 0xFF || thumb[1] != 0xD8) return {};
  return {thumb, length};
}

}  // namespace imaging::detail
