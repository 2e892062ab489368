#pragma once

namespace kiv {

// Destroys what start-up made, in shutdown order, skipping whatever does not exist: the
// levels and the game, the console (which writes the log), the display and the instance
// lock. The actors and what still waits for them (sprites' animations and frames) go too, so
// that a game run again in the same process starts from nothing. Shared by the end of KivMain and
// by the fatal exit.
void TearDown();

} // namespace kiv
