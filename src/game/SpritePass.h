#pragma once

class Map;

namespace kiv {

// The sprites of one map, in display lists 0 to 15: logic, motion, animation and drawing.
// The cursor's sprite is updated on the first map only (`cursorDone` remembers it).
void UpdateSprites(Map* map, bool& cursorDone);
// Re-sorts the sprites whose z-order changed during the frame, in the order of the changes.
void ApplyZOrderQueue();
// Forgets z-order changes queued by a level that is left.
void ClearZOrderQueue();

} // namespace kiv
