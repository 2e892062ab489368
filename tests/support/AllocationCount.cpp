#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace kiv::test {

std::atomic<bool> countAllocations{false};
std::atomic<long> allocations{0};

} // namespace kiv::test

#if KIV_COUNTS_ALLOCATIONS

// The replacement operators pair malloc with free; GCC's optimiser sees the inlined free of a
// new'd pointer and warns wrongly.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t n) {
    if (kiv::test::countAllocations.load(std::memory_order_relaxed))
        kiv::test::allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

#endif
