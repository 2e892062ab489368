#include "game/LoopGlobals.h"

#include "game/FrameSteps.h"

namespace kiv {

unsigned int FrameCounter = 0;
bool GamePaused = false;
bool QuitRequested = false;
bool WaitingForPlayers = false;
bool ShowLoading = false;
unsigned char KeyEventRecords[2 * 256];
unsigned int KeyEventCount = 0;
MouseEvent MouseEventRecords[256];
unsigned int MouseEventCount = 0;
FrameStepObserver frameStepObserver = nullptr;

} // namespace kiv
