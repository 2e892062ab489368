#pragma once

#include "Layout.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kiv::tools {

// A whole game: the game file (mode, game record, logic record, in the order the builders
// read them) and the level files (level record, then the actor record when there is one).
struct GameFiles {
    std::vector<unsigned char> game;
    // (file name as the game record gives it, bytes)
    std::vector<std::pair<std::string, std::vector<unsigned char>>> levels;
};

// The JSON description of a game: {"file", "mode", "game", "logic"}; each level entry may
// hold its "level" record and "actors" record. With an art folder, frames may leave out their
// size and bounding box, which the actor images give.
GameFiles CompileGame(const Json& description, const std::filesystem::path& artFolder = {});
// The file names the game's data goes to, from a level's stored name ("Data\\L1.kiv" -> "L1.kiv").
std::string StoredFileName(const std::string& name);
// Reads the game file and the level files beside it back into a description.
Json DumpGame(const std::filesystem::path& gameFile);
Json DumpLevel(const std::filesystem::path& levelFile);
// The same from bytes in memory; `name` names the file in errors, and `levelFiles` gives
// the bytes of a level file by its stored name (nothing when there is no such file).
using LevelFiles =
    std::function<std::optional<std::vector<unsigned char>>(const std::string& storedName)>;
Json DumpGameBytes(const std::vector<unsigned char>& bytes, const std::string& name,
                   const LevelFiles& levelFiles);
Json DumpLevelBytes(const std::vector<unsigned char>& bytes, const std::string& name);

// The file at `name` below `folder`, each part matched without regard to letter case as the
// runtime does; empty when there is none.
std::filesystem::path FindBeside(const std::filesystem::path& folder, const std::string& name);

std::vector<unsigned char> ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

} // namespace kiv::tools
