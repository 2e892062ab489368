// libFuzzer target: kivc's reading of a JSON description and its compilation into game and
// level files. Whatever it accepts must dump back (as kivdump reads the files) into a
// description that compiles to the very same bytes.
#include "GameData.h"
#include "JsonInput.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace {

using kiv::tools::GameFiles;
using kiv::tools::Json;

GameFiles Compiled(const Json& description) {
    return kiv::tools::CompileGame(description);
}

// The description that the dumper reads back from the compiled files.
Json Dumped(const GameFiles& files) {
    std::map<std::string, const std::vector<unsigned char>*> levels;
    for (const auto& [name, bytes] : files.levels)
        levels[name] = &bytes;
    return kiv::tools::DumpGameBytes(
        files.game, "fuzz.kiv",
        [&](const std::string& name) -> std::optional<std::vector<unsigned char>> {
            auto it = levels.find(name);
            if (it == levels.end())
                return std::nullopt;
            return *it->second;
        });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    GameFiles first;
    try {
        Json description = kiv::tools::ParseDescription(
            std::string(reinterpret_cast<const char*>(data), size), "fuzz.json");
        first = Compiled(description);
    } catch (const kiv::tools::DataError&) {
        return 0;
    }
    // Neither step may refuse what was compiled, and the bytes must come back unchanged.
    GameFiles second = Compiled(Dumped(first));
    if (second.game != first.game || second.levels.size() != first.levels.size())
        __builtin_trap();
    for (size_t i = 0; i < first.levels.size(); ++i)
        if (second.levels[i].second != first.levels[i].second)
            __builtin_trap();
    return 0;
}
