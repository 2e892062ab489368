#include <kiv/base/Console.h>
#include <kiv/base/UserError.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>

#include "base/ExitStatus.h"
#include "host/Shutdown.h"
#include "platform/Platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void FatalError(const char* format, ...) {
    static bool exiting = false;
    if (exiting) // a fault while tearing down: nothing is left to save
        kiv::platform::ExitProcess(kiv::ExitStatus(kiv::Ending::Fatal));
    exiting = true;

    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    // The devices let go, so that the player can answer the message box.
    if (pMouse)
        pMouse->StopReceivingData();
    if (pKeyboard)
        pKeyboard->StopReceivingData();
    kiv::platform::Current().GetDialogs().MessageBox(text, "Exit error.",
                                                     kiv::platform::MbIconError);
    if (pConsole)
        pConsole->Print("%s", text);
    kiv::TearDown();
    exiting = false;
    kiv::platform::ExitProcess(kiv::ExitStatus(kiv::Ending::Fatal));
}
