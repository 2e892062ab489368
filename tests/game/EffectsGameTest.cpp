// The screen effects in a running game: stepped over each finished frame, holding a level
// switch back until they end, standing still while the game is paused. And the sound card,
// made once the window exists.
#include "GameRun.h"
#include "game/LoopGlobals.h"

#include <cstdlib>

namespace {

class EffectsGame : public kiv::test::GameRun {
protected:
    COLORREF Shown(int x, int y) { return platform->presenter.ColorAt(x, y); }
};

} // namespace

TEST_F(EffectsGame, ALevelSwitchWaitsForTheClosingEffect) {
    std::vector<std::string> level(16);
    std::vector<COLORREF> left(16), middle(16);
    std::vector<int> presented(16);
    platform->onPass = [&](std::uint32_t frame) {
        level[frame] = gNode ? gNode->Name() : "";
        left[frame] = Shown(0, 100);
        middle[frame] = Shown(150, 100);
        presented[frame] = platform->presenter.Presented();
        if (frame == 3) {
            // 320 pixels wide: bars of 160 / 4 = 40 pixels more each frame, then 2 held.
            Effect_OpenClose->LeftRightClose(0x0000FF, 4, 2);
            myGame->LevelNumber(1); // the second level, "World"
        }
        if (frame == 15)
            myGame->EndGame();
    };
    Run();
    // The state seen at the start of frame n is that left by frame n - 1.
    EXPECT_EQ(left[3], 0u); // a level without maps shows black
    EXPECT_EQ(left[4], 0x0000FFu);
    EXPECT_EQ(middle[6], 0u); // three steps: 120 pixels from each side
    EXPECT_EQ(middle[7], 0x0000FFu);
    for (int frame = 4; frame <= 11; ++frame)
        EXPECT_EQ(level[frame], "Title") << frame;
    // The effect's last step (frame 10) ends it: that frame is not shown, the switch follows.
    EXPECT_EQ(presented[11], presented[10]);
    EXPECT_EQ(level[12], "World");
    EXPECT_EQ(left[13], 0u); // over: nothing covers the new level
}

TEST_F(EffectsGame, EffectsStandStillWhileThePlayerPauses) {
    platform->ReadScript("4 press F10\n10 press F10\n");
    std::vector<bool> running(20);
    platform->onPass = [&](std::uint32_t frame) {
        running[frame] = Effect_RandomDissolve->IsRunning();
        if (frame == 2)
            Effect_RandomDissolve->OneColor(0xFFFFFF, 2, 0); // three steps
        if (frame == 19)
            myGame->EndGame();
    };
    Run();
    EXPECT_TRUE(running[9]); // paused from frame 4 to frame 9: only two steps so far
    EXPECT_TRUE(running[11]);
    EXPECT_FALSE(running[13]);
}

TEST_F(EffectsGame, TheSoundCardIsMadeAfterTheWindowAndKeepsIt) {
    // A process of its own: the sound card is made once per process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Run("--frames=2");
            bool kept = SoundCard::m_Created && SoundCard::m_GameWindow &&
                        SoundCard::m_GameWindow == &platform->GetWindow();
            std::exit(kept ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
