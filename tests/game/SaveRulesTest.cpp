// When saves, loads, recordings and replays happen, what refuses them, and what a bad or
// interrupted file does to the game.
#include "FatalExit.h"
#include "GameRun.h"
#include "game/LoopGlobals.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using Boxes = std::vector<std::string>;
using kiv::test::GameLog;

class SaveRules : public kiv::test::GameRun {
protected:
    void TearDown() override {
        OnSaveP = nullptr;
        GameRun::TearDown();
    }

    // The first seven bytes of a file: a save's kind.
    static std::string Magic(const char* path) { return ReadText(path).substr(0, 7); }
    // Saves the running game under `name` at once, as the next frame would.
    static void SaveNow(const char* name) {
        myGame->SaveGame(name);
        myGame->RealSaveGame();
    }
    // What KivMain leaves for its end when a fatal exit has cut it short.
    static void AfterFatalExit() {
        kiv::platform::Current().GetWindow().Destroy();
        delete pMouse;
        pMouse = nullptr;
        delete pKeyboard;
        pKeyboard = nullptr;
        _Ghwnd = nullptr;
    }
};

TEST_F(SaveRules, NothingIsSavedLoadedRecordedOrReplayedOnANetworkLevel) {
    platform->ReadScript("4 press F5\n5 press F6\n6 press F7\n7 press F8\n"
                         "8 press F1\n9 press F3\n10 press SYSRQ\n");
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3) {
            gNode->NetworkLevel(true);
            myGame->SaveGame("named.sav");
            myGame->LoadGame("named.sav");
            myGame->StartRecording();
            EXPECT_FALSE(myGame->SaveRequested());
            EXPECT_FALSE(myGame->LoadRequested());
            EXPECT_FALSE(myGame->Recording());
        }
        if (frame == 12)
            myGame->EndGame();
    };
    Run();
    EXPECT_TRUE(platform->dialogs.Choosers().empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
        << "only Kiv.log and the lock file";
}

// A replay plays back F5, F6, F7, F8, F10, Print Screen and F1: none of them acts.
TEST_F(SaveRules, AReplayRefusesSavingLoadingPausingScreenshotsAndRecording) {
    const unsigned char keys[] = {DIK_F5, DIK_F6, DIK_F7, DIK_F8, DIK_F10, DIK_SYSRQ, DIK_F1};
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3)
            myGame->StartRecording();
        if (frame == 5) {
            myGame->StopRecording();
            InputRecording& recording = gNode->RecordedInput();
            recording.Clear();
            for (unsigned char key : keys)
                for (bool down : {true, false}) {
                    recording.StartKeyFrame();
                    if (down)
                        recording.AddKey(key);
                    recording.AddMouseFrame(0, {0, 0, 0});
                }
            myGame->Replay(false);
        }
        if (frame >= 6 && frame <= 19) {
            EXPECT_TRUE(myGame->ReplayMode()) << frame;
            EXPECT_FALSE(myGame->SaveRequested() || myGame->LoadRequested()) << frame;
            EXPECT_FALSE(kiv::GamePaused || myGame->Recording()) << frame;
        }
        if (frame == 24) {
            EXPECT_FALSE(myGame->ReplayMode());
            myGame->EndGame();
        }
    };
    Run();
    EXPECT_TRUE(platform->dialogs.Choosers().empty());
    EXPECT_FALSE(fs::exists("ScreenShot0001.jpg"));
}

void SaveDuringFrameFive(void*) {
    if (kiv::FrameCounter == 5)
        myGame->SaveGame("logic.sav");
}

TEST_F(SaveRules, ASaveRequestedDuringAFrameIsWrittenAtTheStartOfTheNext) {
    BuildLogicP = [] {
        FArray = NewVoidPointers(1);
        FArray[0] = reinterpret_cast<void*>(SaveDuringFrameFive);
        maxFIndex = 0;
    };
    OnGameStartP = [] { myGame->GetBehavior().AddFunction(0, true); };
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 6) {
            EXPECT_TRUE(myGame->SaveRequested());
            EXPECT_FALSE(fs::exists("logic.sav"));
        }
        if (frame == 7) {
            EXPECT_FALSE(myGame->SaveRequested());
            myGame->EndGame();
        }
    };
    Run();
    EXPECT_EQ(Magic("logic.sav"), "KIV_SAR");
}

// A save under a name and one through the dialog load alike; a load takes the game back to
// the saved level, which becomes the newest entry of the level history.
TEST_F(SaveRules, BothKindsOfSaveLoadAndTheLevelHistoryFollows) {
    platform->ReadScript("8 dialog chosen\n8 press F5\n"
                         "20 dialog chosen.sav\n20 press F6\n");
    std::string level;
    std::vector<int> history;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3)
            myGame->LevelNumber(1);
        if (frame == 6) {
            gNode->WorldWidth(1234);
            SaveNow("named.sav");
        }
        if (frame == 10)
            myGame->LevelNumber(2);
        if (frame == 13) {
            myGame->LoadGame("named.sav");
            myGame->RealLoadGame();
            level = std::string(gNode->Name()) + " " + std::to_string(gNode->WorldWidth());
            myGame->LevelNumber(2);
        }
        if (frame == 25) {
            level += std::string(" ") + gNode->Name();
            history = myGame->LevelHistory();
        }
        if (frame == 26)
            myGame->EndGame();
    };
    Run();
    EXPECT_EQ(level, "World 1234 World");
    EXPECT_EQ(history, (std::vector<int>{0, 1, 2, 1, 2, 1}));
    EXPECT_EQ(myGame, nullptr);
    EXPECT_EQ(Magic("named.sav"), "KIV_SAR");
    EXPECT_EQ(Magic("chosen.sav"), "KIV_SAV");
    EXPECT_EQ(GameLog().back(), "GameEnd");
    // Title, World, Bonus, World (named.sav), Bonus, World (chosen.sav): a load runs
    // neither the end function of the level it leaves nor the load function of the level it
    // brings back.
    std::vector<std::string> loads;
    for (const auto& entry : GameLog())
        if (entry.rfind("load ", 0) == 0 || entry.rfind("end ", 0) == 0)
            loads.push_back(entry);
    EXPECT_EQ(loads, (std::vector<std::string>{"load Title", "end Title", "load World", "end World",
                                               "load Bonus", "end World", "load Bonus"}));
}

TEST_F(SaveRules, AForeignSaveOrReplayIsRefusedAndNothingIsLoaded) {
    WriteBytes("foreign.sav", {'N', 'O', 'T', '_', 'S', 'A', 'V', 0, 0, 0, 0});
    WriteBytes("short.sav", {'K', 'I', 'V'});
    WriteBytes("bad.rep", {'K', 'I', 'V', '_', 'R', 'E', 'X', 0, 0, 0, 0});
    platform->ReadScript("8 dialog foreign.sav\n8 press F6\n");
    bool replayed = false;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3) {
            SaveNow("bad.sar");
            gNode->WorldWidth(777);
        }
        if (frame == 4)
            myGame->LoadGame("foreign.sav");
        if (frame == 5)
            myGame->LoadGame("short.sav");
        if (frame == 6)
            myGame->LoadReplay("bad.rep", false);
        if (frame > 6)
            replayed = replayed || myGame->ReplayMode();
        if (frame == 10) {
            EXPECT_EQ(gNode->WorldWidth(), 777u);
            myGame->EndGame();
        }
    };
    Run();
    EXPECT_FALSE(replayed);
    // The load dialog has a message of its own for a file that is not a save.
    EXPECT_EQ(BoxTexts(), (Boxes{"Error loading replay file.", "Error loading replay file.",
                                 "Error loading replay file.", "Error loading file."}));
    for (const auto& box : platform->dialogs.Shown()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.flags, kiv::platform::MbIconError);
    }
}

TEST_F(SaveRules, ATruncatedSaveEndsTheGameNamingTheFile) {
    kiv::test::CatchFatalExits catcher;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3) {
            SaveNow("whole.sav");
            auto bytes = ReadBytes("whole.sav");
            bytes.resize(bytes.size() / 2);
            WriteBytes("cut.sav", bytes);
            myGame->LoadGame("cut.sav");
        }
    };
    EXPECT_THROW(Run(), kiv::test::FatalExit);
    AfterFatalExit();
    EXPECT_EQ(BoxTexts(), Boxes{"Could not open the file cut.sav for reading."});
}

// A save that does not finish, here cut short by a fatal exit in the game's own data,
// leaves the file it was to replace whole, and no partial file beside it.
TEST_F(SaveRules, ASaveCutShortLeavesThePreviousFileWhole) {
    kiv::test::CatchFatalExits catcher;
    std::vector<unsigned char> before;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3)
            SaveNow("keep.sav");
        if (frame == 4) {
            OnSaveP = [](File&) { FatalError("The game's data cannot be saved."); };
            before = ReadBytes("keep.sav");
            SaveNow("keep.sav");
        }
    };
    EXPECT_THROW(Run(), kiv::test::FatalExit);
    AfterFatalExit();
    EXPECT_GT(before.size(), 7u);
    EXPECT_EQ(ReadBytes("keep.sav"), before);
    EXPECT_FALSE(fs::exists("keep.sav.kivtmp"));
}

TEST_F(SaveRules, AReplayNeedsRecordedFrames) {
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3) {
            myGame->SaveReplay("none.rep");
            myGame->StartRecording();
            myGame->SaveReplay("none.rep"); // no frame recorded yet
            myGame->Replay(false);
            EXPECT_FALSE(myGame->ReplayMode());
            myGame->EndGame();
        }
    };
    Run();
    EXPECT_FALSE(fs::exists("none.rep"));
    EXPECT_FALSE(fs::exists("none.sar"));
}

// A slow replay runs at a quarter of the level's rate, never below 15 frames a second, and
// the level's own rate comes back when the replay ends.
TEST_F(SaveRules, ASlowReplayRunsAtAQuarterOfTheRateButNeverBelowFifteen) {
    std::vector<unsigned int> rates;
    std::vector<std::uint32_t> frameTimes;
    std::uint32_t previous = 0;
    platform->onPass = [&](std::uint32_t frame) {
        std::uint32_t now = platform->clock.Milliseconds();
        if (frame == 3) {
            gNode->FPStoMS(40);
            myGame->StartRecording();
        }
        if (frame == 8) {
            myGame->StopRecording();
            myGame->Replay(true);
        }
        if (frame == 11)
            frameTimes.push_back(now - previous);
        if (frame >= 9 && frame <= 17)
            rates.push_back(gNode->TargetFPS());
        if (frame == 18)
            myGame->EndGame();
        previous = now;
    };
    Run();
    // Frames 3 to 7 recorded and replayed in 8 to 12; 13 ends the replay.
    EXPECT_EQ(rates, (std::vector<unsigned int>{15, 15, 15, 15, 15, 40, 40, 40, 40}));
    EXPECT_EQ(frameTimes, std::vector<std::uint32_t>{66});
}

TEST_F(SaveRules, TheDialogsRefuseNamesWithAnotherExtension) {
    platform->ReadScript("3 dialog a.txt\n3 press F5\n"
                         "5 dialog b.txt\n5 press F6\n"
                         "6 press F1\n"
                         "9 dialog c.txt\n9 press F7\n"
                         "11 dialog d.txt\n11 press F8\n"
                         "13 dialog cancel\n13 press F5\n"
                         "15 press ESCAPE\n");
    Run();
    EXPECT_EQ(BoxTexts(), (Boxes{"Error saving file.", "Error loading file.",
                                 "Error saving replay file.", "Error loading replay file."}));
    ASSERT_EQ(platform->dialogs.Choosers().size(), 5u);
    EXPECT_EQ(platform->dialogs.Choosers()[2].filterName, "Saved Replays (*.rep)");
    EXPECT_EQ(platform->dialogs.Choosers()[3].filterName, "Load Replays (*.rep)");
    EXPECT_EQ(platform->dialogs.Choosers()[3].folder, folder.string());
    EXPECT_FALSE(fs::exists("a.txt"));
}

// The replay's last frame, or F4 pressed during it, ends it; the game saved when it began
// comes back.
TEST_F(SaveRules, AReplayEndsWithItsFramesOrItsKeyAndTheGameComesBack) {
    for (bool stopKey : {false, true}) {
        platform->ReadScript(stopKey ? "20 press F4\n" : "");
        std::vector<int> widths;
        int replayedFrames = 0;
        platform->onPass = [&](std::uint32_t frame) {
            if (frame == 3)
                myGame->StartRecording();
            if (frame == 12) {
                myGame->StopRecording();
                gNode->WorldWidth(999);
                myGame->Replay(false);
            }
            replayedFrames += frame > 12 && myGame->ReplayMode();
            if (frame > 12)
                widths.push_back(static_cast<int>(gNode->WorldWidth()));
            if (frame == 30)
                myGame->EndGame();
        };
        Run();
        // Frames 3 to 11 recorded and replayed in 12 to 20; F4 pressed in 20 ends the replay
        // there, instead of in 21.
        EXPECT_EQ(replayedFrames, stopKey ? 8 : 9) << stopKey;
        EXPECT_EQ(widths.front(), 640); // the recording's start
        EXPECT_EQ(widths.back(), 999) << stopKey;
    }
}

} // namespace
