#pragma once

#include "platform/Platform.h"

#include <string>

namespace kiv::test {

// Thrown instead of ending the process while a CatchFatalExits lives, so that a test can see
// many fatal exits in one process. The library has torn its state down when it is thrown.
struct FatalExit {
    int code;
};

class CatchFatalExits {
public:
    CatchFatalExits() {
        platform::SetExitHandler([](int code) { throw FatalExit{code}; });
    }
    ~CatchFatalExits() { platform::SetExitHandler(nullptr); }
    CatchFatalExits(const CatchFatalExits&) = delete;
    CatchFatalExits& operator=(const CatchFatalExits&) = delete;
};

} // namespace kiv::test
