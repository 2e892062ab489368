// A small game made by hand through the exported interface, for the tests that run a real
// game executable: the three test levels, reporting on standard output.
//
//   KIV_TEST_XSHOT=FILE   the title level photographs the X display into FILE while it loads
//   KIV_TEST_END_IN_LOAD  the title level ends the game while it loads (its "Loading ..."
//                         frame is then the last frame shown)
#include "TestLevels.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

void Say(const std::string& what) {
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}

void PhotographDisplay(const char* file) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::string command = std::string("import -window root '") + file + "'";
    if (std::system(command.c_str()) != 0)
        Say("photograph failed");
}

void WhileLoading(GameNode* level) {
    if (level->Id() != 1)
        return;
    if (const char* file = std::getenv("KIV_TEST_XSHOT"))
        PhotographDisplay(file);
    if (std::getenv("KIV_TEST_END_IN_LOAD"))
        myGame->EndGame();
}

} // namespace

int main(int argc, char** argv) {
    testgame::report = Say;
    testgame::whileLoading = WhileLoading;
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
        testgame::AddLevels();
    };
    OnGameStartP = [] { Say("GameStart"); };
    OnGameEndP = [] { Say("GameEnd"); };
    int code = KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
    Say("exit code " + std::to_string(code));
    return code;
}
