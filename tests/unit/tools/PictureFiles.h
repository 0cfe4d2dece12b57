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

// A real 2 x 2 TIFF: little-endian, RGB, 8 bits per sample, one uncompressed strip.
inline std::string TinyTiff() {
  std::string t("II*\0", 4);
  auto put = [&t](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) t += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(8, 4);  // the directory follows the header
  const std::uint16_t kEntries[9][4] = {{256, 3, 1, 2}, {257, 3, 1, 2}, {258, 3, 3, 122},
                                        {259, 3, 1, 1}, {262, 3, 1, 2}, {273, 4, 1, 128},
                                        {277, 3, 1, 3}, {278, 3, 1, 2}, {279, 4, 1, 12}};
  put(9, 2);
  for (const auto& e : kEntries) {
    put(e[0], 2), put(e[1], 2), put(e[2], 4), put(e[3], 4);
  }
  put(0, 4);                                     // no further directory; offset 122 now
  put(8, 2), put(8, 2), put(8, 2);               // bits per sample
  for (int i = 0; i < 4; ++i) put(0xE02020, 3);  // red pixels
  return t;
}

// Distinct bytes per name, so a test can tell which picture a file holds.
inline std::string PictureBytes(const std::string& name) {
  return "picture:" + name + std::string(64, 'x');
}
