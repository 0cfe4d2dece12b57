// Feeds arbitrary bytes to the DDE frame decoder: it must never crash, never
// read past its input, and every frame it accepts must encode back to the bytes
// it consumed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/dde/Frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  // Small limit so the "too large" path is reachable as well.
  const std::size_t limit = size > 0 && (data[0] & 1) ? 64 : dde::kDefaultMaxFrameSize;
  while (!in.empty()) {
    dde::Frame frame;
    std::size_t used = 0;
    if (dde::Decode(in, limit, &frame, &used) != dde::DecodeStatus::kOk) break;
    if (used == 0 || used > in.size() || dde::Encode(frame) != in.substr(0, used)) std::abort();
    in.remove_prefix(used);
  }
  return 0;
}
