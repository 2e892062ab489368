// A small game made by hand through the exported interface, for the tests that run a real
// game executable: three levels whose functions report what happens on standard output.
//
//   KIV_TEST_XSHOT=FILE   level 0 photographs the X display into FILE while it loads
//   KIV_TEST_END_IN_LOAD  level 0 ends the game while it loads (its "Loading ..." frame is
//                         then the last frame shown)
#include <kiv/Kiv.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

void Say(const char* what, const char* level = nullptr) {
    std::printf(level ? "%s %s\n" : "%s\n", what, level);
    std::fflush(stdout);
}

void PhotographDisplay(const char* file) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::string command = std::string("import -window root '") + file + "'";
    if (std::system(command.c_str()) != 0) Say("photograph failed");
}

void Load(GameNode* level) {
    Say("load", level->Name());
    level->QuitOnEscape(level->Id() == 1);
    if (level->Id() != 1) return;
    if (const char* file = std::getenv("KIV_TEST_XSHOT")) PhotographDisplay(file);
    if (std::getenv("KIV_TEST_END_IN_LOAD")) myGame->EndGame();
}

void Exit(GameNode* level) {
    Say("exit", level->Name());
}
void End(GameNode* level) {
    Say("end", level->Name());
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

int main(int argc, char** argv) {
    SetDataPathP = [] { Say("SetDataPath"); };
    LoadGameFileP = [] { Say("LoadGameFile"); };
    ModeP = [] {
        Say("Mode");
        SetMode(320, 240, 32);
        _IsWindowed = true;
        _IsScreenSaver = false;
    };
    BuildLogicP = [] { Say("BuildLogic"); };
    KivP = [] {
        Say("Kiv");
        AddLevels();
    };
    OnGameStartP = [] { Say("GameStart"); };
    OnGameEndP = [] { Say("GameEnd"); };
    int code = KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
    Say("exit code", std::to_string(code).c_str());
    return code;
}
