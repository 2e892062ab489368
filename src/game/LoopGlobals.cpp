#include "game/LoopGlobals.h"

namespace kiv {

unsigned int FrameCounter = 0;

} // namespace kiv
