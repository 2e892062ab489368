// A scrolling level compiled by kivc, run through the frame loop: the presented frames are
// the same from run to run and change exactly when the viewport moves.
#include "GameRun.h"
#include "Images.h"
#include "game/LoopGlobals.h"

namespace {

// World position of the viewport after each frame, scrolled by the level's own function.
void Scroll(void*) {
    static const int steps[] = {0, 0, 3, 3, 0, 0, 0, -5, 0, 2, 0, 0};
    ViewPort& view = gNode->GetViewPort();
    int step = steps[kiv::FrameCounter % 12];
    view.WorldXPos(view.WorldXPos() + static_cast<float>(step));
    view.WorldYPos(view.WorldYPos() + static_cast<float>(step) / 2);
}

const char* Description = R"({
  "file": "scroll.kiv",
  "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
  "game": {"levels": [{"id": 1, "name": "Scroll", "firstLoad": 0, "file": "scroll.lvl",
    "level": {
      "worldWidth": 400, "worldHeight": 300,
      "viewport": {"width": 160, "height": 120, "worldX": 20, "worldY": 10,
                   "boundingBox": {"left": 0, "top": 0, "right": 160, "bottom": 120}},
      "behavior": [{"kind": "function", "index": 0}],
      "maps": [
        {"type": "master", "name": "world", "file": "world.bmp"},
        {"type": "standard", "name": "hills", "file": "hills.bmp", "y": 60, "scrollRatioX": 0.5,
         "useTransparency": true, "transparencyColor": 0,
         "displayRect": {"left": 0, "top": 0, "right": 400, "bottom": 300}},
        {"type": "wrapped", "name": "clouds", "file": "clouds.bmp",
         "useTransparency": true, "transparencyColor": 0,
         "displayRect": {"left": 0, "top": 0, "right": 160, "bottom": 30}}]
    }}]}
})";

class ScrollingGame : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        kiv::test::WriteImage("Art Assets/Maps/world.bmp", 400, 300, [](int x, int y) {
            return static_cast<COLORREF>((x * 3 & 0xFF) | (y * 7 & 0xFF) << 8 | 0x200000);
        });
        kiv::test::WriteImage("Art Assets/Maps/hills.bmp", 300, 40, [](int x, int y) {
            return static_cast<COLORREF>(y > 20 + (x / 10) % 10 ? 0x00A000 : 0);
        });
        kiv::test::WriteImage("Art Assets/Maps/clouds.bmp", 64, 30, [](int x, int y) {
            return static_cast<COLORREF>((x - 32) * (x - 32) + (y - 15) * (y - 15) < 100 ? 0xFFFFFF
                                                                                         : 0);
        });
        UseCompiledGame(Description, [] {
            FArray = NewVoidPointers(1);
            FArray[0] = reinterpret_cast<void*>(Scroll);
            maxFIndex = 0;
            UseLevelReaders();
        });
    }

    static Map* MasterMap() {
        for (node* n = gNode ? gNode->Maps().Head() : nullptr; n && !n->EOList(); n = n->Next())
            if (static_cast<Map*>(n)->IsMasterMap())
                return static_cast<Map*>(n);
        return nullptr;
    }

    struct Shown {
        std::uint32_t hash;
        unsigned int x, y;
        bool operator==(const Shown&) const = default;
    };
    // Runs the level for 30 frames and returns each presented frame with the place of the
    // world it was drawn from (the master map's position on the screen).
    std::vector<Shown> Play() {
        std::vector<Shown> frames;
        platform->onPass = [&](std::uint32_t frame) {
            Map* world = MasterMap();
            if (frame > 1 && world)
                frames.push_back(
                    {platform->presenter.Hash(), world->ViewPortX(), world->ViewPortY()});
        };
        EXPECT_EQ(Run("--frames=30"), 0);
        return frames;
    }
};

} // namespace

TEST_F(ScrollingGame, FramesAreStableAndChangeExactlyWhenTheViewportMoves) {
    std::vector<Shown> first = Play();
    ASSERT_GE(first.size(), 25u);
    std::vector<Shown> second = Play();
    EXPECT_EQ(first, second);

    int moves = 0;
    for (size_t i = 1; i < first.size(); ++i) {
        bool moved = first[i].x != first[i - 1].x || first[i].y != first[i - 1].y;
        moves += moved;
        EXPECT_EQ(first[i].hash != first[i - 1].hash, moved) << "frame " << i;
    }
    EXPECT_GT(moves, 5);
}
