// A level with particle systems, compiled by kivc and run through the frame loop: rain that
// settles on the world's floor, a spare system taken into use that dies and leaves, and a
// sprite whose bounding box is drawn while the game runs. The data goes through the dumper
// and back to the same bytes.
#include "GameDataFiles.h"
#include "GameRun.h"
#include "Images.h"
#include "SaveDump.h"

namespace {

const char* Description = R"({
  "file": "weather.kiv",
  "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
  "game": {"levels": [{"id": 1, "name": "Weather", "firstLoad": 0, "secondLoad": 1,
    "file": "weather.lvl",
    "level": {
      "worldWidth": 160, "worldHeight": 120,
      "viewport": {"width": 160, "height": 120,
                   "boundingBox": {"left": 0, "top": 0, "right": 160, "bottom": 120}},
      "maps": [{"type": "master", "name": "world", "file": "world.bmp",
                "collision": [{"x1": 0, "y1": 100, "x2": 160, "y2": 100, "id": 1}]}],
      "sprites": [{"name": "box", "actor": 0, "map": "world", "x": 100, "y": 20,
                   "showSpriteBoundingBox": true}],
      "particleSystems": [
        {"count": 8, "initFunction": 0, "updateFunction": 1, "name": "rain", "map": "world",
         "gravity": 0.5, "x": 20, "y": 10},
        {"count": 3, "initFunction": 2, "updateFunction": 1, "name": "spark", "map": "world",
         "x": 5, "y": 60, "unused": true}]
    },
    "actors": {"actors": [{"index": 0, "animations": [{"frames": [{"image": "box.bmp"}]}]}]}
  }]}
})";

constexpr COLORREF Ground = 0x404040, Box = 0x800000, White = 0xFFFFFF;

int raindrop = 0;

// Eight drops a tenth of the width apart, falling from the system's origin onto the floor.
void Rain(Particle* p) {
    p->Position(static_cast<float>(10 * (raindrop++ % 8)), 0);
    p->MaximumAge(1000);
    p->Color(White, White);
    p->CheckCollisionWithMap(true);
}
void Spark(Particle* p) {
    p->MaximumAge(3);
    p->Color(White, White);
}
void Steer(Particle*) {}

class ParticleGame : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        raindrop = 0;
        kiv::test::WriteSolidImage("Art Assets/Maps/world.bmp", 160, 120, Ground);
        kiv::test::WriteSolidImage("Art Assets/Actors/box.bmp", 10, 10, Box);
        UseCompiledGame(Description, [] {
            FArray = NewVoidPointers(3);
            FArray[0] = reinterpret_cast<void*>(Rain);
            FArray[1] = reinterpret_cast<void*>(Steer);
            FArray[2] = reinterpret_cast<void*>(Spark);
            maxFIndex = 2;
            UseLevelReaders();
        });
    }
    COLORREF Shown(int x, int y) { return platform->presenter.ColorAt(x, y); }
};

} // namespace

TEST_F(ParticleGame, RainSettlesAndASpareSystemLivesAndLeaves) {
    int systemsAtStart = -1, systemsAfterSpark = -1;
    bool rested = false, boxOutlined = false, sparkHidden = false, sparkShown = false;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 2)
            systemsAtStart = gNode->ParticleSystems().Count();
        if (frame == 40) {
            // Every drop rests with its square's bottom on the floor at y = 100.
            rested = true;
            for (int k = 0; k < 8; ++k)
                rested = rested && Shown(20 + 10 * k, 99) == White &&
                         Shown(20 + 10 * k, 98) == Ground && Shown(21 + 10 * k, 99) == Ground;
            boxOutlined = Shown(100, 25) == White && Shown(104, 25) == Box;
            sparkHidden = Shown(5, 60) == Ground;
            ParticleSystem::Use("spark");
        }
        if (frame == 41)
            sparkShown = Shown(5, 60) == White;
        if (frame == 48) {
            systemsAfterSpark = gNode->ParticleSystems().Count();
            myGame->EndGame();
        }
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(systemsAtStart, 2);
    EXPECT_TRUE(rested);
    EXPECT_TRUE(boxOutlined);
    EXPECT_TRUE(sparkHidden);
    EXPECT_TRUE(sparkShown);
    EXPECT_EQ(systemsAfterSpark, 1);
    EXPECT_EQ(ReadText("Kiv.log"), "");
}

TEST_F(ParticleGame, TheDumperGivesBackTheSameDescriptionAndBytes) {
    using kiv::tools::Json;
    Json description = Json::parse(Description);
    kiv::tools::GameFiles files = kiv::tools::CompileGame(description, folder);
    kiv::tools::WriteFile("weather.kiv", files.game);
    for (const auto& [name, bytes] : files.levels)
        kiv::tools::WriteFile(name, bytes);
    Json dumped = kiv::tools::DumpGame("weather.kiv");
    const Json& systems = dumped["game"]["levels"][0]["level"]["particleSystems"];
    ASSERT_EQ(systems.size(), 2u);
    EXPECT_EQ(systems[0]["name"], "rain");
    EXPECT_EQ(systems[0]["gravity"], 0.5);
    EXPECT_EQ(systems[0]["updateFunction"], 1);
    EXPECT_EQ(systems[1]["unused"], true);
    EXPECT_EQ(systems[1]["paused"], false);
    kiv::tools::GameFiles again = kiv::tools::CompileGame(dumped);
    EXPECT_EQ(again.game, files.game);
    ASSERT_EQ(again.levels.size(), 1u);
    EXPECT_EQ(again.levels[0].second, files.levels[0].second);
}

// A system that dies leaves the level's count of systems, as a save records it; a wrapped map
// runs no systems, even its own when asked.
TEST_F(ParticleGame, ADeadSystemLeavesTheCountAndAWrappedMapRunsNone) {
    unsigned int sparkAge = 1;
    bool saved = false;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 40)
            ParticleSystem::Use("spark");
        if (frame != 48 || saved)
            return;
        saved = true;
        myGame->SaveGame("weather.sav");
        myGame->RealSaveGame();
        auto* tiles = new Map("tiles", "world.bmp", Map::Wrapped, 1, 0, 0, false, {0, 0, 40, 40});
        gNode->Add(tiles);
        auto* spark = new ParticleSystem(3, 2, 1);
        spark->BelongToMap("tiles");
        gNode->Add(spark);
        gNode->UpdateParticleSystem(tiles);
        sparkAge = spark->At(0).Age();
        myGame->EndGame();
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(sparkAge, 0u);
    kiv::tools::Json dump = kiv::tools::DumpSave(ReadBytes("weather.sav"), "weather.sav");
    EXPECT_EQ(dump["record"]["particleSystems"].size(), 1u);
    EXPECT_EQ(dump["record"]["particleSystemCount"], 1);
}
