#pragma once

class File;

namespace kiv {

// The cursor section of a level record: the cursor object (pKivCursor, replacing any before
// it) with its sprite, its behavior and its local variable. A sprite whose actor comes later
// in the level file gets its animation and frame with the level's sprites.
void ReadCursorRecord(File& file);

} // namespace kiv
