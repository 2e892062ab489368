#pragma once

class File;
class GameNode;

namespace kiv {

// The cursor section of a level record. The cursor object (pKivCursor, replacing any before
// it), its behavior and its local variable are made at once. Its sprite plays an actor of the
// level's actor record, which comes later in the level file, so the sprite is made, placed
// and shown when the level's sprites are: AddPendingCursor, before them.
void ReadCursorRecord(File& file);
void AddPendingCursor();
void DiscardPendingCursor();

} // namespace kiv
