#pragma once

#include <atomic>

namespace kiv::test {

// Heap allocations made through operator new while `countAllocations` is set, by any thread.
// A program that links AllocationCount.cpp gets operator new and delete that count them.
extern std::atomic<bool> countAllocations;
extern std::atomic<long> allocations;

} // namespace kiv::test
