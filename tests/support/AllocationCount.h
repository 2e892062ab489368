#pragma once

namespace kiv::test {

// Heap allocations made through operator new while `countAllocations` is set. A program
// that links AllocationCount.cpp gets operator new and delete that count them.
extern bool countAllocations;
extern long allocations;

} // namespace kiv::test
