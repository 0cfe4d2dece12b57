#pragma once
// Internal: reads the orientation and locates the JPEG thumbnail of an Exif APP1 segment.

#include <cstddef>

namespace imaging::detail {

struct ByteSpan {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

// `app1` is the segment's payload (starting with "Exif\0\0").  Returns an empty
// span when there is no well-formed thumbnail; every offset is bounds-checked.
ByteSpan FindExifThumbnail(const unsigned char* app1, std::size_t size);

// The orientation tag of IFD0, 1 to 8; 1 when there is none or it is out of range.
int ExifOrientation(const unsigned char* app1, std::size_t size);

}  // namespace imaging::detail
