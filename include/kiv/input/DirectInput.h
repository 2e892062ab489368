#pragma once

#include <kiv/base/Types.h>

// The input devices' shared connection to the system. The keyboard and the mouse each hold
// one; the connection lives while at least one does and belongs to the window given last.
class KIV_API DirectInput {
public:
    DirectInput(HWND window, HINSTANCE instance);
    ~DirectInput();

    DirectInput(const DirectInput&) = delete;
    DirectInput& operator=(const DirectInput&) = delete;

    // Reports a failed input call on the console (or on standard error before the console
    // exists), naming the source position and the code; code 0 reports nothing.
    static void DIError(const char* file, int line, long code);
};
