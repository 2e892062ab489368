#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace kiv::platform {

// How late a sleep wakes up on this machine, learnt from the latest sleeps: a high percentile
// of the last `Window` overshoots, held between a floor and a ceiling. A precise wait sleeps
// until that margin before its deadline and spins the rest. The percentile lets the odd long
// stall go (a margin that covered every stall would spin for milliseconds each frame); the
// ceiling bounds the spinning on a machine whose sleeps are always late: 1.5 ms of a 16 ms
// frame keeps a waiting game under a tenth of a core at 60 frames per second.
class SleepOvershoot {
public:
    using Duration = std::chrono::nanoseconds;
    static constexpr std::size_t Window = 128;

    struct Settings {
        Duration floor;
        Duration ceiling;
        Duration initial; // the margin before the first sleep has been measured
        int percentile;   // 1 to 100
    };
    static constexpr Settings Defaults{std::chrono::microseconds(50),
                                       std::chrono::microseconds(1500),
                                       std::chrono::milliseconds(1), 95};

    explicit SleepOvershoot(const Settings& settings = Defaults);

    // Records how much later than asked a sleep woke up (an early wake counts as 0).
    void Add(Duration overshoot);
    Duration Margin() const { return margin; }
    std::size_t Count() const { return count; }

private:
    void Estimate();

    Settings settings;
    std::array<std::int64_t, Window> samples{}; // nanoseconds, a ring
    std::size_t count = 0;                      // samples held, at most Window
    std::size_t next = 0;                       // where the next sample goes
    Duration margin;
};

} // namespace kiv::platform
