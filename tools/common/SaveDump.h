#pragma once

#include "Layout.h"

#include <filesystem>
#include <vector>

namespace kiv::tools {

// A saved game (.sav, .sar) as JSON: its magic word, the bytes the game's own save function
// wrote (hexadecimal), the number of the saved level, and the level's record with every
// object in it. The game's own bytes have no length of their own: the level number is where
// the rest of the file reads as a whole level record.
Json DumpSave(const std::vector<unsigned char>& bytes, const std::string& fileName);

// A replay (.rep) as JSON: its magic word, the recorded frames with the keys down in each,
// the mouse's flags bytes and its X, Y and wheel steps.
Json DumpReplay(const std::vector<unsigned char>& bytes, const std::string& fileName);

} // namespace kiv::tools
