#include "GameRun.h"

#include "GameDataFiles.h"
#include "host/HostGlobals.h"
#include "testgame/TestLevels.h"

#include <cstring>

namespace kiv::test {

GameMode GameRun::mode;

std::vector<std::string>& GameLog() {
    static std::vector<std::string> log;
    return log;
}

namespace {

void Say(const std::string& what) {
    GameLog().push_back(what);
}

} // namespace

void GameRun::SetUp() {
    Scratch::SetUp();
    CurrentDirectory = folder.c_str(); // the work files of recordings and replays go here
    platform = static_cast<HookedPlatform*>(&platform::Install(std::make_unique<HookedPlatform>()));
    GameLog().clear();
    testgame::report = Say;
    testgame::whileLoading = nullptr;
    mode = GameMode();
    SetDataPathP = [] { Say("SetDataPath"); };
    LoadGameFileP = [] { Say("LoadGameFile"); };
    ModeP = [] {
        Say("Mode");
        SetMode(mode.width, mode.height, mode.depth);
        _IsWindowed = mode.windowed;
        _IsScreenSaver = mode.screenSaver;
    };
    BuildLogicP = [] { Say("BuildLogic"); };
    KivP = [] {
        Say("Kiv");
        testgame::AddLevels();
    };
    OnGameStartP = [] { Say("GameStart"); };
    OnGameEndP = [] { Say("GameEnd"); };
}

void GameRun::UseCompiledGame(const std::string& description, void (*buildLogic)()) {
    static std::string gameFile;
    tools::Json game = tools::Json::parse(description);
    gameFile = game["file"].get<std::string>();
    WriteGame(game, folder / "Data", folder);
    SetDataPathP = [] {
        RTDPath = std::filesystem::current_path().c_str();
        ArtAssetsPath = RTDPath;
    };
    LoadGameFileP = [] { CreateBinaryGameFile(gameFile.c_str()); };
    ModeP = GenerateMode;
    BuildLogicP = buildLogic;
    KivP = [] {
        GenerateLevels();
        GenerateLogic();
    };
}

int GameRun::Run(const char* commandLine) {
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    return KivMain(nullptr, nullptr, line.data(), 1);
}

} // namespace kiv::test
