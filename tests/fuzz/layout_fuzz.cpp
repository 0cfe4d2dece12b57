// Loads arbitrary bytes as a window layout into the main window and into the sample window
// (one control of every kind): each either takes it or raises a layout error.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "photo_pages/frmMain.h"
#include "platform/forms/HeadlessApp.h"
#include "platform/forms/Layout.h"
#include "tests/support/SampleForm.h"

namespace {

template <class Window>
void Load(const std::string& text) {
  Window window;
  std::istringstream in(text);
  try {
    forms::LoadLayout(window, in, "fuzz.layout");
  } catch (const forms::LayoutError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static forms::HeadlessApp app;
  const std::string text(reinterpret_cast<const char*>(data), size);
  Load<photo_pages::frmMain>(text);
  Load<SampleForm>(text);
  return 0;
}
