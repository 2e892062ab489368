#pragma once

#include <kiv/data/Builders.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/Game.h>

#include "GameData.h"
#include "host/Shutdown.h"

#include <filesystem>

namespace kiv::test {

// Compiles a game description (the JSON kivc reads) into `folder`; with `art`, actor frames
// take their sizes from the images under art/"Art Assets"/Actors.
inline void WriteGame(const tools::Json& description, const std::filesystem::path& folder,
                      const std::filesystem::path& art = {}) {
    tools::GameFiles files = tools::CompileGame(description, art);
    std::filesystem::create_directories(folder);
    tools::WriteFile(folder / tools::StoredFileName(description["file"].get<std::string>()),
                     files.game);
    for (const auto& [name, bytes] : files.levels) {
        std::filesystem::create_directories((folder / name).parent_path());
        tools::WriteFile(folder / name, bytes);
    }
}

// A game, "game.kiv", of one level whose file "levels\\one.lvl" holds the records `level` and
// (when given) `actors`.
inline tools::Json OneLevelGame(const tools::Json& level, const tools::Json& actors = nullptr) {
    tools::Json game = tools::Json::parse(R"({"file": "game.kiv", "game": {"levels": [
        {"id": 1, "name": "One", "file": "levels\\one.lvl"}]}})");
    game["game"]["levels"][0]["level"] = level;
    if (!actors.is_null())
        game["game"]["levels"][0]["actors"] = actors;
    return game;
}

// An actor record of one actor, index 0, with one animation of the one frame given.
inline tools::Json OneFrameActors(const tools::Json& frame) {
    return {{"actors", {{{"index", 0}, {"animations", {{{"frames", {frame}}}}}}}}};
}

// What KivMain and the game executable do before the first level starts: the game file
// `name` is opened and read, with the logic tables that `buildLogic` makes.
inline void ReadGameFile(const char* name, void (*buildLogic)()) {
    CreateBinaryGameFile(name);
    GenerateMode();
    buildLogic();
    myGame = new Game;
    GenerateLevels();
    GenerateLogic();
}

// Frees what reading a game left, after a fatal exit too: the game's objects (as the fatal
// exit tears them down) and the open game and level files (as the end of the process would).
inline void CloseGameFiles() {
    TearDown();
    delete _GameFile;
    _GameFile = nullptr;
    delete _LevelFile;
    _LevelFile = nullptr;
}

} // namespace kiv::test
