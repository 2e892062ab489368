#include "host/ScreenSaver.h"

#include "base/Messages.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace kiv {

namespace {

// The window number after the option letter: the first run of digits, read as a signed
// decimal number. False when there is no digit.
bool WindowNumber(const char* token, long& number) {
    const char* p = token;
    while (*p && !std::isdigit(static_cast<unsigned char>(*p)))
        ++p;
    if (!*p)
        return false;
    number = std::strtol(p, nullptr, 10);
    return true;
}

} // namespace

bool ReadScreenSaverCommandLine(char* commandLine) {
    char* token = commandLine ? std::strtok(commandLine, "/") : nullptr;
    if (!token)
        return false;
    long window = 0;
    switch (std::tolower(static_cast<unsigned char>(token[0]))) {
    case 'a':
        // Changing a saver password: this system keeps no separate saver password, so a
        // request with a window ends here; without one the saver starts normally.
        if (WindowNumber(token, window)) {
            ScreenSaverParent = window;
            return false;
        }
        return true;
    case 'c':
        if (WindowNumber(token, window)) {
            ScreenSaverParent = window;
            platform::Current().GetDialogs().MessageBox(Message(112), "Information",
                                                        platform::MbIconInformation);
        }
        return false;
    case 'p':
        if (WindowNumber(token, window)) {
            ScreenSaverParent = window;
            ScreenSaverPreview = window != 0;
        }
        return true;
    default:
        return true;
    }
}

} // namespace kiv
