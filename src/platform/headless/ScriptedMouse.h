#pragma once

#include "platform/Platform.h"

#include <deque>

namespace kiv::platform::headless {

// Mouse data without a device: events are pushed by the script reader (for the frame they
// belong to) or by tests, and read by the next Read.
class ScriptedMouse : public MouseSource {
public:
    void Acquire() override;
    void Unacquire() override { acquired = false; }
    Status Read(MouseInput* out, unsigned& count) override;
    bool HasWheel() override { return wheel; }

    void Push(MouseInput e) { events.push_back(e); }
    // The next Read reports the device lost (it then needs Acquire).
    void LoseDevice() { lost = true; }
    bool Acquired() const { return acquired; }
    // Whether the simulated mouse has a wheel; set before the game's mouse is made.
    bool wheel = true;

private:
    std::deque<MouseInput> events;
    bool acquired = false;
    bool lost = false;
};

} // namespace kiv::platform::headless
