#pragma once
// Small helpers of the picture editor's procedures.

#include <exception>
#include <string>
#include <utility>

#include "platform/forms/App.h"

namespace tools::double_steps {

// A statement whose errors are skipped (the procedure goes on with its next step).  Returns
// false when the statement failed.
template <class F>
bool Skip(F&& step) {
  try {
    std::forward<F>(step)();
    return true;
  } catch (const forms::ProgramEnded&) {
    throw;
  } catch (const std::exception&) {
    return false;
  }
}

// Both files exist and hold the same bytes.
bool SameFileBytes(const std::string& winA, const std::string& winB);

}  // namespace tools::double_steps
