#pragma once
// Camera-style pictures with an Exif orientation tag: the pixels stored for an upright picture of
// four coloured quadrants as a camera held sideways (or mirrored) stores them, the Exif segment
// that tells how to turn them, and a check of where each quadrant's colour ended up.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/imaging/Imaging.h"

namespace oriented {

// Upright quadrants: top-left, top-right, bottom-left, bottom-right.
constexpr std::uint32_t kCorners[4] = {0xFFD02020, 0xFF20B040, 0xFF2040D0, 0xFFE0E0E0};

// Exif 5 to 8 store the picture with its sides swapped.
inline bool Swaps(int orientation) {
  return orientation >= 5;
}

// The stored pixels of an upright w x h quadrant picture under `orientation` (1 to 8).
inline imaging::Picture Stored(int w, int h, int orientation,
                               const std::uint32_t (&colours)[4] = kCorners) {
  const int sw = Swaps(orientation) ? h : w, sh = Swaps(orientation) ? w : h;
  std::vector<std::uint32_t> px(static_cast<std::size_t>(sw) * sh);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int sx = x, sy = y;  // where the camera stored upright pixel (x, y)
      switch (orientation) {
        case 2:
          sx = sw - 1 - x;
          break;
        case 3:
          sx = sw - 1 - x, sy = sh - 1 - y;
          break;
        case 4:
          sy = sh - 1 - y;
          break;
        case 5:
          sx = y, sy = x;
          break;
        case 6:
          sx = y, sy = sh - 1 - x;
          break;
        case 7:
          sx = sw - 1 - y, sy = sh - 1 - x;
          break;
        case 8:
          sx = sw - 1 - y, sy = x;
          break;
        default:
          break;
      }
      px[static_cast<std::size_t>(sy) * sw + sx] = colours[(y >= h / 2) * 2 + (x >= w / 2)];
    }
  return imaging::Picture::FromPixels(sw, sh, std::move(px));
}

// The payload of an Exif APP1 segment (little-endian TIFF) holding the orientation tag and, when
// given, a JPEG thumbnail in IFD1.
inline std::vector<unsigned char> ExifPayload(int orientation,
                                              const std::vector<unsigned char>& thumb = {}) {
  std::vector<unsigned char> v = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
  auto put16 = [&v](unsigned x) {
    v.push_back(static_cast<unsigned char>(x & 0xFF));
    v.push_back(static_cast<unsigned char>(x >> 8 & 0xFF));
  };
  auto put32 = [&](std::uint32_t x) {
    put16(x & 0xFFFF);
    put16(x >> 16);
  };
  put16(1);  // IFD0: the orientation, a SHORT
  put16(0x0112), put16(3), put32(1), put16(static_cast<unsigned>(orientation)), put16(0);
  put32(thumb.empty() ? 0 : 26);
  if (!thumb.empty()) {  // IFD1 at 26, thumbnail at 56
    put16(2);
    put16(0x0201), put16(4), put32(1), put32(56);
    put16(0x0202), put16(4), put32(1), put32(static_cast<std::uint32_t>(thumb.size()));
    put32(0);
    v.insert(v.end(), thumb.begin(), thumb.end());
  }
  return v;
}

// A JPEG file's bytes with an APP1 segment inserted right after its start marker.
inline std::string WithApp1(const std::string& jpeg, const std::vector<unsigned char>& payload) {
  const std::size_t len = payload.size() + 2;
  std::string segment = {'\xFF', '\xE1', static_cast<char>(len >> 8),
                         static_cast<char>(len & 0xFF)};
  segment.append(payload.begin(), payload.end());
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// Index of the quadrant colour nearest to each quadrant's centre of `pic` ({0, 1, 2, 3} when
// upright); -1 where no colour is near.
inline std::vector<int> Quadrants(const imaging::Picture& pic,
                                  const std::uint32_t (&colours)[4] = kCorners) {
  std::vector<int> found;
  for (int q = 0; q < 4; ++q) {
    const std::uint32_t px = pic.Pixel(pic.Width() / 4 + (q % 2) * pic.Width() / 2,
                                       pic.Height() / 4 + (q / 2) * pic.Height() / 2);
    int best = -1;
    for (int c = 0; c < 4; ++c) {
      int d = 0;
      for (int s = 0; s < 24; s += 8)
        d = std::max(d, std::abs(static_cast<int>(px >> s & 0xFF) -
                                 static_cast<int>(colours[c] >> s & 0xFF)));
      if (d <= 24) best = c;
    }
    found.push_back(best);
  }
  return found;
}

inline const std::vector<int> kUpright = {0, 1, 2, 3};

}  // namespace oriented
