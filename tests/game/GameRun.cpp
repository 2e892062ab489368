#include "GameRun.h"

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

void Load(GameNode* level) {
    Say(std::string("load ") + level->Name());
    level->QuitOnEscape(level->Id() == 1);
}
void Exit(GameNode* level) {
    Say(std::string("exit ") + level->Name());
}
void End(GameNode* level) {
    Say(std::string("end ") + level->Name());
}

void AddLevels() {
    const char* names[] = {"Title", "World", "Bonus"};
    for (int i = 0; i < 3; ++i) {
        auto* level = new GameNode;
        level->Id(i + 1);
        level->Name(names[i]);
        level->LoadFunctions(Load, nullptr);
        level->ExitFunction(Exit);
        level->EndFunction(End);
        myGame->Add(level);
    }
}

} // namespace

void GameRun::SetUp() {
    Scratch::SetUp();
    platform = static_cast<HookedPlatform*>(&platform::Install(std::make_unique<HookedPlatform>()));
    GameLog().clear();
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
        AddLevels();
    };
    OnGameStartP = [] { Say("GameStart"); };
    OnGameEndP = [] { Say("GameEnd"); };
}

int GameRun::Run(const char* commandLine) {
    std::vector<char> line(commandLine, commandLine + std::strlen(commandLine) + 1);
    return KivMain(nullptr, nullptr, line.data(), 1);
}

} // namespace kiv::test
