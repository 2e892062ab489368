#pragma once

namespace kiv {

// Destroys what start-up made, in shutdown order, skipping whatever does not exist: the
// levels and the game, the console (which writes the log), the display and the instance
// lock. Shared by the end of KivMain and by the fatal exit.
void TearDown();

} // namespace kiv
