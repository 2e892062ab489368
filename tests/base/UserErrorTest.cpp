#include <kiv/Kiv.h>

#include "Scratch.h"
#include "base/Messages.h"
#include "game/LoopGlobals.h"

#include <cstring>
#include <filesystem>

namespace {

class UserErrors : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        for (auto* list :
             {&UserError::SpritesErrors, &UserError::VariablesErrors, &UserError::MapsErrors,
              &UserError::AlarmsErrors, &UserError::GameErrors, &UserError::Errors})
            list->clear();
        _UE = UserError();
        kiv::FrameCounter = 0;
        pConsole = new Console;
    }
    void TearDown() override {
        delete pConsole;
        pConsole = nullptr;
        Scratch::TearDown();
    }
    static void Context(const char* type, const char* name) {
        std::strcpy(_UE.objectType, type);
        std::strcpy(_UE.objectName, name);
        std::strcpy(_UE.stateName, "Walking");
    }
    std::string Log() { return ReadText("Kiv.log"); }
};

int Occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(UserErrors, ReportShowsTheContextOnceAndMakesTheConsoleVisible) {
    EXPECT_EQ(Log(), ""); // a new console starts an empty log
    pConsole->Show(false);
    kiv::FrameCounter = 3;
    Context("Sprite", "Hero");
    for (int frame = 0; frame < 5; ++frame) // the same wrong call every frame
        kiv::ReportUserError("void Sprite::Animation(int)", 72, 9);

    EXPECT_EQ(Log(), "Output after loop 3 :\n\n"
                     "User Error :\n"
                     "Object type : Sprite\n"
                     "Object name : Hero\n"
                     "State name : Walking\n"
                     "Target Function : void Sprite::Animation(int)\n"
                     "Error Message : Animation 9 not found.\n"
                     "\n");
    EXPECT_STREQ(pConsole->Text(), Log().c_str());
    EXPECT_TRUE(pConsole->Show());
    EXPECT_EQ(UserError::SpritesErrors.size(), 1u);
    EXPECT_TRUE(UserError::Errors.empty());
}

TEST_F(UserErrors, DistinctContextsAreDistinctErrorsAndFramesGetOneHeaderEach) {
    kiv::FrameCounter = 7;
    Context("Map", "Sky");
    kiv::ReportUserError("void Map::Use()", 20, "Sky");
    Context("Map", "Ground"); // same message, other object
    kiv::ReportUserError("void Map::Use()", 20, "Sky");
    kiv::FrameCounter = 8;
    Context("Level", "One");
    kiv::ReportUserError("void Game::LevelNumber(int)", 21, 4);

    std::string log = Log();
    EXPECT_EQ(Occurrences(log, "Output after loop 7 :\n\n"), 1);
    EXPECT_EQ(Occurrences(log, "Output after loop 8 :\n\n"), 1);
    EXPECT_EQ(Occurrences(log, "User Error :\n"), 3);
    EXPECT_LT(log.find("Object name : Ground"), log.find("Output after loop 8"));
    EXPECT_EQ(UserError::MapsErrors.size(), 2u);
    EXPECT_EQ(UserError::Errors.size(), 1u); // "Level" is not one of the named types
    EXPECT_NE(log.find("The level numbered: 4 is not found."), std::string::npos);
}

TEST_F(UserErrors, MessageTableKeepsTheGamesCodePageQuotes) {
    EXPECT_STREQ(kiv::Message(113), "Cannot create more than one \x91Kiv\x92 instance.");
    EXPECT_STREQ(kiv::Message(92), "The smooth factor mustn\x92t be greater than 10.");
    EXPECT_STREQ(kiv::Message(0), "Alarm %s not found.");
    EXPECT_STREQ(kiv::Message(131),
                 "Player 'Unidentified' has resigned.\nSorry, the game cannot continue.");
    EXPECT_STREQ(kiv::Message(132), "");
}

TEST_F(UserErrors, FatalExitShowsTheBoxWritesTheLogAndEndsWithStatusOne) {
    kiv::FrameCounter = 2;
    EXPECT_EXIT(FatalError("Could not open the file %s for reading.", "x.dat"),
                ::testing::ExitedWithCode(1),
                "\\[Exit error\\.\\] Could not open the file x\\.dat for reading\\.");
    EXPECT_EQ(Log(), "Output after loop 2 :\n\nCould not open the file x.dat for reading.");
    // Scripts that expect the original platform's status ask for it.
    setenv("KIV_EXIT_STATUS", "designed", 1);
    EXPECT_EXIT(FatalError("Could not open the file %s for reading.", "x.dat"),
                ::testing::ExitedWithCode(0), "x\\.dat");
    unsetenv("KIV_EXIT_STATUS");
}

TEST_F(UserErrors, ExitMessageSendsTheWholeReportAsText) {
    Context("Map", "100%s");
    std::strcpy(_UE.targetFunction, "void Map::Clone()");
    std::strcpy(_UE.errorMessage, "The bitmap file a.bmp does not exist.");
    EXPECT_EXIT(_UE.ExitMessage(), ::testing::ExitedWithCode(1),
                "\\[Exit error\\.\\] User Error :\nObject type : Map\nObject name : 100%s\n"
                "State name : Walking\nTarget Function : void Map::Clone\\(\\)\n"
                "Error Message : The bitmap file a\\.bmp does not exist\\.");
}

using ConsoleLog = kiv::test::Scratch;

TEST_F(ConsoleLog, ALogThatCantBeWrittenIsSaidOnceAndTheConsoleGoesOn) {
    std::filesystem::create_directory("Kiv.log"); // a folder stands where the log would go
    testing::internal::CaptureStderr();
    pConsole = new Console;
    pConsole->Print("first\n");
    pConsole->Print("second\n");
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "The log file Kiv.log cannot be written: Is a directory.\n");
    EXPECT_NE(std::string(pConsole->Text()).find("second"), std::string::npos);
    delete pConsole;
    pConsole = nullptr;
}
