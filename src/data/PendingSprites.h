#pragma once

class File;
class GameNode;
class Sprite;

namespace kiv {

// The sprites of a level record are made and added to the level as their records are read.
// The level's actor record comes after them in the level file, so a sprite whose actor is
// not read yet gets its animation and frame (and a peg-registered one its position) once the
// actors are: ApplyWaitingPlayback, after the actor record or at the end of the level's start.
void ReadSpriteRecord(File& file, GameNode& level);
// The sprite (the cursor's, say) waits for its actor's animations like the level's sprites.
void WaitForActors(Sprite& sprite, int animation, int frame);
void ApplyWaitingPlayback();
// A new level record begins, or the game ends: what was left waiting is dropped.
void ForgetWaitingPlayback();

} // namespace kiv
