// kivdump: turns game data back into the JSON that kivc compiles.
//   kivdump [game] GAME_FILE [-o OUT.json]   the game file and the level files beside it
//   kivdump level LEVEL_FILE [-o OUT.json]   one level file
#include "GameData.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

using namespace kiv::tools;

int main(int argc, char** argv) {
    const char* kind = "game";
    const char* input = nullptr;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (!input &&
                 (std::strcmp(argv[i], "game") == 0 || std::strcmp(argv[i], "level") == 0))
            kind = argv[i];
        else if (!input)
            input = argv[i];
    }
    if (!input) {
        std::fprintf(stderr, "usage: kivdump [game|level] FILE [-o OUT.json]\n");
        return 2;
    }
    try {
        Json d = std::strcmp(kind, "level") == 0 ? DumpLevel(input) : DumpGame(input);
        std::string text = d.dump(2) + "\n";
        if (output) {
            std::ofstream out(output);
            out << text;
            if (!out)
                throw DataError(std::string(output) + ": cannot be written");
        } else {
            std::cout << text;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kivdump: %s\n", e.what());
        return 1;
    }
    return 0;
}
