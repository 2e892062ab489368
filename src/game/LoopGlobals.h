#pragma once

#include <kiv/input/Mouse.h>

namespace kiv {

// Calls of RunFrame so far; the console heads its output with it.
extern unsigned int FrameCounter;
// Logic, drawing and effects stand still (F10, or the window lost the focus).
extern bool GamePaused;
// The game is ending: no more frames, the window goes.
extern bool QuitRequested;
// A network level waits for its players.
extern bool WaitingForPlayers;
// A level switch shows "Loading ..." until the new level runs.
extern bool ShowLoading;

// Records of this frame's keyboard events (two bytes each), as the network and replays
// use them.
extern unsigned char KeyEventRecords[2 * 256];
extern unsigned int KeyEventCount;
// This frame's mouse events, likewise.
extern MouseEvent MouseEventRecords[256];
extern unsigned int MouseEventCount;

} // namespace kiv
