// MIDI music: the sequence reader, playing through the synthesiser into the mix, pausing at
// the music time, looping, volume, the record, and files that can't be played.

#include "SaveTo.h"
#include "SoundFixture.h"
#include "platform/Audio.h"
#include "sound/MidiSequence.h"

#include <cmath>
#include <memory>

using namespace kiv::test;

namespace {

double Rms(const std::vector<std::int16_t>& s, std::size_t fromFrame, std::size_t toFrame) {
    double sum = 0;
    for (std::size_t i = 2 * fromFrame; i < 2 * toFrame; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>(2 * (toFrame - fromFrame)));
}

class Midi : public SoundTest {
protected:
    void SetUp() override {
        SoundTest::SetUp();
        WriteBytes("music/tune.mid", Tune(16)); // 8 seconds
        synthesiser = kiv::platform::CreateMidiSynth() != nullptr;
    }
    void TearDown() override {
        kiv::platform::Resources::Instance().Clear();
        SoundTest::TearDown();
    }
    bool synthesiser = false;
};

} // namespace

TEST(MidiSequence, ReadsTracksTempoAndLengthAndConvertsToMusicTime) {
    Bytes tune = Tune(4);
    kiv::MidiSequence s;
    ASSERT_TRUE(s.Parse(tune.data(), tune.size()));
    EXPECT_EQ(s.Length(), 4u * 96);
    EXPECT_EQ(s.Events().size(), 2u + 4 * 2);
    EXPECT_EQ(s.Events()[0].status, kiv::MidiEvent::Tempo);
    EXPECT_EQ(s.Events()[0].value, 500000u);
    EXPECT_EQ(s.Events()[3].tick, 80u); // the first note-off, after 0x50 ticks
    EXPECT_DOUBLE_EQ(s.FramesPerTick(500000), 44100.0 / 2 / 96);
    EXPECT_EQ(s.MusicTime(96), 768);
    EXPECT_DOUBLE_EQ(s.TickAt(384), 48.0);
}

TEST(MidiSequence, RefusesWhatIsNotAStandardMidiFileAndEveryTruncation) {
    Bytes tune = Tune(3);
    kiv::MidiSequence s;
    // The header and the first events are needed; later cuts lose the end of the track.
    for (std::size_t size = 0; size < tune.size(); ++size)
        EXPECT_FALSE(s.Parse(tune.data(), size)) << size;
    Bytes format2 = tune;
    format2[9] = 2;
    EXPECT_FALSE(s.Parse(format2.data(), format2.size()));
    Bytes noStatus = tune;
    noStatus[23] = 0x40; // the first event's status becomes a data byte
    EXPECT_FALSE(s.Parse(noStatus.data(), noStatus.size()));
    Bytes wave = Wave(44100, 16, 1, Bytes(10, 0));
    EXPECT_FALSE(s.Parse(wave.data(), wave.size()));
}

TEST_F(Midi, MusicSoundsAndPausesAndResumesAtTheMusicTime) {
    if (!synthesiser)
        GTEST_SKIP() << "no General MIDI sound font at " << kiv::platform::SoundFontPath();
    MidiFile tune("tune", "tune.mid", false);
    tune.Play();
    EXPECT_TRUE(tune.IsPlaying());
    EXPECT_TRUE(tune.PlayRequested());
    Advance(1000);
    EXPECT_EQ(tune.MusicTime(), 2 * 768); // two quarter notes at 120 a minute
    tune.Pause();
    EXPECT_FALSE(tune.IsPlaying());
    EXPECT_FALSE(tune.PlayRequested());
    EXPECT_EQ(tune.PausedTime(), 2 * 768);
    Advance(500);
    tune.Play();
    EXPECT_EQ(tune.MusicTime(), 2 * 768);
    Advance(500);
    EXPECT_EQ(tune.MusicTime(), 3 * 768);

    const std::vector<std::int16_t>& out = audio().Kept();
    ASSERT_EQ(out.size(), 2u * 88200);
    EXPECT_GT(Rms(out, 0, 44100), 100.0);
    EXPECT_LT(Rms(out, 44100 + 2000, 66150), 1.0); // paused: nothing but the fading reverb
    EXPECT_GT(Rms(out, 66150, 88200), 100.0);

    tune.Stop();
    EXPECT_EQ(tune.PausedTime(), 0);
    tune.Play();
    EXPECT_EQ(tune.MusicTime(), 0);
}

TEST_F(Midi, LoopingRepeatsAndTurningItOnWhilePlayingKeepsPlaying) {
    WriteBytes("music/short.mid", Tune(1)); // half a second
    MidiFile once("once", "short.mid", false);
    once.Play();
    Advance(600);
    EXPECT_FALSE(once.IsPlaying());
    EXPECT_TRUE(once.PlayRequested());

    MidiFile looped("looped", "short.mid", true);
    EXPECT_EQ(looped.Repeats(), 100000u);
    looped.Play();
    Advance(1750); // three and a half times through
    EXPECT_TRUE(looped.IsPlaying());
    EXPECT_EQ(looped.MusicTime(), 384);

    once.Play();
    Advance(200);
    once.SetLoopFlag(true);
    EXPECT_TRUE(once.IsPlaying());
    EXPECT_EQ(once.Repeats(), 100000u);
    Advance(1000);
    EXPECT_TRUE(once.IsPlaying());
    once.SetLoopFlag(false);
    Advance(600);
    EXPECT_FALSE(once.IsPlaying());
}

TEST_F(Midi, MasterVolumeIsLimitedAndScalesTheMusic) {
    if (!synthesiser)
        GTEST_SKIP() << "no General MIDI sound font";
    auto loud = std::make_unique<MidiFile>("loud", "tune.mid", false);
    loud->SetVolume(6000);
    EXPECT_EQ(loud->Volume(), 5000);
    loud->SetVolume(-7000);
    EXPECT_EQ(loud->Volume(), -5000);
    loud->SetVolume(0);
    loud->Play();
    Advance(500);
    loud.reset(); // gone from the mix, fading notes and all
    MidiFile quiet("quiet", "tune.mid", false);
    quiet.SetVolume(-2000); // a tenth
    quiet.Play();
    Advance(500);
    const std::vector<std::int16_t>& out = audio().Kept();
    ASSERT_EQ(out.size(), 2u * 44100);
    // The same synthesis from its start: the quiet run is the loud one a tenth as strong.
    for (std::size_t i = 0; i < 2 * 22050; ++i)
        ASSERT_NEAR(out[2 * 22050 + i], out[i] / 10.0, 1.0) << i;
    EXPECT_GT(Rms(out, 0, 22050), 100.0);
}

TEST_F(Midi, AMidiResourceIsPreferredAndTheRecordRestoresTheMusic) {
    Bytes embedded = Tune(8);
    const KivResource table[] = {{"midi", "Embedded.mid", embedded.data(), embedded.size()}};
    KivRegisterResources(table, 1);
    MidiFile tune("song", "embedded.mid", true);
    tune.Id(4);
    tune.SetVolume(-300);
    tune.Play();
    Advance(750);
    kiv::test::SaveTo("midi.sav", tune); // saved at the time it has reached, which it keeps
    EXPECT_EQ(tune.PausedTime(), 3 * 384);
    Advance(250);
    kiv::test::SaveTo("again.sav", tune); // the music went on: the kept time is written again
    EXPECT_EQ(ReadBytes("again.sav"), ReadBytes("midi.sav"));
    tune.Stop();

    File in("midi.sav", File::Reading);
    MidiFile loaded;
    loaded.Load(in);
    EXPECT_STREQ(loaded.Name(), "song");
    EXPECT_STREQ(loaded.FileName(), "embedded.mid");
    EXPECT_EQ(loaded.Id(), 4);
    EXPECT_EQ(loaded.Volume(), -300);
    EXPECT_TRUE(loaded.LoopFlag());
    EXPECT_TRUE(loaded.IsPlaying()); // its play had been requested
    EXPECT_EQ(loaded.MusicTime(), 3 * 384);
    EXPECT_EQ(in.Position(), in.Size());
}

TEST_F(Midi, TheSystemPausesPlayingMusicOnlyAndResumesIt) {
    auto* playing = new MidiFile("playing", "tune.mid", false);
    auto* idle = new MidiFile("idle", "tune.mid", false);
    level->Add(playing);
    level->Add(idle);
    EXPECT_EQ(idle->Id(), 2);
    playing->Play();
    Advance(250);
    SoundCard::Instance().ManageBuffers(false);
    EXPECT_TRUE(playing->PausedBySystem());
    EXPECT_FALSE(idle->PausedBySystem());
    EXPECT_FALSE(playing->IsPlaying());
    Advance(1000);
    SoundCard::Instance().ManageBuffers(true);
    EXPECT_TRUE(playing->IsPlaying());
    EXPECT_FALSE(idle->IsPlaying());
    EXPECT_FALSE(playing->PausedBySystem());
    EXPECT_EQ(playing->MusicTime(), 384);
}

TEST_F(Midi, AMissingFileOrOneThatIsNotAStandardMidiFileEndsTheGameWithMessage111) {
    EXPECT_EXIT(MidiFile("m", "none.mid", false), ::testing::ExitedWithCode(1),
                "The MIDI file none\\.mid does not exist or its format is not supported\\.");
    WriteBytes("music/wave.mid", Wave(44100, 16, 1, Bytes(64, 0)));
    EXPECT_EXIT(MidiFile("m", "wave.mid", false), ::testing::ExitedWithCode(1),
                "The MIDI file wave\\.mid does not exist or its format is not supported\\.");
}
