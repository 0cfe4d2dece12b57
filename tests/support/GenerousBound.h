#pragma once
// Waits are judged by what happened (the error raised, the deadline the link asked for, the
// server's log); their duration only against a generous bound.  The bound is several times
// what the step should take, so that a machine under load (sanitizers, parallel tests) never
// reaches it, while a step that waits longer than it was told to (for ever, or the default
// timeout in place of the one set) does.

#include <chrono>
#include <utility>

namespace testsupport {

using std::chrono::milliseconds;

// The most a step that should wait `expected` may take.
constexpr milliseconds GenerousBound(milliseconds expected) {
  return expected * 4 + std::chrono::seconds(5);
}

// How long `f` took.
template <class F>
milliseconds TimeOf(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  std::forward<F>(f)();
  return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start);
}

}  // namespace testsupport
