#pragma once

class Behavior;
class File;

namespace kiv {

// The behavior list of a game or level record, added to `behavior`: a count, then per entry
// its kind (0 function, 1 state machine, 2 timer; any other kind carries nothing more), its
// table index and its active flag.
void ReadBehaviorList(File& file, Behavior& behavior);
// Adds one entry of such a list: 0 a function, 1 a state machine, 2 a timer.
void AddBehaviorItem(Behavior& behavior, int kind, unsigned int index, bool active);

} // namespace kiv
