#pragma once

#include "platform/Platform.h"

#include <deque>

namespace kiv::platform::headless {

// Keyboard data without a device: events are pushed by the script reader (for the frame
// they belong to) or by tests, and read by the next ReadKeys.
class ScriptedInput : public InputSource {
public:
    void Acquire() override;
    void Unacquire() override { acquired = false; }
    Status ReadKeys(KeyEvent* out, unsigned& count) override;
    bool CapsLock() override { return capsLock; }
    bool NumLock() override { return numLock; }

    void Push(KeyEvent e) { keys.push_back(e); }
    void SetLocks(bool caps, bool num) { capsLock = caps, numLock = num; }
    // The next ReadKeys reports the device lost (it then needs Acquire).
    void LoseDevice() { lost = true; }
    bool Acquired() const { return acquired; }

private:
    std::deque<KeyEvent> keys;
    bool acquired = false;
    bool lost = false;
    bool capsLock = false;
    bool numLock = true;
};

} // namespace kiv::platform::headless
