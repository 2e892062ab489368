#include "platform/sdl/SteadyClock.h"

#include <chrono>
#include <thread>

namespace kiv::platform::sdl {

namespace {

const auto origin = std::chrono::steady_clock::now();

} // namespace

std::uint32_t SteadyClock::Milliseconds() {
    auto since = std::chrono::steady_clock::now() - origin;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SteadyClock::Sleep(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SteadyClock::WaitUntil(std::uint32_t deadline) {
    for (;;) {
        auto left = static_cast<std::int32_t>(deadline - Milliseconds());
        if (left <= 0)
            return;
        if (left > 1)
            std::this_thread::sleep_for(std::chrono::microseconds((left - 1) * 1000));
        else
            std::this_thread::yield();
    }
}

} // namespace kiv::platform::sdl
