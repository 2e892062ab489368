#pragma once

#include <kiv/Kiv.h>

#include "Scratch.h"
#include "platform/headless/HeadlessPlatform.h"

#include <functional>
#include <string>
#include <vector>

namespace kiv::test {

// A headless backend whose passes of the main loop can run test code, standing in for the
// game logic that drives a real game.
class HookedPlatform : public platform::headless::HeadlessPlatform {
public:
    void StartPass(std::uint32_t nextFrame) override {
        HeadlessPlatform::StartPass(nextFrame);
        if (onPass)
            onPass(nextFrame);
    }
    std::function<void(std::uint32_t)> onPass;
};

// What the game's callbacks and level functions reported, in order.
std::vector<std::string>& GameLog();

// The mode the game sets in its mode callback.
struct GameMode {
    int width = 320;
    int height = 240;
    int depth = 32;
    bool windowed = true;
    bool screenSaver = false;
};

// Runs KivMain with a small hand-made game of three levels ("Title", "World", "Bonus"):
// level n + 1 has Id n + 1; the title level quits on Escape.
class GameRun : public Scratch {
protected:
    void SetUp() override;
    int Run(const char* commandLine = "");
    // Plays a game compiled by kivc from `description` instead, with "Data" and "Art Assets"
    // in the test's folder; `buildLogic` fills the logic tables. Level functions are
    // `LVFArray` entries the description names.
    void UseCompiledGame(const std::string& description, void (*buildLogic)());
    // The level functions of most compiled games: 0 reads the level record, 1 the actors.
    static void UseLevelReaders(void (*first)(GameNode*) = GenerateLevel) {
        LVFArray = NewVoidPointers(2);
        LVFArray[0] = reinterpret_cast<void*>(first);
        LVFArray[1] = reinterpret_cast<void*>(GenerateActors);
    }

    static GameMode mode;
    HookedPlatform* platform = nullptr;
};

} // namespace kiv::test
