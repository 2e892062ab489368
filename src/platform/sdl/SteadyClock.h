#pragma once

#include "platform/Platform.h"
#include "platform/PreciseWait.h"

namespace kiv::platform::sdl {

// Real time in whole milliseconds since the clock's origin. A deadline in those milliseconds
// is the exact point origin + deadline, and waiting holds it to within microseconds (see
// PreciseWait): the game's frame start, read in whole milliseconds just after the wait,
// then falls on the deadline itself, so a wake-up a fraction of a millisecond late is made
// up by the next frame instead of adding to every frame after it.
class SteadyClock : public Clock {
public:
    using TimePoint = PreciseWait::Clock::time_point;

    std::uint32_t Milliseconds() override;
    void Sleep(std::uint32_t ms) override;
    void WaitUntil(std::uint32_t deadline) override;

    // The point of `deadline` (milliseconds since `origin`, counted as Milliseconds() counts
    // them, wrapping at 32 bits) that is nearest to `now`: ahead of it when the deadline is
    // still to come, at or behind it when it has passed.
    static TimePoint DeadlineTime(TimePoint origin, TimePoint now, std::uint32_t deadline);

    PreciseWait& Waiter() { return waiter; }

private:
    PreciseWait waiter;
};

} // namespace kiv::platform::sdl
