// kivc: compiles the JSON description of a game into its game file and level files.
//   kivc GAME.json -o FOLDER [--art FOLDER] [--stamp FILE]
// --art names the folder holding "Art Assets", whose actor images give the frames' sizes.
#include "GameData.h"

#include <cstdio>
#include <cstring>
#include <fstream>

using namespace kiv::tools;

int main(int argc, char** argv) {
    const char* input = nullptr;
    std::filesystem::path folder = ".";
    const char* stamp = nullptr;
    std::filesystem::path art;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            folder = argv[++i];
        else if (std::strcmp(argv[i], "--art") == 0 && i + 1 < argc)
            art = argv[++i];
        else if (std::strcmp(argv[i], "--stamp") == 0 && i + 1 < argc)
            stamp = argv[++i];
        else if (!input)
            input = argv[i];
    }
    if (!input) {
        std::fprintf(stderr, "usage: kivc GAME.json -o FOLDER [--art FOLDER] [--stamp FILE]\n");
        return 2;
    }
    try {
        std::ifstream in(input);
        if (!in)
            throw DataError(std::string(input) + ": cannot be read");
        Json description;
        try {
            description = Json::parse(in);
        } catch (const Json::parse_error& e) {
            throw DataError(std::string(input) + ": not valid JSON: " + e.what());
        }
        GameFiles files = CompileGame(description, art);
        std::filesystem::create_directories(folder);
        WriteFile(folder / StoredFileName(description["file"].get<std::string>()), files.game);
        for (const auto& [name, bytes] : files.levels) {
            std::filesystem::create_directories((folder / name).parent_path());
            WriteFile(folder / name, bytes);
        }
        if (stamp)
            std::ofstream(stamp) << "compiled\n";
    } catch (const DataError& e) {
        std::fprintf(stderr, "kivc: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kivc: %s: %s\n", input, e.what());
        return 1;
    }
    return 0;
}
