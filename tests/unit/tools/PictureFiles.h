#pragma once
// Small picture files for the dialog tests: a real 2 x 2 Windows bitmap (it decodes), and the
// bytes of a picture file that only has to be copied.

#include <cstdint>
#include <string>

inline std::string TinyBitmap() {
  // BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits, rows padded to 4 bytes (2 pixels = 6 + 2).
  const std::uint8_t bytes[] = {
      'B',  'M',  70,  0,   0,    0,    0, 0, 0, 0, 54, 0, 0, 0,  // file header
      40,   0,    0,   0,   2,    0,    0, 0, 2, 0, 0,  0, 1, 0, 24, 0,
      0,    0,    0,   0,   16,   0,    0, 0,                            // info
      0x13, 0x0B, 0,   0,   0x13, 0x0B, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0,  //
      0,    0,    255, 0,   255,  0,    0, 0,                            // row 1
      255,  0,    0,   255, 255,  255,  0, 0};                           // row 0
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Distinct bytes per name, so a test can tell which picture a file holds.
inline std::string PictureBytes(const std::string& name) {
  return "picture:" + name + std::string(64, 'x');
}
