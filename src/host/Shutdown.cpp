#include "host/Shutdown.h"

#include <kiv/base/Console.h>

#include "platform/Platform.h"

namespace kiv {

void TearDown() {
    delete pConsole; // writes the log one last time
    pConsole = nullptr;
    platform::Current().GetInstanceLock().Release();
}

} // namespace kiv
