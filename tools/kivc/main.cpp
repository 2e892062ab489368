// kivc: compiles the JSON description of a game into its game file and level files.
#include "CrossReferences.h"
#include "FieldNames.h"
#include "GameData.h"
#include "JsonInput.h"
#include "Schema.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

using namespace kiv::tools;

namespace {

const char* const Usage =
    "Usage: kivc GAME.json -o FOLDER [--art FOLDER] [--stamp FILE] [--strict]\n"
    "       kivc --schema\n"
    "Compiles the JSON description of a game into its game file and level files in FOLDER.\n"
    "  -o FOLDER       where the game file and the level files go (default: .)\n"
    "  --art FOLDER    the folder holding \"Art Assets\": frames without a size take it from\n"
    "                  their images under Art Assets/Actors\n"
    "  --stamp FILE    write FILE once the data is written (for build systems)\n"
    "  --strict        refuse the description when a reference in it leads nowhere\n"
    "                  (these are warnings otherwise)\n"
    "  --schema        print the JSON Schema of game descriptions and quit\n"
    "  --help          show this help and quit\n"
    "  --version       show the version and quit\n"
    "Exit status: 0 when the data is written, 1 when the description is refused, 2 when the\n"
    "command line is.\n";

struct Options {
    const char* input = nullptr;
    std::filesystem::path folder = ".";
    std::filesystem::path art;
    const char* stamp = nullptr;
    bool strict = false;
};

int Compile(const Options& o) {
    Json description = ReadDescription(o.input);
    GameFiles files = CompileGame(description, o.art);
    std::vector<std::string> problems = CrossReferenceProblems(description);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "kivc: %s: %s%s\n", o.input, o.strict ? "" : "warning: ",
                     problem.c_str());
    if (o.strict && !problems.empty())
        return 1;
    std::filesystem::create_directories(o.folder);
    WriteFile(o.folder / StoredFileName(description["file"].get<std::string>()), files.game);
    for (const auto& [name, bytes] : files.levels) {
        std::filesystem::create_directories((o.folder / name).parent_path());
        WriteFile(o.folder / name, bytes);
    }
    if (o.stamp)
        std::ofstream(o.stamp) << "compiled\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool valued = a == "-o" || a == "--art" || a == "--stamp";
        if (valued && i + 1 >= argc) {
            std::fprintf(stderr, "kivc: %s needs a value\n%s", a.c_str(), Usage);
            return 2;
        }
        if (a == "--help" || a == "--version") {
            std::fputs(a == "--help" ? Usage : "kivc (KivCore) " KIV_VERSION "\n", stdout);
            return 0;
        } else if (a == "--schema") {
            std::cout << GameSchema().dump(2) << "\n";
            return 0;
        } else if (a == "-o") {
            o.folder = argv[++i];
        } else if (a == "--art") {
            o.art = argv[++i];
        } else if (a == "--stamp") {
            o.stamp = argv[++i];
        } else if (a == "--strict") {
            o.strict = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "kivc: %s\n%s",
                         UnknownOption(a, {"-o", "--art", "--stamp", "--strict", "--schema",
                                           "--help", "--version"})
                             .c_str(),
                         Usage);
            return 2;
        } else if (!o.input) {
            o.input = argv[i];
        } else {
            std::fprintf(stderr, "kivc: one description at a time (%s and %s)\n%s", o.input,
                         argv[i], Usage);
            return 2;
        }
    }
    if (!o.input) {
        std::fputs(Usage, stderr);
        return 2;
    }
    try {
        return Compile(o);
    } catch (const DataError& e) {
        std::fprintf(stderr, "kivc: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kivc: %s: %s\n", o.input, e.what());
    }
    return 1;
}
