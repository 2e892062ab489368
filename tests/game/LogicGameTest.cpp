// A game whose logic is data compiled by kivc, run through the frame loop: the calls its
// functions receive, frame by frame.
#include "GameRun.h"
#include "game/LoopGlobals.h"

namespace {

std::vector<std::string> calls;

void Say(const std::string& what) {
    calls.push_back(std::to_string(kiv::FrameCounter) + " " + what);
}
void GameFunction(void*) {
    Say("game");
}
void Tick(void*) {
    Say("tick");
}
void Wait(int entry, void*) {
    Say("wait " + std::to_string(entry));
}
void Go(int entry, void*) {
    Say("go " + std::to_string(entry));
    if (entry == 1)
        myGame->LevelNumber(1);
}
void Play(int entry, void* object) {
    Say(std::string("play ") + std::to_string(entry) + " " +
        static_cast<GameNode*>(object)->Name());
}
bool ReturnPressed(void*) {
    Say("edge");
    return pKeyboard->IsTriggered(DIK_RETURN);
}
void LoadLevel(GameNode* level) {
    Say(std::string("load ") + level->Name());
    GenerateLevel(level);
}

const char* Description = R"({
  "file": "logic.kiv",
  "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
  "game": {
    "behavior": [{"kind": "function", "index": 0}],
    "levels": [
      {"id": 1, "name": "Title", "firstLoad": 0, "file": "title.lvl",
       "level": {"behavior": [{"kind": "stateMachine", "index": 0}, {"kind": "timer", "index": 0}]}},
      {"id": 2, "name": "Play", "firstLoad": 0, "file": "play.lvl",
       "level": {"behavior": [{"kind": "stateMachine", "index": 1}], "quitOnEscape": true}}
    ]
  },
  "logic": {
    "timers": [{"function": 1, "delay": 2}],
    "stateMachines": [
      {"states": [{"function": 0, "edges": [{"to": 1, "function": 2}]}, {"function": 1}]},
      {"states": [{"function": 3}]}
    ]
  }
})";

class LogicGame : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        calls.clear();
        UseCompiledGame(Description, [] {
            FArray = NewVoidPointers(2);
            FArray[0] = reinterpret_cast<void*>(GameFunction);
            FArray[1] = reinterpret_cast<void*>(Tick);
            maxFIndex = 1;
            SMFArray = NewVoidPointers(4);
            SMFArray[0] = reinterpret_cast<void*>(Wait);
            SMFArray[1] = reinterpret_cast<void*>(Go);
            SMFArray[2] = reinterpret_cast<void*>(ReturnPressed);
            SMFArray[3] = reinterpret_cast<void*>(Play);
            LVFArray = NewVoidPointers(1);
            LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
        });
    }
};

} // namespace

TEST_F(LogicGame, MachinesTimersAndALevelSwitchThroughAnEdge) {
    platform->ReadScript("5 press RETURN\n8 press ESCAPE\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(calls,
              (std::vector<std::string>{
                  "0 load Title", "1 game",        "1 wait 1",    "2 game",       "2 edge",
                  "2 wait 0",     "2 tick",        "3 game",      "3 edge",       "3 wait 0",
                  "4 game",       "4 edge",        "4 wait 0",    "4 tick",       "5 game",
                  "5 edge",       "5 go 1",        "5 load Play", "6 game",       "6 play 1 Play",
                  "7 game",       "7 play 0 Play", "8 game",      "8 play 0 Play"}));
    EXPECT_EQ(kiv::test::GameLog().back(), "GameEnd");
}
