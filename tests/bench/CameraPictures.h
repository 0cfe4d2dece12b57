#pragma once
// Camera-size pictures for the benchmarks that drive the real windows: 4000 x 3000 JPEGs with a
// 160 x 120 Exif thumbnail, each with content of its own, made once in a pool folder and kept
// (exiftool embeds the thumbnails).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/imaging/Imaging.h"

namespace bench {

inline std::string CameraName(int n) {
  char name[32];
  std::snprintf(name, sizeof name, "IMG_%05d.JPG", n);
  return name;
}

// Content of picture n at (x, y) of a w x h frame: soft gradients and bands of its own.
inline std::uint32_t Pixel(int n, int x, int y, int w, int h) {
  const unsigned r = static_cast<unsigned>((x * 255 / w + n * 37) % 256);
  const unsigned g = static_cast<unsigned>((y * 255 / h + n * 53) % 256);
  const unsigned b = static_cast<unsigned>(((x + y) * 64 / w + n * 11) % 256);
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

inline imaging::Picture Frame(int n, int w, int h) {
  std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[static_cast<std::size_t>(y) * w + x] = Pixel(n, x, y, w, h);
  return imaging::Picture::FromPixels(w, h, std::move(px));
}

// Pictures 0 to count - 1 (CameraName) in `pool`, unless a complete pool is there already.
inline void MakeCameraPictures(const std::filesystem::path& pool, int count) {
  namespace fs = std::filesystem;
  if (fs::exists(pool / ".complete")) return;
  fs::remove_all(pool);
  fs::create_directories(pool / "thumbs");
  std::ofstream args(pool / "exiftool.args");
  for (int n = 0; n < count; ++n) {
    imaging::SaveJpeg(Frame(n, 4000, 3000), pool / CameraName(n), 90);
    const fs::path thumb = pool / "thumbs" / CameraName(n);
    imaging::SaveJpeg(Frame(n, 160, 120), thumb, 85);
    args << "-overwrite_original\n-ThumbnailImage<=" << thumb.string() << "\n"
         << (pool / CameraName(n)).string() << "\n-execute\n";
  }
  args.close();
  const std::string cmd = "exiftool -q -@ '" + (pool / "exiftool.args").string() + "' >/dev/null";
  if (std::system(cmd.c_str()) != 0) std::_Exit(1);
  std::ofstream(pool / ".complete") << "ok";
}

}  // namespace bench
