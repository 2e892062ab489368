#include "platform/Platform.h"

#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlPlatform.h"

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
    if (sdl) return std::make_unique<sdl::SdlPlatform>();
    return std::make_unique<headless::HeadlessPlatform>();
}

} // namespace

Platform& Current() {
    auto& backend = Slot();
    if (!backend) backend = Choose();
    return *backend;
}

Platform& Install(std::unique_ptr<Platform> backend) {
    Slot() = std::move(backend);
    return *Slot();
}

} // namespace kiv::platform
