// A level compiled by kivc in which two sprites fall under gravity onto a slope of the map's
// scenery, one colliding by its box and one by a circle, and come to rest on it.
#include "GameRun.h"
#include "Images.h"

#include <cmath>
#include <map>

namespace {

// The slope runs from (0, 200) up to (320, 120): y = 200 - x / 4. It is drawn from right to
// left, so that its normal points up, against falling sprites.
const char* Description = R"({
  "file": "slope.kiv",
  "mode": {"width": 320, "height": 240, "bitsPerPixel": 32},
  "game": {"levels": [{"id": 1, "name": "Slope", "firstLoad": 0, "secondLoad": 1,
    "file": "slope.lvl",
    "level": {
      "worldWidth": 320, "worldHeight": 240,
      "viewport": {"width": 320, "height": 240,
                   "boundingBox": {"left": 0, "top": 0, "right": 320, "bottom": 240}},
      "maps": [{"type": "master", "name": "ground", "file": "ground.bmp",
                "collision": [{"x1": 320, "y1": 120, "x2": 0, "y2": 200, "id": 1}]}],
      "sprites": [
        {"name": "box", "actor": 0, "map": "ground", "x": 100, "y": 20, "collisionType": true,
         "checkCollisionWithMap": true, "gravityOn": true, "gravity": 50},
        {"name": "ball", "actor": 1, "map": "ground", "x": 200, "y": 10,
         "checkCollisionWithMap": true, "gravityOn": true, "gravity": 50}]
    },
    "actors": {"actors": [
      {"index": 0, "animations": [{"frames": [{"image": "box.bmp",
        "boundingBox": {"left": 0, "top": 0, "right": 15, "bottom": 15}}]}]},
      {"index": 1, "animations": [{"frames": [{"image": "box.bmp",
        "boundingBox": {"left": 0, "top": 0, "right": 15, "bottom": 15},
        "shapes": [{"isSegment": false, "x": 8, "y": 8, "radius": 8, "id": 2}]}]}]}]}
  }]}
})";

class SlopeGame : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        kiv::test::WriteSolidImage("Art Assets/Maps/ground.bmp", 320, 240, COLORREF{0x404040});
        kiv::test::WriteSolidImage("Art Assets/Actors/box.bmp", 16, 16, COLORREF{0xFF});
        UseCompiledGame(Description, [] { UseLevelReaders(); });
    }
};

} // namespace

TEST_F(SlopeGame, FallingSpritesComeToRestOnTheSlope) {
    struct Seen {
        float x, y;
        bool onMap;
    };
    std::map<std::uint32_t, Seen> box, ball;
    platform->onPass = [&](std::uint32_t next) {
        if (next < 2 || !gNode)
            return;
        Sprite* b = Sprite::Search("box");
        Sprite* c = Sprite::Search("ball");
        box[next - 1] = {b->LeftPosition(), b->TopPosition(), b->CollisionWithMap()};
        ball[next - 1] = {c->LeftPosition(), c->TopPosition(), c->CollisionWithMap()};
    };
    EXPECT_EQ(Run("--frames=150"), 0);
    ASSERT_EQ(box.size(), 150u);

    // The box's lower right corner (x = 115) meets the slope where y = 200 - 115 / 4, with
    // its top 15 pixels higher. The gravity steps that settle it stop it within a quarter
    // of a pixel (g / 2 with g = 0.5) above the contact.
    const float boxContact = 200 - 115 / 4.0f - 15;
    // The circle (centre 8 pixels in, radius 8) touches the slope when its centre lies 8
    // pixels from the line x / 4 + y - 200 = 0, measured along the line's normal.
    const float ballContact = 200 - 208 / 4.0f - 8 * std::sqrt(1 + 1 / 16.0f) - 8;
    for (auto [frame, s] : box)
        ASSERT_LE(s.y, boxContact) << "frame " << frame; // never into the slope
    for (auto [frame, s] : ball)
        ASSERT_LE(s.y, ballContact + 1e-3f) << "frame " << frame;
    for (std::uint32_t frame = 100; frame <= 150; ++frame) {
        EXPECT_EQ(box[frame].x, 100.0f); // straight down
        EXPECT_GE(box[frame].y, boxContact - 0.25f) << "frame " << frame;
        EXPECT_EQ(box[frame].y, box[150].y) << "frame " << frame; // at rest
        EXPECT_TRUE(box[frame].onMap) << "frame " << frame;
        EXPECT_EQ(ball[frame].x, 200.0f);
        EXPECT_GE(ball[frame].y, ballContact - 0.25f) << "frame " << frame;
        EXPECT_EQ(ball[frame].y, ball[150].y) << "frame " << frame;
        EXPECT_TRUE(ball[frame].onMap) << "frame " << frame;
    }
    EXPECT_LT(box[20].y, boxContact - 30); // still falling early on
}
