// The sprites and the cursor of a level record exist as soon as the level record is read;
// what needs the level's actors (animation, frame, a peg-registered placement) follows the
// actor record.
#include "GameRun.h"
#include "Images.h"

#include <string>

namespace {

const char* Description = R"({
  "file": "record.kiv",
  "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
  "game": {"levels": [{"id": 1, "name": "Record", "firstLoad": 0, "secondLoad": 1,
    "file": "record.lvl",
    "level": {
      "worldWidth": 160, "worldHeight": 120,
      "viewport": {"width": 160, "height": 120,
                   "boundingBox": {"left": 0, "top": 0, "right": 160, "bottom": 120}},
      "maps": [{"type": "master", "name": "world", "file": "world.bmp"}],
      "cursor": {"actor": 2, "animation": 1, "frame": 0, "show": true},
      "sprites": [
        {"name": "walker", "actor": 0, "animation": 1, "frame": 2, "map": "world",
         "x": 40, "y": 30},
        {"name": "pegged", "actor": 0, "animation": 0, "map": "world", "pegRegistered": true,
         "x": 60, "y": 50}]
    },
    "actors": {"actors": [
      {"index": 0, "animations": [
        {"frames": [{"image": "a.bmp", "centerX": 5, "centerY": 4}]},
        {"frames": [{"image": "a.bmp"}, {"image": "a.bmp"}, {"image": "a.bmp", "delay": 7}]}]},
      {"index": 2, "animations": [
        {"frames": [{"image": "a.bmp"}]},
        {"frames": [{"image": "a.bmp"}]}]}]}
  }]}
})";

// What the first load function saw right after GenerateLevel.
struct AfterLevelRecord {
    bool walker = false, pegged = false, cursor = false;
    int walkerId = 0;
    float walkerX = 0;
} seen;

void ReadLevelRecord(GameNode* level) {
    GenerateLevel(level);
    Sprite* walker = Sprite::Search("walker");
    seen.walker = walker != nullptr;
    seen.walkerId = walker ? walker->Id() : 0;
    seen.walkerX = walker ? walker->MapPositionX() : 0;
    seen.pegged = Sprite::Search("pegged") != nullptr;
    seen.cursor = pKivCursor && pKivCursor->CursorSprite();
}

class LevelRecord : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        seen = AfterLevelRecord();
        kiv::test::WriteSolidImage("Art Assets/Maps/world.bmp", 160, 120, COLORREF{0x204060});
        kiv::test::WriteSolidImage("Art Assets/Actors/a.bmp", 10, 8, COLORREF{0xFF});
        UseCompiledGame(Description, [] { UseLevelReaders(ReadLevelRecord); });
    }
};

} // namespace

TEST_F(LevelRecord, SpritesAndTheCursorExistBeforeTheActorRecord) {
    struct Final {
        int walkerAnimation = -1, walkerFrame = -1, walkerId = 0, cursorAnimation = -1;
        unsigned int walkerDelay = 0;
        float peggedX = 0, peggedY = 0;
    } after;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame != 2 || !gNode) // after the first frame
            return;
        Sprite* walker = Sprite::Search("walker");
        Sprite* pegged = Sprite::Search("pegged");
        if (walker) {
            after.walkerAnimation = walker->Animation();
            after.walkerFrame = walker->Frame();
            after.walkerDelay = walker->Delay();
            after.walkerId = walker->Id();
        }
        if (pegged) {
            after.peggedX = pegged->LeftPosition();
            after.peggedY = pegged->TopPosition();
        }
        if (pKivCursor)
            after.cursorAnimation = static_cast<int>(pKivCursor->Animation());
    };
    EXPECT_EQ(Run("--frames=2"), 0);

    EXPECT_TRUE(seen.walker);
    EXPECT_TRUE(seen.pegged);
    EXPECT_TRUE(seen.cursor);
    EXPECT_EQ(seen.walkerX, 40.0f);
    // The cursor's sprite came first, as in the level record.
    EXPECT_EQ(seen.walkerId, 2);
    EXPECT_EQ(after.walkerId, seen.walkerId);

    EXPECT_EQ(after.walkerAnimation, 1);
    EXPECT_EQ(after.walkerFrame, 2);
    EXPECT_EQ(after.walkerDelay, 6u); // frame 2's delay of 7, counted down once
    EXPECT_EQ(after.cursorAnimation, 1);
    // Placed by its frame centre (5, 4) once the frame is known.
    EXPECT_EQ(after.peggedX, 55.0f);
    EXPECT_EQ(after.peggedY, 46.0f);
    // Nothing was refused on the way: the animations were set once they could be checked.
    EXPECT_EQ(ReadText("Kiv.log").find("not found"), std::string::npos);
}
