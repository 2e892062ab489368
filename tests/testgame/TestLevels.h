#pragma once

// The three hand-made levels of the test game ("Title", "World", "Bonus"), through the
// public interface only. Their functions report "load <name>", "exit <name>" and
// "end <name>"; the title level quits on Escape.
#include <kiv/Kiv.h>

#include <string>

namespace testgame {

inline void (*report)(const std::string& what) = nullptr;
// Runs after a level's load report, for tests that act while a level loads.
inline void (*whileLoading)(GameNode* level) = nullptr;

inline void Load(GameNode* level) {
    report(std::string("load ") + level->Name());
    level->QuitOnEscape(level->Id() == 1);
    if (whileLoading)
        whileLoading(level);
}
inline void Exit(GameNode* level) {
    report(std::string("exit ") + level->Name());
}
inline void End(GameNode* level) {
    report(std::string("end ") + level->Name());
}

inline void AddLevels() {
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

} // namespace testgame
