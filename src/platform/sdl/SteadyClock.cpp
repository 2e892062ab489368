#include "platform/sdl/SteadyClock.h"

#include <chrono>
#include <thread>

namespace kiv::platform::sdl {

namespace {

using std::chrono::milliseconds;

const auto clockOrigin = std::chrono::steady_clock::now();

} // namespace

std::uint32_t SteadyClock::Milliseconds() {
    auto since = std::chrono::steady_clock::now() - clockOrigin;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<milliseconds>(since).count());
}

void SteadyClock::Sleep(std::uint32_t ms) {
    std::this_thread::sleep_for(milliseconds(ms));
}

SteadyClock::TimePoint SteadyClock::DeadlineTime(TimePoint origin, TimePoint now,
                                                 std::uint32_t deadline) {
    const auto since = std::chrono::duration_cast<milliseconds>(now - origin).count();
    // Signed difference keeps the comparison right across the 32-bit wrap.
    const auto left = static_cast<std::int32_t>(deadline - static_cast<std::uint32_t>(since));
    return origin + milliseconds(since + left);
}

void SteadyClock::WaitUntil(std::uint32_t deadline) {
    waiter.Until(DeadlineTime(clockOrigin, std::chrono::steady_clock::now(), deadline));
}

} // namespace kiv::platform::sdl
