#include "platform/Platform.h"

#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kiv::platform {

namespace {

std::unique_ptr<Platform>& Slot() {
    static std::unique_ptr<Platform> backend;
    return backend;
}

// KIV_PLATFORM decides; otherwise a desktop gets windows and a machine without a display
// runs headless.
std::unique_ptr<Platform> Choose() {
    const char* requested = std::getenv("KIV_PLATFORM");
    bool sdl = requested ? std::strcmp(requested, "sdl") == 0
                         : std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (sdl)
        return std::make_unique<sdl::SdlPlatform>();
    return std::make_unique<headless::HeadlessPlatform>();
}

} // namespace

namespace {
void (*exitHandler)(int) = nullptr;
}

void ExitProcess(int code) {
    std::fflush(nullptr);
    if (exitHandler)
        exitHandler(code);
    std::_Exit(code);
}

void SetExitHandler(void (*handler)(int)) {
    exitHandler = handler;
}

Platform& Current() {
    auto& backend = Slot();
    if (!backend)
        backend = Choose();
    return *backend;
}

Platform& Install(std::unique_ptr<Platform> backend) {
    Slot() = std::move(backend);
    return *Slot();
}

} // namespace kiv::platform
