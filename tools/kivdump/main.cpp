// kivdump: turns game data back into the JSON that kivc compiles.
#include "FieldNames.h"
#include "GameData.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

using namespace kiv::tools;

namespace {

const char* const Usage =
    "Usage: kivdump [game] GAME_FILE [-o OUT.json]   the game file and the level files beside it\n"
    "       kivdump level LEVEL_FILE [-o OUT.json]   one level file\n"
    "Writes the JSON description that kivc compiles back into the same bytes (standard output\n"
    "without -o).\n"
    "  --help      show this help and quit\n"
    "  --version   show the version and quit\n"
    "Exit status: 0 when the JSON is written, 1 when a file cannot be read or is damaged, 2\n"
    "when the command line is refused.\n";

int Dump(const char* kind, const char* input, const char* output) {
    Json d = std::strcmp(kind, "level") == 0 ? DumpLevel(input) : DumpGame(input);
    std::string text = d.dump(2) + "\n";
    if (!output) {
        std::cout << text;
        return 0;
    }
    std::ofstream out(output);
    out << text;
    if (!out)
        throw DataError(std::string(output) + ": cannot be written");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const char* kind = "game";
    const char* input = nullptr;
    const char* output = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "--version") {
            std::fputs(a == "--help" ? Usage : "kivdump (KivCore) " KIV_VERSION "\n", stdout);
            return 0;
        } else if (a == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "kivdump: %s\n%s",
                         UnknownOption(a, {"-o", "--help", "--version"}).c_str(), Usage);
            return 2;
        } else if (!input && (a == "game" || a == "level")) {
            kind = argv[i];
        } else if (!input) {
            input = argv[i];
        } else {
            std::fprintf(stderr, "kivdump: one file at a time (%s and %s)\n%s", input, argv[i],
                         Usage);
            return 2;
        }
    }
    if (!input) {
        std::fputs(Usage, stderr);
        return 2;
    }
    try {
        return Dump(kind, input, output);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kivdump: %s\n", e.what());
    }
    return 1;
}
