#include "platform/SleepOvershoot.h"

#include <algorithm>

namespace kiv::platform {

SleepOvershoot::SleepOvershoot(const Settings& s) : settings(s), margin(s.initial) {}

void SleepOvershoot::Add(Duration overshoot) {
    samples[next] = std::max<std::int64_t>(0, overshoot.count());
    next = (next + 1) % Window;
    count = std::min(count + 1, Window);
    Estimate();
}

// The nearest-rank percentile of the samples held: the smallest sample that at least
// `percentile` percent of them do not exceed.
void SleepOvershoot::Estimate() {
    std::array<std::int64_t, Window> sorted = samples;
    auto rank = (count * static_cast<std::size_t>(settings.percentile) + 99) / 100;
    auto nth = sorted.begin() + static_cast<std::ptrdiff_t>(std::max<std::size_t>(rank, 1) - 1);
    auto end = sorted.begin() + static_cast<std::ptrdiff_t>(count);
    std::nth_element(sorted.begin(), nth, end);
    margin = std::clamp(Duration(*nth), settings.floor, settings.ceiling);
}

} // namespace kiv::platform
