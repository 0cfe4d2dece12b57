#pragma once
// Internal: locates the JPEG thumbnail stored in an Exif APP1 segment.

#include <cstddef>

namespace imaging::detail {

struct ByteSpan {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

// `app1` is the segment's payload (starting with "Exif\0\0").  Returns an empty
// span when there is no well-formed thumbnail; every offset is bounds-checked.
ByteSpan FindExifThumbnail(const unsigned char* app1, std::size_t size);

}  // namespace imaging::detail
