#pragma once

#include <kiv/Export.h>

class File;

// The game file while the game executable reads it (until KivP returns), and the level
// file while a level's load functions read it; null otherwise.
extern KIV_API File* _GameFile;
extern KIV_API File* _LevelFile;
