#pragma once

#include "platform/FileInstanceLock.h"
#include "platform/headless/RecordedDialogs.h"
#include "platform/headless/VirtualClock.h"

namespace kiv::platform::headless {

// The deterministic backend: virtual time, recorded dialogs, no window.
class HeadlessPlatform : public Platform {
public:
    const char* Name() const override { return "headless"; }
    Clock& GetClock() override { return clock; }
    Dialogs& GetDialogs() override { return dialogs; }
    InstanceLock& GetInstanceLock() override { return lock; }

    VirtualClock clock;
    RecordedDialogs dialogs;
    FileInstanceLock lock;
};

// Makes a fresh headless backend current and returns it.
HeadlessPlatform& Install();

} // namespace kiv::platform::headless
