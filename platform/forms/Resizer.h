#pragma once
// The window resizer a form may carry: it lays the window's controls out again in proportion
// when the window is resized, keeps a minimum size, and can keep the window's state, size and
// position between runs.  The model holds the settings the form's code sets and reads; the
// renderer binds the callbacks when it shows the window and raises Resized after each re-layout.

#include <functional>

namespace forms {

struct FormResizer {
  bool storeState = true;         // keep the window state between runs
  bool storeSizePosition = true;  // keep the size and position between runs
  int minWidth = 0;               // twips; 0 = no minimum
  int minHeight = 0;

  // Bound by the renderer.
  std::function<int()> width;      // the width the resizer reports (twips)
  std::function<int()> height;     // the height it reports (twips)
  std::function<void()> relayout;  // lays the window out again

  // Raised by the renderer after each re-layout.
  std::function<void()> Resized;

  int ReportedWidth() const { return width ? width() : minWidth; }
  int ReportedHeight() const { return height ? height() : minHeight; }
  void Relayout() const {
    if (relayout) relayout();
  }
};

}  // namespace forms
