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

namespace {

void* Allocate(std::size_t n) noexcept {
    if (kiv::test::countAllocations.load(std::memory_order_relaxed))
        kiv::test::allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n ? n : 1);
}

} // namespace

void* operator new(std::size_t n) {
    if (void* p = Allocate(n))
        return p;
    throw std::bad_alloc();
}

// The standard library's temporary buffers come from the nothrow form and go back through
// plain delete: both forms must pair with free, or AddressSanitizer reports a mismatch.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return Allocate(n);
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

#endif
