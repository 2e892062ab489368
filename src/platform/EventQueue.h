#pragma once

#include <deque>

namespace kiv::platform {

// Moves up to `count` queued events, oldest first, into `out`; `count` becomes the number
// moved.
template <class Event>
void TakeEvents(std::deque<Event>& queue, Event* out, unsigned& count) {
    unsigned n = 0;
    for (; n < count && !queue.empty(); ++n) {
        out[n] = queue.front();
        queue.pop_front();
    }
    count = n;
}

} // namespace kiv::platform
