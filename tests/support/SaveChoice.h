#pragma once

#include "platform/Platform.h"

#include <string>

namespace kiv::test {

// The save dialog of saved games, starting in `folder` (which must outlive the choice).
inline platform::FileChoice SaveChoice(const std::string& folder) {
    return {.save = true,
            .filterName = "Saved Files (*.sav)",
            .pattern = "*.sav",
            .extension = "sav",
            .folder = folder.c_str()};
}

} // namespace kiv::test
