#include "GameRun.h"
#include "game/FrameSteps.h"
#include "game/LoopGlobals.h"
#include "platform/FileInstanceLock.h"
#include "testgame/TestLevels.h"

#include <filesystem>

using kiv::test::GameLog;
using Log = std::vector<std::string>;

namespace {

const Log StartUp = {"SetDataPath", "LoadGameFile", "Mode", "BuildLogic", "Kiv", "GameStart"};

Log With(Log first, const Log& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

class GameLoop : public kiv::test::GameRun {};

} // namespace

TEST_F(GameLoop, StartsLevelZeroRunsFramesAndShutsDownInOrder) {
    EXPECT_EQ(Run("--frames=3"), 0);
    EXPECT_EQ(GameLog(), With(StartUp, {"load Title", "GameEnd"}));
    EXPECT_EQ(kiv::FrameCounter, 3u);
    EXPECT_FALSE(platform->window.Exists());
    EXPECT_EQ(ReadText("Kiv.log"), "");
    EXPECT_EQ(myGame, nullptr);
    EXPECT_EQ(pKeyboard, nullptr);
    // A level without maps shows black frames.
    EXPECT_EQ(platform->presenter.ColorAt(0, 0), 0u);
    EXPECT_EQ(platform->presenter.Last().width, 320);
    kiv::platform::FileInstanceLock next;
    EXPECT_TRUE(next.Acquire()); // the lock went with the game
}

// A measuring program learns of each step of every frame as it begins, in the frame's order.
TEST_F(GameLoop, FrameStepsAreReportedInOrderOncePerFrame) {
    using kiv::FrameStep;
    static std::vector<FrameStep> steps;
    steps.clear();
    kiv::frameStepObserver = [](FrameStep s) { steps.push_back(s); };
    EXPECT_EQ(Run("--frames=2"), 0);
    kiv::frameStepObserver = nullptr;
    const std::vector<FrameStep> frame = {
        FrameStep::Input,   FrameStep::Logic,   FrameStep::Maps,    FrameStep::Overlay,
        FrameStep::Console, FrameStep::Effects, FrameStep::Present, FrameStep::End};
    std::vector<FrameStep> expected = frame;
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(steps, expected);
}

TEST_F(GameLoop, LevelSwitchesCallExitAndEndFunctionsAndKeepTheHistory) {
    std::vector<int> history;
    int cursor = -2;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3 || frame == 5)
            myGame->LevelNumber(frame == 3 ? 1 : 2);
        if (frame == 7 || frame == 9 || frame == 11) // to World, to Title, then nothing before
            myGame->BackwardLevel();
        if (frame == 12)
            myGame->LevelNumber(2); // drops World and Bonus after Title
        if (frame == 14)
            myGame->RestartLevel(); // no new entry
        if (frame == 16)
            myGame->ForwardLevel(); // nothing after the last entry
        if (frame == 17) {
            history = myGame->LevelHistory();
            cursor = myGame->HistoryCursor();
            myGame->EndGame();
        }
    };
    Run();
    EXPECT_EQ(GameLog(),
              With(StartUp, {"load Title", "exit Title", "end Title",  "load World", "exit World",
                             "end World",  "load Bonus", "exit Bonus", "end Bonus",  "load World",
                             "exit World", "end World",  "load Title", "exit Title", "end Title",
                             "load Bonus", "exit Bonus", "end Bonus",  "load Bonus", "GameEnd"}));
    EXPECT_EQ(history, (std::vector<int>{0, 2}));
    EXPECT_EQ(cursor, 1);
}

TEST_F(GameLoop, TheExitFunctionRunsOnceHoweverOftenASwitchIsRequested) {
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3) {
            myGame->LevelNumber(2);
            myGame->LevelNumber(1);
            myGame->LevelNumber(1);
        }
        if (frame == 5)
            myGame->EndGame();
    };
    Run();
    EXPECT_EQ(GameLog(),
              With(StartUp, {"load Title", "exit Title", "end Title", "load World", "GameEnd"}));
}

TEST_F(GameLoop, UnknownLevelIsReportedOnceAndNothingSwitches) {
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 2 || frame == 3)
            myGame->LevelNumber(7);
        if (frame == 4)
            myGame->EndGame();
    };
    Run();
    EXPECT_EQ(GameLog(), With(StartUp, {"load Title", "GameEnd"}));
    std::string log = ReadText("Kiv.log");
    EXPECT_NE(log.find("Target Function : void Game::LevelNumber(int)\n"
                       "Error Message : The level numbered: 7 is not found.\n"),
              std::string::npos);
    EXPECT_EQ(log.find("The level numbered"), log.rfind("The level numbered"));
}

TEST_F(GameLoop, EscapeQuitsOnlyWhereTheLevelAllowsIt) {
    platform->ReadScript("4 press ESCAPE\n9 press ESCAPE\n");
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 2)
            myGame->LevelNumber(1);
        if (frame == 6)
            myGame->LevelNumber(0);
    };
    Run();
    EXPECT_EQ(kiv::FrameCounter, 9u);
    EXPECT_EQ(GameLog().back(), "GameEnd");
}

TEST_F(GameLoop, F10PausesLogicDrawingAndPresentationUntilPressedAgain) {
    platform->ReadScript("3 press F10\n8 press F10\n");
    std::vector<int> presented(12);
    std::vector<bool> paused(12);
    platform->onPass = [&](std::uint32_t frame) {
        presented[frame - 1] = platform->presenter.Presented();
        paused[frame - 1] = kiv::GamePaused;
        if (frame == 11)
            myGame->EndGame();
    };
    Run();
    // Frames 3 to 7 run paused: nothing is presented from frame 3 until frame 8 resumes.
    EXPECT_EQ(presented[3], presented[7]);
    EXPECT_GT(presented[9], presented[8]);
    EXPECT_FALSE(paused[2]);
    EXPECT_TRUE(paused[3]);
    EXPECT_TRUE(paused[7]);
    EXPECT_FALSE(paused[8]);
}

TEST_F(GameLoop, F12SwitchesToFullScreenAndBackAndF9TogglesTheConsole) {
    platform->ReadScript("3 press F12\n6 press F12\n8 press F9\n");
    std::vector<bool> windowed(11), consoleShown(11);
    platform->onPass = [&](std::uint32_t frame) {
        windowed[frame - 1] = _IsWindowed && platform->window.windowed;
        consoleShown[frame - 1] = pConsole && pConsole->Show();
        if (frame == 10)
            myGame->EndGame();
    };
    Run();
    EXPECT_TRUE(windowed[2]);
    EXPECT_FALSE(windowed[3]);
    EXPECT_FALSE(windowed[5]);
    EXPECT_TRUE(windowed[6]);
    EXPECT_TRUE(consoleShown[7]);
    EXPECT_FALSE(consoleShown[8]);
    EXPECT_EQ(GameLog(), With(StartUp, {"load Title", "GameEnd"}));
}

TEST_F(GameLoop, PrintScreenSavesNumberedScreenShots) {
    platform->ReadScript("3 press SYSRQ\n5 press SYSRQ\n");
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 8)
            myGame->EndGame();
    };
    Run();
    for (const char* name : {"ScreenShot0001.jpg", "ScreenShot0002.jpg"}) {
        std::vector<unsigned char> jpeg = ReadBytes(name);
        ASSERT_GE(jpeg.size(), 3u) << name;
        EXPECT_EQ(jpeg[0], 0xFF); // a JPEG starts with its SOI marker
        EXPECT_EQ(jpeg[1], 0xD8);
    }
    EXPECT_FALSE(std::filesystem::exists("ScreenShot0003.jpg"));
}

TEST_F(GameLoop, FocusLossPausesAndFocusBackResumesUnlessMinimisedWhilePaused) {
    platform->ReadScript("3 focus lost\n5 focus gained\n"
                         "7 press F10\n9 minimize\n9 focus lost\n11 focus gained\n");
    std::vector<bool> paused(14), inhibited(14);
    platform->onPass = [&](std::uint32_t frame) {
        paused[frame - 1] = kiv::GamePaused;
        inhibited[frame - 1] = platform->window.screenSaverInhibited;
        if (frame == 13)
            myGame->EndGame();
    };
    Run();
    // The state seen at the start of frame n is that left by frame n - 1.
    EXPECT_FALSE(paused[2]);
    EXPECT_TRUE(paused[3]);
    EXPECT_FALSE(inhibited[3]);
    EXPECT_FALSE(paused[5]);
    EXPECT_TRUE(inhibited[5]);
    EXPECT_TRUE(paused[7]);
    EXPECT_TRUE(paused[12]); // minimised while paused: focus back keeps the pause
}

TEST_F(GameLoop, ClosingTheWindowEndsTheGameNormally) {
    platform->ReadScript("4 close\n");
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(GameLog(), With(StartUp, {"load Title", "GameEnd"}));
    EXPECT_LE(kiv::FrameCounter, 5u);
}

TEST_F(GameLoop, ASecondCopyIsRefused) {
    kiv::platform::FileInstanceLock first;
    ASSERT_TRUE(first.Acquire());
    EXPECT_EQ(Run("--frames=2"), 3);
    EXPECT_EQ(GameLog(), (Log{"SetDataPath", "LoadGameFile", "Mode"}));
    ASSERT_EQ(platform->dialogs.Shown().size(), 1u);
    EXPECT_EQ(platform->dialogs.Shown()[0].text,
              "Cannot create more than one \x91Kiv\x92 instance.");
    EXPECT_EQ(platform->dialogs.Shown()[0].caption, "Exit error.");
    EXPECT_EQ(platform->dialogs.Shown()[0].flags, kiv::platform::MbIconError);
}

TEST_F(GameLoop, ScreenSaverCommandLine) {
    mode.screenSaver = true;
    const Log untilMode = {"SetDataPath", "LoadGameFile", "Mode"};
    EXPECT_EQ(Run(""), 0); // no option: ends at once
    EXPECT_EQ(GameLog(), untilMode);

    GameLog().clear();
    EXPECT_EQ(Run("/c"), 0); // settings without a window: no message
    EXPECT_TRUE(platform->dialogs.Shown().empty());
    EXPECT_EQ(Run("/c:1234"), 0);
    ASSERT_EQ(platform->dialogs.Shown().size(), 1u);
    EXPECT_EQ(platform->dialogs.Shown()[0].text, "No settings available.");
    EXPECT_EQ(platform->dialogs.Shown()[0].caption, "Information");

    GameLog().clear();
    EXPECT_EQ(Run("/p 0 --frames=2"), 0); // window 0: a full-screen saver, not a preview
    EXPECT_FALSE(platform->window.windowed);
    EXPECT_EQ(GameLog().back(), "GameEnd");
    EXPECT_EQ(Run("/p 4242 --frames=2"), 0);
    EXPECT_TRUE(platform->window.windowed);
    EXPECT_EQ(Run("/a --frames=2"), 0); // password option without a window starts normally
    EXPECT_EQ(GameLog().back(), "GameEnd");
}

TEST_F(GameLoop, AnyKeyWakesAFullScreenSaver) {
    mode.screenSaver = true;
    platform->ReadScript("5 key SPACE down\n");
    Run("/s --frames=50");
    EXPECT_EQ(kiv::FrameCounter, 5u);
}

TEST_F(GameLoop, LostSurfacesAreRebuiltAndTheFrameShownAgain) {
    int before = 0;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3) {
            before = platform->presenter.Presented();
            platform->presenter.LoseNextPresent();
        }
        if (frame == 4) {
            // The lost frame came through after the rebuild, after "Loading ..." was shown.
            EXPECT_EQ(platform->presenter.Presented(), before + 2);
            myGame->EndGame();
        }
    };
    Run();
    EXPECT_EQ(GameLog().back(), "GameEnd");
}

TEST_F(GameLoop, AModeTheDisplayCannotShowEndsTheStart) {
    mode.depth = 12;
    EXPECT_EQ(Run("--frames=2"), 4);
    ASSERT_EQ(platform->dialogs.Shown().size(), 1u);
    EXPECT_EQ(platform->dialogs.Shown()[0].text,
              "Initialization of the graphics subsystem failed.");
    EXPECT_EQ(GameLog(), (Log{"SetDataPath", "LoadGameFile", "Mode"}));

    mode.windowed = false;
    EXPECT_EXIT(Run("--frames=2"), ::testing::ExitedWithCode(1),
                "The mode 320 X 240 X 12 is not supported\\.");

    mode.depth = 16;
    mode.windowed = true;
    platform->window.desktopDepth = 32;
    EXPECT_EXIT(Run("--frames=2"), ::testing::ExitedWithCode(1),
                "Please set your display device to 16 bit\\.");
}

TEST(FramePacing, IdleWaitsOutTheFrameAndReportsTheRate) {
    auto& p = kiv::platform::headless::Install();
    GameNode level;
    level.FPStoMS(50);
    p.clock.Set(1000);
    level.StartTimer();
    p.clock.Advance(5);
    level.EndTimer();
    level.Idle();
    EXPECT_EQ(p.clock.Milliseconds(), 1020u);
    EXPECT_FLOAT_EQ(level.CurrentFPS(), 50.0f);

    level.StartTimer();
    p.clock.Advance(32); // a slow frame: no wait, the rate it managed
    level.EndTimer();
    level.Idle();
    EXPECT_EQ(p.clock.Milliseconds(), 1052u);
    EXPECT_FLOAT_EQ(level.CurrentFPS(), 1000.0f / 32.0f);

    level.FPStoMS(60); // 16 ms a frame
    level.StartTimer();
    p.clock.Advance(16);
    level.EndTimer();
    level.Idle();
    EXPECT_FLOAT_EQ(level.CurrentFPS(), 62.5f);
}

// A level added by value is a new level made from the given one: it keeps its Id, name,
// functions and objects after the given one is gone, its own frame-rate variable answers
// F11, and a second level of the same Id is not added.
TEST_F(GameLoop, ALevelAddedByValueIsACopyThatOutlivesTheOriginal) {
    platform->ReadScript("6 press F11\n");
    GameNode* added = nullptr;
    bool fpsShown = false;
    std::string copied;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 2) {
            GameNode level;
            level.Id(4);
            level.Name("Copy");
            level.WorldWidth(900);
            level.LoadFunctions(testgame::Load, nullptr);
            level.Add(new Variable(7));
            added = myGame->Add(level);
            GameNode twin;
            twin.Id(4);
            twin.Name("Twin");
            EXPECT_EQ(myGame->Add(twin), added);
        }
        if (frame == 3)
            myGame->LevelName("Copy");
        if (frame == 8) {
            for (node* n = gNode->Variables().Head(); !n->EOList(); n = n->Next())
                if (std::string(static_cast<Variable*>(n)->Name()) == "FPS")
                    fpsShown = static_cast<Variable*>(n)->Visible();
            copied = std::to_string(gNode->WorldWidth()) + " " +
                     std::to_string(gNode->Variables().Count());
            myGame->EndGame();
        }
    };
    Run();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Game::Levels().Count(), 0) << "the levels went with the game";
    EXPECT_EQ(GameLog(),
              With(StartUp, {"load Title", "exit Title", "end Title", "load Copy", "GameEnd"}));
    EXPECT_EQ(copied, "900 2"); // the number and the frame-rate variable
    EXPECT_TRUE(fpsShown);
}
