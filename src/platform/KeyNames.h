#pragma once

#include <cstdint>

namespace kiv::platform {

// DirectInput key codes by name: "DIK_ESCAPE", "ESCAPE" and "escape" all give 1. Names win
// over numbers ("1" is the 1 key, code 2); other decimal or 0x-prefixed numbers up to 255
// give themselves. -1 for anything else.
int KeyCodeFromName(const char* name);
// "ESCAPE" for 1; null for a code without a name.
const char* KeyName(std::uint8_t code);

} // namespace kiv::platform
