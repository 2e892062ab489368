#pragma once

#include "platform/SleepOvershoot.h"

#include <chrono>
#include <cstdint>

namespace kiv::platform {

// Waits for a point of the steady clock to within microseconds while leaving the processor
// to others for most of the wait: it sleeps until the learnt sleep overshoot before the
// deadline, then spins on the clock with the processor's pause hint. The spin never yields:
// on a machine whose cores are all busy a yield can give away a whole scheduler slice.
class PreciseWait {
public:
    using Clock = std::chrono::steady_clock;

    // What the waits cost, for measuring programs (counted only while counting is on).
    struct Totals {
        std::uint64_t waits = 0;
        std::chrono::nanoseconds wall{};
        std::chrono::nanoseconds cpu{};  // the waiting thread's processor time
        std::chrono::nanoseconds late{}; // how long after its deadline the last wait returned
    };

    explicit PreciseWait(const SleepOvershoot::Settings& settings = SleepOvershoot::Defaults)
        : overshoot(settings) {}

    void Until(Clock::time_point deadline);

    void Count(bool on) { counting = on; }
    const Totals& Counted() const { return totals; }
    const SleepOvershoot& Overshoot() const { return overshoot; }

private:
    void Wait(Clock::time_point deadline);

    SleepOvershoot overshoot;
    bool counting = false;
    Totals totals;
};

} // namespace kiv::platform
