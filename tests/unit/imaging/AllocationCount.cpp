#include "AllocationCount.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define IMAGING_TEST_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define IMAGING_TEST_SANITIZER 1
#endif

#ifdef IMAGING_TEST_SANITIZER
#include <sanitizer/allocator_interface.h>
#endif

namespace imaging_test {

namespace {

std::atomic<bool> counting{false};
std::atomic<std::int64_t> held{0}, peak{0};

void Allocated(std::size_t n) noexcept {
  if (!counting.load(std::memory_order_relaxed)) return;
  const std::int64_t now = held.fetch_add(std::int64_t(n)) + std::int64_t(n);
  std::int64_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}

void Freed(std::size_t n) noexcept {
  if (counting.load(std::memory_order_relaxed)) held.fetch_sub(std::int64_t(n));
}

}  // namespace

std::size_t PeakAllocated(const std::function<void()>& f) {
  held = 0;
  peak = 0;
  counting = true;
  try {
    f();
  } catch (...) {
    counting = false;
    throw;
  }
  counting = false;
  return std::size_t(peak.load());
}

}  // namespace imaging_test

#ifdef IMAGING_TEST_SANITIZER

// The sanitizers own malloc and new; they tell hooks of every block they hand out or take back.
namespace {

void OnMalloc(const volatile void*, std::size_t size) {
  imaging_test::Allocated(size);
}
void OnFree(const volatile void* p) {
  if (p) imaging_test::Freed(__sanitizer_get_allocated_size(const_cast<const void*>(p)));
}

[[maybe_unused]] const int installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);

}  // namespace

#else

// glibc's allocator behind a counting malloc family; new and delete come through malloc.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {

void* Counted(void* p) {
  if (p) imaging_test::Allocated(malloc_usable_size(p));
  return p;
}

}  // namespace

extern "C" {
void* malloc(std::size_t n) {
  return Counted(__libc_malloc(n));
}
void* calloc(std::size_t n, std::size_t size) {
  return Counted(__libc_calloc(n, size));
}
void* realloc(void* old, std::size_t n) {
  const std::size_t before = old ? malloc_usable_size(old) : 0;
  void* p = __libc_realloc(old, n);
  if (p || n == 0) imaging_test::Freed(before);
  return Counted(p);
}
void* memalign(std::size_t align, std::size_t n) {
  return Counted(__libc_memalign(align, n));
}
void* aligned_alloc(std::size_t align, std::size_t n) {
  return memalign(align, n);
}
int posix_memalign(void** out, std::size_t align, std::size_t n) {
  void* p = memalign(align, n);
  if (!p) return 12;  // ENOMEM
  *out = p;
  return 0;
}
void free(void* p) {
  if (!p) return;
  imaging_test::Freed(malloc_usable_size(p));
  __libc_free(p);
}
}

#endif
