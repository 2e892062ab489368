#pragma once

#include "platform/Platform.h"

#include <string>

namespace kiv::platform::sdl {

class SdlWindow;

// A file dialog drawn over the game's last picture, for desktops without a file dialog of
// their own. It is modal: it takes the window's events until the player confirms a name
// (Return, or a double click) or cancels (Escape, or closing the window, which the game then
// sees as well). Returns the chosen path, or "" when cancelled.
std::string DrawnChooseFile(SdlWindow& window, const FileChoice& choice);

} // namespace kiv::platform::sdl
