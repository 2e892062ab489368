// Sound that can't be played is never dropped in silence: a damaged or missing wave and a
// missing sound font each leave a message, on standard error and in the log.

#include "SoundFixture.h"

#include <cstdlib>

using namespace kiv::test;

namespace {

class SilentFailures : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        pConsole = new Console;
    }
    void TearDown() override {
        delete pConsole;
        pConsole = nullptr;
        SoundTest::TearDown();
    }
    // What making the sound `make` said, on standard error; the log must say the same.
    template <class Make>
    std::string Said(Make make) {
        testing::internal::CaptureStderr();
        make();
        std::string said = testing::internal::GetCapturedStderr();
        if (!said.empty()) {
            EXPECT_NE(ReadText("Kiv.log").find(said), std::string::npos) << said;
        }
        return said;
    }
};

} // namespace

TEST_F(SilentFailures, AWaveCutShortByOneByteOrNotAWaveIsNamed) {
    Bytes whole = Wave(22050, 8, 1, Bytes(101, 0x80));
    WriteBytes("sfx/whole.wav", whole);
    WriteBytes("sfx/short.wav", Bytes(whole.begin(), whole.end() - 2)); // the pad byte and one
    WriteBytes("music/text.wav", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'});
    WriteBytes("sfx/silence.wav", Wave(22050, 8, 1, Bytes()));

    EXPECT_EQ(Said([] { Sound("a", "whole.wav", false, 100); }), "");
    EXPECT_EQ(Said([] { Sound("a", "silence.wav", false, 100); }), ""); // empty, not damaged
    EXPECT_EQ(Said([] { Sound("b", "short.wav", false, 100); }),
              "The sound file short.wav is damaged: it is not a whole RIFF WAVE file.\n");
    EXPECT_EQ(Said([] { StreamedSound("c", "text.wav", false); }),
              "The sound file text.wav is damaged: it is not a whole RIFF WAVE file.\n");
    EXPECT_EQ(Said([] { StreamedSound("d", "gone.wav", false); }),
              "The streamed sound file music/gone.wav does not exist.\n");

    Sound shortSound("b", "short.wav", false, 100);
    shortSound.Play();
    EXPECT_FALSE(shortSound.IsPlaying());
}

TEST_F(SilentFailures, MusicWithoutASoundFontSaysSoOnce) {
    setenv("KIV_SOUNDFONT", "gone.sf2", 1);
    WriteBytes("music/a.mid", Tune(2));
    std::string said = Said([] {
        MidiFile first("a", "a.mid", false);
        MidiFile second("b", "a.mid", false);
        first.Play();
    });
    unsetenv("KIV_SOUNDFONT");
    EXPECT_EQ(said, "MIDI music is silent: the sound font gone.sf2 cannot be loaded.\n");
}
