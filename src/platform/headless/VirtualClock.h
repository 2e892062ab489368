#pragma once

#include "platform/Platform.h"

namespace kiv::platform::headless {

// A clock that only moves when told to: sleeping and waiting advance it at once, so a
// headless run is as fast as the machine and gives the same timings on every run.
class VirtualClock : public Clock {
public:
    std::uint32_t Milliseconds() override { return now; }
    void Sleep(std::uint32_t ms) override { now += ms; }
    void WaitUntil(std::uint32_t deadline) override;

    // Simulates work that takes `ms`.
    void Advance(std::uint32_t ms) { now += ms; }
    void Set(std::uint32_t ms) { now = ms; }

private:
    std::uint32_t now = 0;
};

} // namespace kiv::platform::headless
