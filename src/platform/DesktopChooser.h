#pragma once

#include "platform/Platform.h"

#include <optional>
#include <string>

namespace kiv::platform {

// The desktop's own file dialog (zenity, else kdialog) when one is installed: the chosen path
// ("" when the player cancelled), or nothing when neither is installed or it cannot run.
std::optional<std::string> DesktopChooseFile(const FileChoice& choice);

} // namespace kiv::platform
