#pragma once

#include <cstdint>

namespace kiv::platform::sdl {

// The DirectInput key code (DIK_*) of the key that SDL reports with this scancode; 0 for a
// key that has no DirectInput code.
std::uint8_t DikFromScancode(int sdlScancode);

} // namespace kiv::platform::sdl
