// Reads arbitrary bytes as the reference data file "velmod.dat" during a report refresh: the
// lines are filtered for the report's form and their addresses read from KEP.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/MainWindowHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::MainWindowHarness& h = fuzz::Harness();
  h.Write("C:\\Velmora\\velmod.dat", std::string(reinterpret_cast<const char*>(data), size));
  h.Refresh();
  return 0;
}
