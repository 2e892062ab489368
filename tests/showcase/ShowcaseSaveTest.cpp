// Saving and loading the showcase at points of its tour: on the title, in the middle of a
// jump, and after a coin.
#include "ShowcaseRun.h"

#include <kiv/Kiv.h>

#include <string>

namespace {

// Into the playground, a run to the right with a jump, then back.
const char* const Tour = "10 press RETURN\n"
                         "40 key RIGHT down\n"
                         "70 press SPACE\n"
                         "100 key RIGHT up\n"
                         "110 key LEFT down\n"
                         "150 key LEFT up\n";

constexpr std::uint32_t OnTitle = 6, MidJump = 80, AfterCoin = 135;

class ShowcaseSaves : public kiv::test::ShowcaseRun {
protected:
    // Plays the tour; at frame 125 the hero is put beside the first coin, which it takes.
    void PlayTour(const std::function<void(std::uint32_t)>& atBoundary) {
        beforeFrame = [&](std::uint32_t frame) {
            if (frame == 1)
                platform->ReadScript(Tour);
            if (frame == 125)
                Sprite::Search("hero")->MapPosition(268, 682, false);
            atBoundary(frame);
        };
        Run("--frames=170");
    }

    static std::string Score() { return Variable::Search("score")->AsciiValue(); }
};

TEST_F(ShowcaseSaves, SaveLoadSaveGivesTheSameBytesAndTheGameGoesOnAsBefore) {
    std::string score;
    PlayTour([&](std::uint32_t frame) {
        if (frame == AfterCoin)
            score = Score();
    });
    ASSERT_EQ(score, "Score: 10");
    auto played = hashes;
    ASSERT_EQ(played.size(), 170u);

    int checked = 0;
    PlayTour([&](std::uint32_t frame) {
        if (frame != OnTitle && frame != MidJump && frame != AfterCoin)
            return;
        std::string first = "first" + std::to_string(frame) + ".sav";
        std::string second = "second" + std::to_string(frame) + ".sav";
        myGame->SaveGame(first.c_str());
        myGame->RealSaveGame();
        myGame->LoadGame(first.c_str());
        myGame->RealLoadGame();
        myGame->SaveGame(second.c_str());
        myGame->RealSaveGame();
        auto bytes = ReadBytes(first);
        ASSERT_GT(bytes.size(), 100u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "KIV_SAR");
        EXPECT_EQ(bytes, ReadBytes(second)) << "at frame " << frame;
        ++checked;
    });
    EXPECT_EQ(checked, 3);
    EXPECT_EQ(hashes, played); // each load brought back exactly the game that was running
}

// F5 saves through the save dialog, F6 loads through the open dialog: the frame after the
// load shows what the frame after the save showed.
TEST_F(ShowcaseSaves, F5AndF6SaveAndLoadThroughTheirDialogs) {
    beforeFrame = [&](std::uint32_t frame) {
        if (frame == 1)
            platform->ReadScript("10 press RETURN\n"
                                 "40 key RIGHT down\n"
                                 "60 key RIGHT up\n"
                                 "64 dialog snapshot\n"
                                 "64 press F5\n"
                                 "70 key LEFT down\n"
                                 "90 key LEFT up\n"
                                 "99 dialog snapshot.sav\n"
                                 "99 press F6\n");
    };
    Run("--frames=110");
    const auto& asked = platform->dialogs.Choosers();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[0].save);
    EXPECT_EQ(asked[0].filterName, "Saved Files (*.sav)");
    EXPECT_EQ(asked[0].pattern, "*.sav");
    EXPECT_EQ(asked[0].extension, "sav");
    EXPECT_EQ(asked[0].folder, folder.string());
    EXPECT_FALSE(asked[1].save);
    EXPECT_EQ(asked[1].filterName, "Load Files (*.sav)");
    auto bytes = ReadBytes("snapshot.sav");
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 7), "KIV_SAV");
    EXPECT_EQ(hashes.at(100), hashes.at(65));
    EXPECT_NE(hashes.at(99), hashes.at(65));
}

// Full screen, a colour filter runs when the game is saved; it is stopped, and the load puts
// the filtered picture back on the screen, though a filter sets its ramp only when it starts.
TEST_F(ShowcaseSaves, ALoadShowsTheGammaRampOfTheSavedGame) {
    beforeFrame = [&](std::uint32_t frame) {
        if (frame == 1)
            platform->ReadScript("10 press RETURN\n");
        if (frame == 100) {
            ASSERT_FALSE(Effect_GammaRamp->IsRunning()); // the playground has faded in
            Effect_GammaRamp->Filter(0x40A0FF, 1000);
        }
        if (frame == 101) {
            myGame->SaveGame("filtered.sav");
            myGame->RealSaveGame();
        }
        if (frame == 102)
            Effect_GammaRamp->Stop();
        if (frame == 110) {
            myGame->LoadGame("filtered.sav");
            myGame->RealLoadGame();
            EXPECT_TRUE(Effect_GammaRamp->IsRunning());
        }
    };
    Run("--fullscreen --frames=112");
    EXPECT_NE(hashes.at(109), hashes.at(101)); // the picture without the filter
    EXPECT_EQ(hashes.at(110), hashes.at(101));
}

} // namespace
