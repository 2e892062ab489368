#pragma once

namespace kiv {

// Destroys what start-up made, in shutdown order, skipping whatever does not exist yet:
// shared by the normal end of the game and by the fatal exit.
void TearDown();

} // namespace kiv
