// The largest single allocation since the last reset, and how many were made,
// watched through the
// address sanitizer's hooks. The sanitizer keeps only a few hooks for a whole
// program, so they are installed once; without the sanitizer nothing is
// watched and the callers skip their check.
#pragma once

#include <algorithm>
#include <cstddef>

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*)) __attribute__((weak));

namespace largest_allocation {
inline size_t largest = 0;
inline size_t count = 0;
inline void Note(const volatile void*, size_t size) {
  largest = std::max(largest, size);
  ++count;
}
inline void NoteFree(const volatile void*) {}
}  // namespace largest_allocation

// True when allocations are watched in this program.
inline bool WatchLargestAllocation() {
  static const bool watched = __sanitizer_install_malloc_and_free_hooks != nullptr &&
                              __sanitizer_install_malloc_and_free_hooks(largest_allocation::Note,
                                                                        largest_allocation::NoteFree) != 0;
  return watched;
}
inline void ResetLargestAllocation() { largest_allocation::largest = 0; }
inline void ResetAllocationCount() { largest_allocation::count = 0; }
inline size_t AllocationCount() { return largest_allocation::count; }
inline size_t LargestAllocation() { return largest_allocation::largest; }
