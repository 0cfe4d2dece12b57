#pragma once
// The VB error number a statement raises, 0 when it raises none.

#include <functional>

#include "platform/vbrt/VbError.h"

inline int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::VbError& e) {
    return e.Number();
  }
  return 0;
}
