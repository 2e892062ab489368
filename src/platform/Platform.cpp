#include "platform/Platform.h"

#include "platform/headless/HeadlessPlatform.h"

namespace kiv::platform {

namespace {

std::unique_ptr<Platform>& Slot() {
    static std::unique_ptr<Platform> backend;
    return backend;
}

} // namespace

Platform& Current() {
    auto& backend = Slot();
    if (!backend) backend = std::make_unique<headless::HeadlessPlatform>();
    return *backend;
}

Platform& Install(std::unique_ptr<Platform> backend) {
    Slot() = std::move(backend);
    return *Slot();
}

} // namespace kiv::platform
