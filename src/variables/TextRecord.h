#pragma once

class File;
class GameNode;

namespace kiv {

// Reads one entry of the text-variable section of a level record and adds the text to the
// level. The level must be the one that runs (gNode) while its record is read: texts find
// their maps and letter sounds there.
void ReadTextVariable(File& file, GameNode& level);

} // namespace kiv
