#include <kiv/Kiv.h>

#include "FatalExit.h"
#include "GameDataFiles.h"
#include "Scratch.h"
#include "data/LogicTables.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "host/Shutdown.h"
#include "platform/headless/HeadlessPlatform.h"

#include <algorithm>
#include <random>

using kiv::tools::Json;

namespace {

void F0(void*) {}
void F1(void*) {}
void S0(int, void*) {}
void S1(int, void*) {}
bool E0(void*) {
    return true;
}
void L0(GameNode*) {}
void L1(GameNode*) {}

// The game executable's side: the tables its logic functions live in.
void BuildLogic() {
    FArray = NewVoidPointers(2);
    FArray[0] = reinterpret_cast<void*>(F0);
    FArray[1] = reinterpret_cast<void*>(F1);
    maxFIndex = 1;
    SMFArray = NewVoidPointers(3);
    SMFArray[0] = reinterpret_cast<void*>(S0);
    SMFArray[1] = reinterpret_cast<void*>(S1);
    SMFArray[2] = reinterpret_cast<void*>(E0);
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = reinterpret_cast<void*>(L0);
    LVFArray[1] = reinterpret_cast<void*>(L1);
}

Json TestGame() {
    return Json::parse(R"({
      "file": "game.kiv",
      "mode": {"width": 320, "height": 200, "bitsPerPixel": 8, "windowed": false},
      "game": {
        "behavior": [{"kind": "function", "index": 1, "active": false}],
        "levels": [
          {"id": 1, "name": "Title", "firstLoad": 0, "secondLoad": 1, "exit": 1, "file": "levels\\TITLE.lvl",
           "level": {"consoleColor": 255, "worldWidth": 1000, "worldHeight": 800, "framesPerSecond": 50,
                     "quitOnEscape": true, "showScrollingBoundingBox": true,
                     "network": {"port": 2000, "fallbackLevel": 1, "networkLevel": true},
                     "viewport": {"boundingBox": {"top": 10, "left": 20, "bottom": 300, "right": 400},
                                  "worldX": 5, "worldY": 6, "inflateRight": 30, "width": 320, "height": 200},
                     "behavior": [{"kind": "timer", "index": 0}],
                     "palette": "title.bmp",
                     "variables": [{"name": "score", "value": 42.5, "behavior": [{"kind": "function", "index": 0}]},
                                   {"name": "who", "isText": true, "value": "Zoë"}]}},
          {"id": 2, "name": "World", "file": "world.lvl"},
          {"id": 2, "name": "Twin", "file": "twin.lvl"}
        ],
        "title": "Builders"
      },
      "logic": {
        "timers": [{"function": 0, "delay": 510, "unit": "milliseconds", "mode": "once"}],
        "stateMachines": [
          {"states": [{"function": 0, "subMachine": 1, "edges": [{"to": 1, "function": 2}]},
                      {"function": 1, "edges": [{"to": 0, "always": true}]}],
           "startingState": 1},
          {"states": [{"function": 1}]}
        ],
        "pathStateMachines": [
          {"states": [{"kind": 0}, {"kind": 0}, {"kind": 0}],
           "stations": [{"x": 0, "y": 0}, {"x": 10.7, "y": 0}, {"x": 10.7, "y": 5.2}],
           "links": [{"from": 0, "to": 1}, {"from": 1, "to": 2}],
           "pathSegments": [{"segment": {"x1": 0, "y1": 0, "x2": 10, "y2": 0},
                             "second": {"x1": 10, "y1": 0, "x2": 10, "y2": 5}}, {"present": false}]}
        ],
        "movementPatterns": [{"name": "zig", "vectors": [{"dx": 3, "dy": 4}, {"dx": 0, "dy": 0}]}]
      }
    })");
}

class Builders : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        RTDPath = folder.c_str();
        kiv::InitPaths();
        kiv::test::WriteGame(TestGame(), folder / "Data");
    }
    void TearDown() override {
        kiv::test::CloseGameFiles();
        kiv::platform::Resources::Instance().Clear();
        Scratch::TearDown();
    }
    // What KivMain and the game executable do before the first level starts.
    void ReadGameFile() { kiv::test::ReadGameFile("game.kiv", BuildLogic); }
    // Replaces the first `from` in the file at `path` by `to`.
    void Patch(const std::string& path, const std::vector<unsigned char>& from,
               const std::vector<unsigned char>& to) {
        std::vector<unsigned char> bytes = ReadBytes(path);
        auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
        ASSERT_NE(at, bytes.end()) << path;
        std::copy(to.begin(), to.end(), at);
        WriteBytes(path, bytes);
    }
};

} // namespace

TEST(LogicTables, LookUpsOutsideTheTablesAreNull) {
    kiv::FreeLogicTables();
    EXPECT_EQ(GetFunction(0), nullptr);
    EXPECT_EQ(GetStateMachine(0), nullptr);
    EXPECT_EQ(GetPathStateMachine(0), nullptr);
    EXPECT_EQ(GetTimer(0), nullptr);
    EXPECT_EQ(GetStateFunction(0), nullptr);

    BuildLogic();
    EXPECT_EQ(GetFunction(maxFIndex), reinterpret_cast<void*>(F1));
    EXPECT_EQ(GetFunction(maxFIndex + 1), nullptr);
    EXPECT_EQ(GetFunction(-1), nullptr);
    EXPECT_EQ(GetTimerFunction(0), reinterpret_cast<void*>(F0));
    EXPECT_EQ(GetEdgeFunction(2), reinterpret_cast<void*>(E0));
    EXPECT_EQ(GetStateFunction(3), nullptr); // past the table that was made
    kiv::FreeLogicTables();
    EXPECT_EQ(maxFIndex, -1);
}

TEST_F(Builders, TheGameFileFillsModeLevelsAndLogic) {
    ReadGameFile();
    EXPECT_EQ(kiv::ModeWidth, 320);
    EXPECT_EQ(kiv::ModeHeight, 200);
    EXPECT_EQ(kiv::ModeBitsPerPixel, 8);
    EXPECT_FALSE(_IsWindowed);

    ASSERT_EQ(Game::Levels().Count(), 2); // the second level with Id 2 is refused
    GameNode* title = Game::Search(0);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title->Name(), "Title");
    EXPECT_EQ(std::string(title->LevelFile()), std::string(kiv::DataPath) + "levels\\TITLE.lvl");
    EXPECT_STREQ(Game::Search(1)->Name(), "World");
    EXPECT_EQ(myGame->GetBehavior().Count(), 1);
    EXPECT_FALSE(myGame->GetBehavior().FunctionActiveStatus(1));
    EXPECT_EQ(Headless().window.title, "Builders");

    ASSERT_EQ(maxTMIndex, 0);
    EXPECT_EQ(TMArray[0].m_Function, F0);
    EXPECT_EQ(TMArray[0].m_Unit, Milliseconds);
    EXPECT_EQ(TMArray[0].TimeRemaining(), 510u); // converted only when a behavior adds it
    EXPECT_EQ(TMArray[0].GetMode(), Once);

    ASSERT_EQ(maxSMIndex, 1);
    const std::vector<State>& states = SMArray[0].States();
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(states[0].m_Function, S0);
    EXPECT_EQ(states[0].m_SubMachine, &SMArray[1]);
    ASSERT_EQ(states[0].Edges().size(), 1u);
    EXPECT_EQ(states[0].Edges()[0].m_Condition, E0);
    EXPECT_TRUE(states[1].Edges()[0].m_Always);
    EXPECT_EQ(SMArray[0].GetStartingState(), 1);

    ASSERT_EQ(maxPSMIndex, 0);
    const PathStateMachine& path = PSMArray[0];
    EXPECT_EQ(path.ShortestDistance(0, 2), 15); // 10 + 5: lengths are truncated first
    EXPECT_EQ(path.Via(0, 2), 1);
    EXPECT_EQ(path.Route(0, 2), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(path.Via(1, 0), -2); // links have a direction
    EXPECT_TRUE(path.Route(1, 0).empty());
    EXPECT_EQ(path.Segments().size(), 2u);

    ASSERT_EQ(maxMPIndex, 0);
    EXPECT_STREQ(MPArray[0].Name(), "zig");
    EXPECT_FLOAT_EQ(MPArray[0].GetVector(0).x, 0.6f);
    EXPECT_FLOAT_EQ(MPArray[0].GetVector(0).length, 5.0f);
    EXPECT_EQ(MPArray[0].GetVector(1).length, 0.0f);
}

TEST_F(Builders, TheLevelRecordSetsUpTheLevel) {
    ReadGameFile();
    GameNode* title = Game::Search(0);
    pConsole = new Console;
    _LevelFile = new File(title->LevelFile(), File::Reading);
    GenerateLevel(title);
    EXPECT_TRUE(_LevelFile->EndOfFile() || _LevelFile->Position() == _LevelFile->Size());

    EXPECT_EQ(pConsole->Color(), 255u);
    EXPECT_EQ(title->WorldWidth(), 1000u);
    EXPECT_EQ(title->TargetFPS(), 50u);
    EXPECT_TRUE(title->QuitOnEscape());
    EXPECT_TRUE(title->NetworkLevel());
    EXPECT_EQ(title->Port(), 2000u);
    EXPECT_STREQ(title->PaletteName(), "title.bmp");
    ViewPort& v = title->GetViewPort();
    EXPECT_EQ(v.WorldXPos(), 5.0f);
    EXPECT_EQ(v.MaxViewPortWorldXPos(), 680.0f);
    EXPECT_EQ(v.BBViewPortXPos(), 20.0f);
    EXPECT_EQ(v.BBViewPortBottomPos(), 300.0f);
    EXPECT_EQ(v.MaxInflateBBRight(), 30.0f);
    EXPECT_EQ(title->GetBehavior().Count(), 1);

    // Two variables, added newest first, after the level's own frame-rate variable.
    List& vars = title->Variables();
    ASSERT_EQ(vars.Count(), 3);
    auto* who = static_cast<Variable*>(vars.Head());
    auto* score = static_cast<Variable*>(who->Next());
    EXPECT_STREQ(who->Text(), "Zo\xEB");
    EXPECT_STREQ(score->Name(), "score");
    EXPECT_STREQ(score->Text(), "42"); // "%.0f" rounds half to even
    EXPECT_EQ(score->GetBehavior().Count(), 1);
}

TEST_F(Builders, ALevelFileEmbeddedInTheGameIsReadFromThere) {
    std::vector<unsigned char> level =
        ReadBytes((folder / "Data" / "levels" / "TITLE.lvl").string());
    std::filesystem::remove(folder / "Data" / "levels" / "TITLE.lvl");
    const KivResource table[] = {{"RCDATA", "levels\\TITLE.lvl", level.data(), level.size()}};
    kiv::platform::Resources::Instance().Register(table, 1);
    ReadGameFile();
    GameNode* title = Game::Search(0);
    EXPECT_STREQ(title->LevelFile(), "levels\\TITLE.lvl"); // the resource's name, as it stands
    File file(title->LevelFile(), File::Reading);
    EXPECT_EQ(file.Size(), static_cast<long>(level.size()));
}

TEST_F(Builders, ParticleSystemsAreBuiltIntoTheLevel) {
    Json game = TestGame();
    game["game"]["levels"][0]["level"]["particleSystems"] = Json::parse(R"([
        {"count": 10, "initFunction": 0, "updateFunction": 1, "name": "sparks", "gravity": 0.25,
         "x": 5, "y": 6, "unused": true, "paused": true},
        {"count": 2, "initFunction": 9, "name": "odd", "map": "nowhere"}])");
    kiv::test::WriteGame(game, folder / "Data");
    ReadGameFile();
    static int inits = 0;
    FArray[0] = reinterpret_cast<void*>(+[](Particle*) { ++inits; }); // particle functions
    FArray[1] = reinterpret_cast<void*>(+[](Particle*) {});
    inits = 0;
    gNode = Game::Search(0);
    _LevelFile = new File(gNode->LevelFile(), File::Reading);
    GenerateLevel(gNode);
    EXPECT_EQ(_LevelFile->Position(), _LevelFile->Size());
    EXPECT_EQ(std::string(_UE.errorMessage), "The map name \"nowhere\" that the Particle System "
                                             "\"odd\" should belong to, does not exist.");

    List& systems = gNode->ParticleSystems();
    ASSERT_EQ(systems.Count(), 2);
    auto* sparks = static_cast<ParticleSystem*>(systems.Head()->Next()); // newest first
    EXPECT_STREQ(sparks->Name(), "sparks");
    EXPECT_EQ(sparks->Count(), 10u);
    EXPECT_EQ(sparks->Gravity(), 0.25f);
    EXPECT_EQ(sparks->MapPositionX(), 5.0f);
    EXPECT_EQ(sparks->MapPositionY(), 6.0f);
    EXPECT_TRUE(sparks->Unused());
    EXPECT_TRUE(sparks->Pause());
    EXPECT_EQ(sparks->At(9).Owner(), sparks);
    EXPECT_EQ(inits, 10);
    EXPECT_EQ(ParticleSystem::Search("odd")->Count(), 2u);
    gNode = nullptr;
}

TEST_F(Builders, CountsBeyondWhatTheirTablesHoldAreDamagedData) {
    // kivc refuses both: the counts are raised by one in the files it wrote.
    Json game = TestGame();
    game["game"]["levels"][0]["level"]["particleSystems"] =
        Json::parse(R"([{"count": 262143, "name": "all"}, {"count": 1, "name": "one more"}])");
    kiv::test::WriteGame(game, folder / "Data");
    std::string gamePath = (folder / "Data" / "game.kiv").string();
    std::string levelPath = (folder / "Data" / "levels" / "TITLE.lvl").string();
    kiv::test::CatchFatalExits catcher;
    auto& headless = Headless();

    // One path network of 3 states and 3 stations; 1024 stations are the most.
    Patch(gamePath, {1, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0}, {1, 0, 0, 0, 3, 0, 0, 0, 1, 4, 0, 0});
    EXPECT_THROW(ReadGameFile(), kiv::test::FatalExit);
    ASSERT_FALSE(headless.dialogs.Shown().empty());
    EXPECT_EQ(headless.dialogs.Shown().back().text,
              "The data file " + gamePath +
                  " is damaged: the number of a path network's stations is out of range.");

    // The first particle count, 262143, becomes 262144: one more than a level holds in all.
    kiv::test::WriteGame(game, folder / "Data");
    Patch(levelPath, {0xFF, 0xFF, 0x03, 0x00}, {0x00, 0x00, 0x04, 0x00});
    ReadGameFile();
    _LevelFile = new File(Game::Search(0)->LevelFile(), File::Reading);
    EXPECT_THROW(GenerateLevel(Game::Search(0)), kiv::test::FatalExit);
    EXPECT_EQ(headless.dialogs.Shown().back().text,
              "The data file " + levelPath +
                  " is damaged: the number of particles is out of range.");
}

TEST_F(Builders, DamagedGameFilesEndInTheFatalMessageNeverACrash) {
    std::vector<unsigned char> good = ReadBytes((folder / "Data" / "game.kiv").string());
    auto& headless = Headless();
    kiv::test::CatchFatalExits catcher;
    auto attempt = [&](const std::vector<unsigned char>& bytes) {
        WriteBytes((folder / "Data" / "game.kiv").string(), bytes);
        try {
            ReadGameFile();
            return false;
        } catch (const kiv::test::FatalExit&) {
            return true;
        }
    };
    // Every cut of the file ends in the message naming it.
    for (size_t cut = 0; cut < good.size(); cut += 3) {
        ASSERT_TRUE(attempt({good.begin(), good.begin() + static_cast<long>(cut)})) << cut;
        EXPECT_NE(headless.dialogs.Shown().back().text.find("game.kiv for reading"),
                  std::string::npos);
    }
    // Damaged bytes anywhere: a fatal message or a game, never a crash (the sanitizers watch).
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        std::vector<unsigned char> bytes = good;
        for (int flips = 0; flips < 4; ++flips)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        if (!attempt(bytes))
            kiv::TearDown();
        delete _GameFile;
        _GameFile = nullptr;
    }
}
