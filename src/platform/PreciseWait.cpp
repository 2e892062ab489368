#include "platform/PreciseWait.h"

#include <algorithm>
#include <thread>
#include <time.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace kiv::platform {

namespace {

// Tells the core that this is a spin loop: it eases off the pipeline and the sibling
// hyper-thread without giving the core to another thread.
inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif defined(__aarch64__) || defined(__arm__)
    asm volatile("yield");
#endif
}

std::chrono::nanoseconds ThreadCpuTime() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

} // namespace

void PreciseWait::Until(Clock::time_point deadline) {
    if (!counting) {
        Wait(deadline);
        return;
    }
    const auto wallStart = Clock::now();
    const auto cpuStart = ThreadCpuTime();
    Wait(deadline);
    totals.cpu += ThreadCpuTime() - cpuStart;
    const auto end = Clock::now();
    totals.wall += end - wallStart;
    totals.late = std::max(end - deadline, Clock::duration::zero());
    ++totals.waits;
}

void PreciseWait::Wait(Clock::time_point deadline) {
    auto now = Clock::now();
    if (deadline - now > overshoot.Margin()) {
        const auto wake = deadline - overshoot.Margin();
        std::this_thread::sleep_until(wake);
        now = Clock::now();
        overshoot.Add(now - wake);
    }
    while (now < deadline) {
        Pause();
        now = Clock::now();
    }
}

} // namespace kiv::platform
