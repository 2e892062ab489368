#include "platform/headless/VirtualClock.h"

namespace kiv::platform::headless {

void VirtualClock::WaitUntil(std::uint32_t deadline) {
    // Signed difference keeps the comparison right across the 32-bit wrap.
    if (static_cast<std::int32_t>(deadline - now) > 0)
        now = deadline;
}

} // namespace kiv::platform::headless
