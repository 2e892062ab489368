#pragma once

#include "graphics/Surface.h"

namespace kiv {

// The palette of an 8-bit display before a game brings its own: the twenty static colours
// of the window system at both ends, and a colour cube with a grey ramp between them.
Palette SystemPalette();

} // namespace kiv
