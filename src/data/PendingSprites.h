#pragma once

class File;
class GameNode;

namespace kiv {

// The sprites of a level record. The level record comes before the actors its sprites play,
// so a sprite's record is read when the level is read, and the sprite is made and added once
// the actors are known: after the actor record, or at the end of the level's start.
void ReadSpriteRecord(File& file);
void AddPendingSprites(GameNode& level);
// Drops the records of sprites (and of the cursor's sprite) that were read but not added: a
// level whose reading ended half way leaves none for the next.
void DiscardPendingSprites();

} // namespace kiv
