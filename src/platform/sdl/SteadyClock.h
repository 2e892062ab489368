#pragma once

#include "platform/Platform.h"

namespace kiv::platform::sdl {

// Real time in milliseconds. Waiting sleeps until about a millisecond before the deadline
// and then polls, so a game waiting for its next frame leaves the processor to others
// without missing the deadline by a scheduler tick.
class SteadyClock : public Clock {
public:
    std::uint32_t Milliseconds() override;
    void Sleep(std::uint32_t ms) override;
    void WaitUntil(std::uint32_t deadline) override;
};

} // namespace kiv::platform::sdl
