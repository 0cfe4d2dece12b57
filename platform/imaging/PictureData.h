#pragma once
// Internal: the storage behind imaging::Picture.

#include <cstdint>
#include <vector>

namespace imaging {

struct PictureData {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, width * height, top row first
};

}  // namespace imaging
