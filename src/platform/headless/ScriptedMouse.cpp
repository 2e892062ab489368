#include "platform/headless/ScriptedMouse.h"

#include "platform/EventQueue.h"

namespace kiv::platform::headless {

void ScriptedMouse::Acquire() {
    acquired = true;
    lost = false;
}

MouseSource::Status ScriptedMouse::Read(MouseInput* out, unsigned& count) {
    if (lost || !acquired) {
        // A lost device must be acquired again; a device that is not acquired buffers nothing.
        Status status = lost ? Status::InputLost : Status::NotAcquired;
        lost = acquired = false;
        events.clear();
        count = 0;
        return status;
    }
    TakeEvents(events, out, count);
    return Status::Ok;
}

} // namespace kiv::platform::headless
