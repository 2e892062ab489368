#pragma once

namespace kiv {

// One frame: input, the function keys, logic, drawing and presentation.
void RunFrame();
// The function keys of the runtime (and the wake-up of a screen saver).
void HandleHotKeys();

} // namespace kiv
