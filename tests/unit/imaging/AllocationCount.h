#pragma once
// Counts the heap bytes a statement holds at its peak (malloc, new and what the C libraries
// allocate), the same on every machine and under the sanitizers.

#include <cstddef>
#include <functional>

namespace imaging_test {

// The most bytes held at once by allocations made while f ran, less what it freed.  Not for
// statements that run other threads.
std::size_t PeakAllocated(const std::function<void()>& f);

}  // namespace imaging_test
