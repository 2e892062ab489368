// Sprites of a level compiled by kivc, with actor images from the art folder, run through the
// frame loop: animation, drawing order, flips, colour keys and the main character's camera.
#include "GameRun.h"
#include "Images.h"
#include "game/LoopGlobals.h"

#include <algorithm>
#include <map>

namespace {

const char* Description = R"({
  "file": "sprites.kiv",
  "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
  "game": {"levels": [{"id": 1, "name": "Sprites", "firstLoad": 0, "secondLoad": 1,
    "file": "sprites.lvl",
    "level": {
      "worldWidth": 400, "worldHeight": 120,
      "viewport": {"width": 160, "height": 120,
                   "boundingBox": {"left": 30, "top": 0, "right": 100, "bottom": 120}},
      "behavior": [{"kind": "function", "index": 0}],
      "maps": [{"type": "master", "name": "ground", "file": "ground.bmp"}],
      "sprites": [
        {"name": "runner", "actor": 0, "map": "ground", "mainCharacter": true, "x": 40, "y": 80,
         "speed": 2, "directionX": 1},
        {"name": "walker", "actor": 0, "map": "ground", "x": 60, "y": 40, "speed": 0.25,
         "directionX": -1},
        {"name": "red", "actor": 1, "map": "ground", "x": 10, "y": 10, "zOrder": 3},
        {"name": "blue", "actor": 2, "map": "ground", "x": 15, "y": 10, "zOrder": 3}]
    },
    "actors": {"actors": [
      {"index": 0, "animations": [{"frames": [
        {"image": "step0.bmp", "delay": 2, "flipHorizontally": true},
        {"image": "step1.bmp", "delay": 2, "flipHorizontally": true},
        {"image": "step2.bmp", "delay": 2, "flipHorizontally": true}]}]},
      {"index": 1, "animations": [{"frames": [{"image": "red.bmp"}]}]},
      {"index": 2, "animations": [{"frames": [{"image": "blue.bmp"}]}]}]}
  }]}
})";

constexpr COLORREF Key = 0x00FF00;

// Frame `step` of the animation, 8x6: every pixel its own colour, two corners keyed.
COLORREF StepPixel(int step, int x, int y) {
    if ((x == 0 && y == 0) || (x == 7 && y == 5))
        return Key;
    return static_cast<COLORREF>(0x100000 * (step + 1) | (x * 30) << 8 | y * 40);
}

COLORREF Ground(int x, int y) {
    return static_cast<COLORREF>((x & 0xFF) | (y & 0xFF) << 8 | 0x80000000 >> 24);
}

// The level's function: moves the blue square in front at frame 10, the red one at frame 20.
void Reorder(void*) {
    if (kiv::FrameCounter == 10)
        Sprite::Search("blue")->ZOrder(4);
    if (kiv::FrameCounter == 20)
        Sprite::Search("red")->ZOrder(4);
}

class SpriteGame : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        kiv::test::WriteImage("Art Assets/Maps/ground.bmp", 400, 120, Ground);
        for (int step = 0; step < 3; ++step)
            kiv::test::WriteImage("Art Assets/Actors/step" + std::to_string(step) + ".bmp", 8, 6,
                                  [step](int x, int y) { return StepPixel(step, x, y); });
        kiv::test::WriteSolidImage("Art Assets/Actors/red.bmp", 10, 10, COLORREF{0x0000FF});
        kiv::test::WriteSolidImage("Art Assets/Actors/blue.bmp", 10, 10, COLORREF{0xFF0000});
        UseCompiledGame(Description, [] {
            FArray = NewVoidPointers(1);
            FArray[0] = reinterpret_cast<void*>(Reorder);
            maxFIndex = 0;
            UseLevelReaders();
        });
    }

    // What the last presented frame showed, seen at the start of each pass.
    struct Seen {
        int runnerX, runnerFrame, walkerX, walkerY, walkerFrame;
        float viewX;      // the viewport at the end of the frame
        float drawnViewX; // the viewport the frame was drawn from
        COLORREF overlap;
        std::string order;                // display list 0, front to back of the list
        bool walkerMirrored, walkerKeyed; // checked while the walker is wholly on screen
    };

    std::map<std::uint32_t, Seen> Play(int frames) {
        std::map<std::uint32_t, Seen> seen;
        platform->onPass = [&](std::uint32_t frame) {
            if (frame > 2 && gNode && gNode->DisplayList(0).Count() == 4)
                seen[frame - 1] = Look();
        };
        EXPECT_EQ(Run(("--frames=" + std::to_string(frames)).c_str()), 0);
        return seen;
    }

    float drawnFrom = 0;
    int walkerChecks = 0;
    Seen Look() {
        auto& shown = platform->presenter;
        Sprite* runner = Sprite::Search("runner");
        Sprite* walker = Sprite::Search("walker");
        Seen s{runner->ViewportX(),
               runner->Frame(),
               walker->ViewportX(),
               walker->ViewportY(),
               walker->Frame(),
               gNode->GetViewPort().WorldXPos(),
               drawnFrom,
               shown.ColorAt(17, 12),
               "",
               true,
               true};
        for (node* n = gNode->DisplayList(0).Head(); !n->EOList(); n = n->Next())
            s.order += std::string(static_cast<Sprite*>(n)->Name()) + " ";
        // The walker heads left, so it is drawn mirrored; its keyed corners show the ground,
        // drawn from where the viewport stood during the frame: the end of the frame before.
        int wx = s.walkerX, wy = s.walkerY;
        int groundX = static_cast<int>(drawnFrom);
        drawnFrom = s.viewX;
        if (wx < 0 || wx + 8 > 160)
            return s;
        ++walkerChecks;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                COLORREF image = StepPixel(walker->Frame(), 7 - x, y);
                COLORREF expected = image == Key ? Ground(wx + x + groundX, wy + y) : image;
                if (image == Key)
                    s.walkerKeyed &= shown.ColorAt(wx + x, wy + y) == expected;
                else
                    s.walkerMirrored &= shown.ColorAt(wx + x, wy + y) == expected;
            }
        return s;
    }
};

} // namespace

TEST_F(SpriteGame, AnimationOrderFlipsKeysAndTheCamera) {
    std::map<std::uint32_t, Seen> seen = Play(150);
    ASSERT_TRUE(seen.count(5) && seen.count(140));

    // Each frame of delay 2 shows for three updates, then the next; the animation loops.
    std::vector<int> runs; // lengths of the runs of one animation frame
    int last = -1;
    for (auto& [frame, s] : seen) {
        if (s.runnerFrame == last) {
            ++runs.back();
            continue;
        }
        if (last != -1) {
            EXPECT_EQ(s.runnerFrame, (last + 1) % 3) << "frame " << frame;
        }
        last = s.runnerFrame;
        runs.push_back(1);
    }
    ASSERT_GT(runs.size(), 10u);
    for (size_t i = 1; i + 1 < runs.size(); ++i)
        EXPECT_EQ(runs[i], 3) << "run " << i;

    // Equal z-orders: the square added later sits before the other and is drawn behind it.
    EXPECT_EQ(seen[9].order, "walker runner blue red ");
    EXPECT_EQ(seen[9].overlap, 0x0000FFu);
    EXPECT_EQ(seen[10].overlap, 0x0000FFu); // re-sorted at the end of frame 10
    EXPECT_EQ(seen[11].order, "walker runner red blue ");
    EXPECT_EQ(seen[11].overlap, 0xFF0000u);
    // A moved sprite goes before sprites of the same z-order: red, now 4 as well, still
    // goes under blue.
    EXPECT_EQ(seen[21].order, "walker runner red blue ");
    EXPECT_EQ(seen[21].overlap, 0xFF0000u);

    for (auto& [frame, s] : seen) {
        EXPECT_TRUE(s.walkerMirrored) << "frame " << frame;
        EXPECT_TRUE(s.walkerKeyed) << "frame " << frame;
    }
    EXPECT_GT(walkerChecks, 30);

    // The runner (2 pixels a frame) reaches the box's right edge; the viewport then follows
    // it 2 pixels a frame, so the runner stays put on the screen, up to the world's right
    // end, after which the runner moves on. A frame is drawn from the viewport of the frame
    // before, so the runner's place in the world is its screen place plus that.
    std::map<int, int> screenPlaces; // screen x -> frames spent there
    for (auto [frame, s] : seen) {
        if (!seen.count(frame + 1))
            continue;
        const Seen& next = seen[frame + 1];
        EXPECT_EQ(next.runnerX + next.drawnViewX - (s.runnerX + s.drawnViewX), 2.0f)
            << "frame " << frame;
        if (next.viewX != s.viewX) {
            EXPECT_EQ(next.viewX - s.viewX, 2.0f) << "frame " << frame;
        }
        ++screenPlaces[s.runnerX];
    }
    auto [place, frames] =
        *std::max_element(screenPlaces.begin(), screenPlaces.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_GT(frames, 50);
    EXPECT_GE(place + 8, 100); // its right edge has pushed past the box's
    EXPECT_LE(place + 8, 104);
    EXPECT_GT(seen.rbegin()->second.runnerX, place); // moving on past the world's end
    EXPECT_EQ(seen.rbegin()->second.viewX, 240.0f);  // world 400 - viewport 160
}
