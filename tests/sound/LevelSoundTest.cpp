// The level's sound helpers and their user errors, and the sound device's error report.

#include "SoundFixture.h"
#include "sound/AudioMixer.h"

#include <cstring>

using namespace kiv::test;

namespace {

class LevelSounds : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        UserError::Errors.clear();
        _UE = UserError();
        pConsole = new Console;
    }
    void TearDown() override {
        delete pConsole;
        pConsole = nullptr;
        SoundTest::TearDown();
    }
    // The function and the message of the last user error, then forgets it.
    std::string LastError() {
        std::string e = std::string(_UE.targetFunction) + " | " + _UE.errorMessage;
        _UE = UserError();
        return e;
    }
    char* Text(const char* s) { return const_cast<char*>(s); }
};

} // namespace

TEST_F(LevelSounds, AddingNeedsAResourceOrAFileAndReportsTheFullPathOtherwise) {
    WriteBytes("sfx/hit.wav", Wave(22050, 8, 1, Bytes(100, 128)));
    EXPECT_FALSE(level->AddSFX(Text("hit"), Text("miss.wav"), false, 100));
    EXPECT_EQ(LastError(), "bool GameNode::AddSFX(char *,char *,bool,int) | "
                           "The sound file sfx\\miss.wav does not exist.");
    EXPECT_FALSE(level->AddMusic(Text("song"), Text("song.wav"), true));
    EXPECT_EQ(LastError(), "bool GameNode::AddMusic(char *,char *,bool) | "
                           "The streamed sound file music\\song.wav does not exist.");
    EXPECT_FALSE(level->AddMidiFile(Text("tune"), Text("tune.mid"), true));
    EXPECT_EQ(LastError(), "bool GameNode::AddMidiFile(char *,char *,bool) | "
                           "The MIDI file music\\tune.mid does not exist.");
    EXPECT_EQ(
        level->Sounds().Count() + level->StreamedSounds().Count() + level->MidiFiles().Count(), 0);

    // Files are found whatever the letter case of the name; embedded waves need no file.
    Bytes wave = Wave(22050, 8, 1, Bytes(100, 128));
    const KivResource table[] = {{"WAVE", "inside.wav", wave.data(), wave.size()}};
    KivRegisterResources(table, 1);
    EXPECT_TRUE(level->AddSFX(Text("hit"), Text("HIT.WAV"), false, 100));
    EXPECT_TRUE(level->AddSFX(Text("in"), Text("inside.wav"), true, 30));
    EXPECT_TRUE(level->AddMusic(Text("music"), Text("inside.wav"), true));
    kiv::platform::Resources::Instance().Clear();
    ASSERT_EQ(level->Sounds().Count(), 2);
    auto* newest = static_cast<Sound*>(level->Sounds().Head());
    EXPECT_STREQ(newest->Name(), "in");
    EXPECT_EQ(newest->Id(), 2);
    EXPECT_EQ(newest->PlayPercentage(), 30);
    EXPECT_TRUE(newest->LoopFlag());
    EXPECT_NE(static_cast<Sound*>(newest->Next())->Buffer(), nullptr);
    EXPECT_EQ(static_cast<StreamedSound*>(level->StreamedSounds().Head())->Id(), 1);
    EXPECT_EQ(LastError(), " | ");
}

TEST_F(LevelSounds, PlayingAndStoppingByNameReportUnknownNames) {
    WriteBytes("sfx/hit.wav", Wave(22050, 16, 1, Samples16(RampSamples(22050))));
    ASSERT_TRUE(level->AddSFX(Text("hit"), Text("hit.wav"), false, 100));
    level->PlaySFX("hit");
    EXPECT_TRUE(Sound::Search("hit")->IsPlaying());

    const struct {
        void (GameNode::*call)(const char*);
        const char* expected;
    } unknown[] = {
        {&GameNode::PlaySFX, "void GameNode::PlaySFX(const char *) | "
                             "The sound file nobody does not exist."},
        {&GameNode::PlayMusic, "void GameNode::PlayMusic(const char *) | "
                               "The streamed sound file nobody does not exist."},
        {&GameNode::StopMusic, "void GameNode::StopMusic(const char *) | "
                               "The streamed sound file nobody does not exist."},
        {&GameNode::PlayMidiFile, "void GameNode::PlayMidiFile(const char *) | "
                                  "The MIDI file nobody does not exist."},
        {&GameNode::StopMidiFile, "void GameNode::StopMidiFile(const char *) | "
                                  "The MIDI file nobody does not exist."},
    };
    for (const auto& u : unknown) {
        (level->*u.call)("nobody");
        EXPECT_EQ(LastError(), u.expected);
    }
    level->PlayMusic(nullptr); // no name at all is only another unknown name
    EXPECT_EQ(LastError(), "void GameNode::PlayMusic(const char *) | "
                           "The streamed sound file  does not exist.");
}

TEST_F(LevelSounds, SoundErrorsArePrintedWithTheirPublishedNames) {
    pConsole->Show(false);
    SoundCard::DSError("Game.cpp", 12, 0);
    EXPECT_EQ(ReadText("Kiv.log"), "");
    SoundCard::DSError("Game.cpp", 12, static_cast<long>(static_cast<std::uint32_t>(0x88780096)));
    SoundCard::DSError("Other.cpp", 3, 0x12345);
    std::string log = ReadText("Kiv.log");
    EXPECT_NE(log.find("DirectSound Error in File Game.cpp Line :12.\n"
                       "Error Code Is DSERR_BUFFERLOST.\n"
                       "Description : The buffer memory has been lost and must be restored.\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("DirectSound Error in File Other.cpp Line :3.\n"
                       "Error Code Is UNKNOWN.\n"
                       "Description : \n"),
              std::string::npos)
        << log;
    EXPECT_TRUE(pConsole->Show());
}
