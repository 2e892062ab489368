#pragma once

class File;
class GameNode;

namespace kiv {

// The sprites of a level record. The level record comes before the actors its sprites play,
// so a sprite's record is read when the level is read, and the sprite is made and added once
// the actors are known: after the actor record, or at the end of the level's start.
void ReadSpriteRecord(File& file);
void AddPendingSprites(GameNode& level);

} // namespace kiv
