#include "platform/headless/ScriptedInput.h"

#include "platform/EventQueue.h"

namespace kiv::platform::headless {

void ScriptedInput::Acquire() {
    acquired = true;
    lost = false;
}

InputSource::Status ScriptedInput::ReadKeys(KeyEvent* out, unsigned& count) {
    if (lost) {
        count = 0;
        acquired = false;
        lost = false;
        keys.clear();
        return Status::InputLost;
    }
    if (!acquired) {
        count = 0;
        keys.clear(); // a device that is not acquired buffers nothing
        return Status::NotAcquired;
    }
    TakeEvents(keys, out, count);
    return Status::Ok;
}

} // namespace kiv::platform::headless
