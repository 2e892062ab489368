// libFuzzer target: input scripts of the headless backend, read and then played through the
// frames they name, with every key, mouse and window event taken from the sources as the
// runtime takes them.
#include "platform/headless/HeadlessPlatform.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kiv::platform::headless::HeadlessPlatform platform;
    platform.ReadScript(std::string(reinterpret_cast<const char*>(data), size));
    platform.input.Acquire();
    platform.mouse.Acquire();
    for (std::uint32_t frame : {0u, 1u, 2u, 3u, 100u, 0xFFFFFFFFu}) {
        platform.StartPass(frame);
        using Status = kiv::platform::InputSource::Status;
        kiv::platform::KeyEvent keys[16];
        unsigned n = 16;
        while (platform.input.ReadKeys(keys, n) == Status::Ok && n == 16) {
        }
        kiv::platform::MouseInput moves[16];
        n = 16;
        while (platform.mouse.Read(moves, n) == Status::Ok && n == 16) {
        }
        kiv::platform::WindowEvent event;
        while (platform.window.PollEvent(event)) {
        }
    }
    return 0;
}
