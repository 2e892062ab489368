#pragma once

#include <atomic>

// ThreadSanitizer keeps operator new and delete to itself: under it nothing is counted.
#if defined(__SANITIZE_THREAD__)
#define KIV_COUNTS_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KIV_COUNTS_ALLOCATIONS 0
#endif
#endif
#ifndef KIV_COUNTS_ALLOCATIONS
#define KIV_COUNTS_ALLOCATIONS 1
#endif

namespace kiv::test {

constexpr bool countsAllocations = KIV_COUNTS_ALLOCATIONS;

// Heap allocations made through operator new while `countAllocations` is set, by any thread.
// A program that links AllocationCount.cpp gets operator new and delete that count them.
extern std::atomic<bool> countAllocations;
extern std::atomic<long> allocations;

} // namespace kiv::test
