#include "platform/headless/HeadlessPlatform.h"

namespace kiv::platform::headless {

HeadlessPlatform& Install() {
    return static_cast<HeadlessPlatform&>(platform::Install(std::make_unique<HeadlessPlatform>()));
}

} // namespace kiv::platform::headless
