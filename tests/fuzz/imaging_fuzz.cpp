// Feeds arbitrary bytes to every picture decoder entry: header probe, reduced
// load (DCT scaling, Exif thumbnail) and full load, whatever size the header claims (a decode's
// memory and time follow the input's bytes).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/imaging/Imaging.h"
#include "platform/vbrt/VbError.h"

namespace {

const std::filesystem::path& FuzzFile() {
  static const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                            ("imaging_fuzz_" + std::to_string(::getpid()) + ".pic");
  return file;
}

template <class F>
void Try(F&& f) {
  try {
    f();
  } catch (const vb::VbError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(FuzzFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  Try([&] { imaging::Probe(FuzzFile()); });
  Try([&] {
    imaging::PictureInfo info;
    imaging::Picture thumb = imaging::LoadReduced(FuzzFile(), 80, 60, &info);
    if (thumb.Width() > 80 || thumb.Height() > 60) __builtin_trap();
  });
  Try([&] {
    imaging::Picture pic = imaging::Load(FuzzFile());
    if (!pic.IsNull()) imaging::AdjustBrightness(imaging::Crop(pic, 1, 1, 7, 5), 30);
  });
  return 0;
}
