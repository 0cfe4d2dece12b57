// Takes arbitrary bytes as KEP's "IMAGES" reply during a report refresh: every slot family looks
// its photo objects up in it and shows the pictures it names.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/MainWindowHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::MainWindowHarness& h = fuzz::Harness();
  h.Kep().SetImages(std::string(reinterpret_cast<const char*>(data), size));
  h.Refresh();
  return 0;
}
