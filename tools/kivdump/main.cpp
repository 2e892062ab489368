// kivdump: turns game data back into the JSON that kivc compiles, and shows saved games and
// replays as JSON.
#include "FieldNames.h"
#include "GameData.h"
#include "SaveDump.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

using namespace kiv::tools;

namespace {

const char* const Usage =
    "Usage: kivdump [game] GAME_FILE [-o OUT.json]   the game file and the level files beside it\n"
    "       kivdump level LEVEL_FILE [-o OUT.json]   one level file\n"
    "       kivdump save SAVE_FILE [-o OUT.json]     a saved game (.sav, .sar)\n"
    "       kivdump replay REPLAY_FILE [-o OUT.json] a replay's recorded input (.rep)\n"
    "Writes the JSON description that kivc compiles back into the same bytes (standard output\n"
    "without -o); a save or a replay is shown with its magic word, its level and its records.\n"
    "Without a kind, a file that starts with a save's or a replay's magic word is one.\n"
    "  --help      show this help and quit\n"
    "  --version   show the version and quit\n"
    "Exit status: 0 when the JSON is written, 1 when a file cannot be read or is damaged, 2\n"
    "when the command line is refused.\n";

const char* const Kinds[] = {"game", "level", "save", "replay"};

// The kind a file's first bytes give it: a save, a replay, or else a game file.
std::string KindOf(const std::vector<unsigned char>& bytes) {
    std::string magic(bytes.begin(), bytes.begin() + std::min<long>(7, bytes.size()));
    if (magic == "KIV_SAV" || magic == "KIV_SAR")
        return "save";
    return magic == "KIV_REP" ? "replay" : "game";
}

Json Read(const std::string& kind, const char* input) {
    if (kind == "level")
        return DumpLevel(input);
    if (kind == "game")
        return DumpGame(input);
    std::vector<unsigned char> bytes = ReadFile(input);
    return kind == "save" ? DumpSave(bytes, input) : DumpReplay(bytes, input);
}

int Dump(std::string kind, const char* input, const char* output) {
    if (kind.empty())
        kind = KindOf(ReadFile(input));
    std::string text = Read(kind, input).dump(2) + "\n";
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
    std::string kind;
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
        } else if (!input && kind.empty() &&
                   std::find(std::begin(Kinds), std::end(Kinds), a) != std::end(Kinds)) {
            kind = a;
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
