#pragma once

#include "Layout.h"

namespace kiv::tools {

// The records of the game data, in the order the builders of the runtime read them.
const Layout& ModeRecord();
const Layout& GameRecord();  // the levels (each with its own file) and the game's logic lists
const Layout& LogicRecord(); // timers, state machines, path state machines, movement patterns
const Layout& LevelRecord();
const Layout& ActorRecord();

} // namespace kiv::tools
