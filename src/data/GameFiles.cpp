#include <kiv/data/GameFiles.h>

File* _GameFile = nullptr;
File* _LevelFile = nullptr;
