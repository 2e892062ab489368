#pragma once

namespace kiv {

// The network's part of a frame. Handles what the session reported; true when that showed
// a dialog or asked for a level switch, and the frame ends there.
bool ServeNetwork();
// On a network level: sends this frame's inputs to every player and waits, at most ten
// seconds, for the inputs of every player the level needs. False when the frame must end
// (the game cannot go on and falls back to the level's fallback level).
bool ExchangeNetworkInputs();

} // namespace kiv
