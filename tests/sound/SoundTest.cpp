// Sound effects and streamed music: restarts by play percentage, streaming through the
// two-second buffer, ending and looping, pausing by the system, and the saved records.

#include "SaveTo.h"
#include "SoundFixture.h"
#include "sound/AudioMixer.h"

#include <cstring>

using namespace kiv::test;

namespace {

constexpr unsigned Rate = 44100;

class Sounds : public SoundTest {
protected:
    // A 16-bit mono music file of the ramp, `seconds` long.
    static std::vector<std::int16_t> WriteMusic(const char* name, double seconds) {
        std::vector<std::int16_t> data = RampSamples(static_cast<unsigned>(seconds * Rate));
        WriteBytes(std::string("music/") + name, Wave(Rate, 16, 1, Samples16(data)));
        return data;
    }
    // Streamed sounds are refilled while they belong to the running level.
    StreamedSound& Streamed(StreamedSound* s) {
        level->Add(s);
        return *s;
    }
};

} // namespace

TEST_F(Sounds, LimitsOfVolumePanAndPlayPercentage) {
    WriteBytes("sfx/a.wav", Wave(Rate, 16, 1, Samples16(RampSamples(100))));
    Sound s("a", "a.wav", false, 150);
    EXPECT_EQ(s.PlayPercentage(), 100);
    s.SetPlayPercentage(-3);
    EXPECT_EQ(s.PlayPercentage(), 0);
    s.SetVolume(300);
    EXPECT_EQ(s.Volume(), 0);
    s.SetVolume(-20000);
    EXPECT_EQ(s.Volume(), -10000);
    s.SetPan(-10001);
    EXPECT_EQ(s.Pan(), -10000);
    s.SetPan(20000);
    EXPECT_EQ(s.Pan(), 10000);
    int v = 1, p = 1;
    s.Buffer()->GetVolume(&v);
    s.Buffer()->GetPan(&p);
    EXPECT_EQ(v, -10000);
    EXPECT_EQ(p, 10000);
}

TEST_F(Sounds, PlayingAPlayingSoundRestartsItOnlyOnceItsPercentageHasPlayed) {
    std::vector<std::int16_t> data = RampSamples(4410); // 100 ms
    WriteBytes("sfx/half.wav", Wave(Rate, 16, 1, Samples16(data)));
    Sound half("half", "half.wav", false, 50);
    half.Play();
    Advance(40); // 1764 frames: less than half
    half.Play();
    EXPECT_EQ(half.CurrentPosition(), 1764u * 2);
    Advance(20); // 2646 frames: more than half
    half.Play();
    EXPECT_EQ(half.CurrentPosition(), 0u);
    Advance(10);
    for (unsigned i = 0; i < 441; ++i)
        ASSERT_EQ(Left(2646 + i), data[i]) << i;

    Sound never("never", "half.wav", false, 100), always("always", "half.wav", false, 0);
    never.Play();
    always.Play();
    Advance(1);
    never.Play();
    always.Play();
    EXPECT_EQ(never.CurrentPosition(), 44u * 2);
    EXPECT_EQ(always.CurrentPosition(), 0u);
}

TEST_F(Sounds, AStreamedSoundLongerThanItsBufferPlaysEveryFrameOfItsDataThenStops) {
    std::vector<std::int16_t> data = WriteMusic("long.wav", 5.0);
    auto& music = Streamed(new StreamedSound("long", "long.wav", false));
    ASSERT_NE(music.Buffer(), nullptr);
    EXPECT_EQ(music.Buffer()->Bytes(), 2u * 2 * Rate); // two seconds
    EXPECT_EQ(music.HalfSize(), 2u * Rate);
    music.Play();
    RunFrames(340); // 5.44 s
    EXPECT_FALSE(music.IsPlaying());
    ASSERT_GE(FramesKept(), data.size() + 1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(Left(i), data[i]) << i;
    for (std::size_t i = data.size(); i < FramesKept(); ++i)
        ASSERT_EQ(Left(i), 0) << i;
    // Stopped by its end: rewound and refilled, it plays from the start again.
    std::size_t from = FramesKept();
    music.Play();
    RunFrames(10);
    for (std::size_t i = 0; i < 7000; ++i)
        ASSERT_EQ(Left(from + i), data[i]) << i;
}

TEST_F(Sounds, AShortStreamedSoundPlaysOnceAndStopsByItself) {
    // 8-bit data shorter than the buffer: the rest of the buffer is 8-bit silence (128).
    Bytes data(Rate / 4, 0);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 13);
    WriteBytes("music/short.wav", Wave(Rate, 8, 1, data));
    auto& music = Streamed(new StreamedSound("short", "short.wav", false));
    music.Play();
    RunFrames(150); // 2.4 s
    EXPECT_FALSE(music.IsPlaying());
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(Left(i), (data[i] - 128) * 256) << i;
    for (std::size_t i = data.size(); i < FramesKept(); ++i)
        ASSERT_EQ(Left(i), 0) << i;
}

TEST_F(Sounds, ALoopingStreamedSoundStartsItsDataAgainWithoutAGap) {
    std::vector<std::int16_t> data = WriteMusic("loop.wav", 3.0);
    auto& music = Streamed(new StreamedSound("loop", "loop.wav", true));
    music.Play();
    RunFrames(440); // 7 s: two loop points
    EXPECT_TRUE(music.IsPlaying());
    ASSERT_GE(FramesKept(), 7u * Rate);
    for (std::size_t i = 0; i < 7u * Rate; ++i)
        ASSERT_EQ(Left(i), data[i % data.size()]) << i;
}

TEST_F(Sounds, StoppingMusicRewindsIt) {
    std::vector<std::int16_t> data = WriteMusic("m.wav", 3.0);
    auto& music = Streamed(new StreamedSound("m", "m.wav", false));
    music.Play();
    RunFrames(100);
    music.Stop();
    EXPECT_EQ(music.PlayPosition(), 0u);
    EXPECT_EQ(music.CurrentPosition(), 0u);
    std::size_t from = FramesKept();
    music.Play();
    RunFrames(100);
    for (std::size_t i = 0; i < 60000; ++i)
        ASSERT_EQ(Left(from + i), data[i]) << i;
}

TEST_F(Sounds, TheSystemPausesWhatPlaysAndResumesOnlyThatEvenAfterALoss) {
    std::vector<std::int16_t> effect = RampSamples(Rate);
    WriteBytes("sfx/fx.wav", Wave(Rate, 16, 1, Samples16(effect)));
    std::vector<std::int16_t> song = WriteMusic("song.wav", 4.0);
    auto* playing = new Sound("playing", "fx.wav", false, 100);
    auto* idle = new Sound("idle", "fx.wav", false, 100);
    auto* music = new StreamedSound("song", "song.wav", false);
    level->Add(playing);
    level->Add(idle);
    level->Add(music);
    music->SetPan(10000); // music on the right, the effect on the left
    playing->SetPan(-10000);
    playing->Play();
    music->Play();
    RunFrames(100); // 1.6 s: the effect has ended, then played again below
    playing->Play();
    RunFrames(10);

    SoundCard::Instance().ManageBuffers(false);
    EXPECT_FALSE(playing->IsPlaying());
    EXPECT_FALSE(music->IsPlaying());
    EXPECT_TRUE(playing->PausedBySystem());
    EXPECT_TRUE(music->PausedBySystem());
    EXPECT_FALSE(idle->PausedBySystem());
    std::size_t pausedAt = FramesKept();
    RunFrames(30);
    audio().SimulateLoss();
    RunFrames(30);
    std::size_t resumedAt = FramesKept();
    SoundCard::Instance().ManageBuffers(true);
    EXPECT_TRUE(playing->IsPlaying());
    EXPECT_TRUE(music->IsPlaying());
    EXPECT_FALSE(idle->IsPlaying());
    EXPECT_FALSE(playing->PausedBySystem() || music->PausedBySystem());
    RunFrames(30);

    for (std::size_t i = pausedAt; i < resumedAt; ++i)
        ASSERT_EQ(Left(i) | Right(i), 0) << i;
    // Both go on from where they were, with their own data (not what a lost buffer holds).
    std::size_t effectAt = playing->PlayPosition() / 2, songAt = pausedAt;
    for (std::size_t i = 0; i < 30 * 16 * 44; ++i) {
        ASSERT_EQ(Left(resumedAt + i), effect[effectAt + i]) << i;
        ASSERT_EQ(Right(resumedAt + i), song[songAt + i]) << i;
    }
}

TEST_F(Sounds, SearchFindsTheRunningLevelsSoundsAndHandlesFallBack) {
    WriteBytes("sfx/a.wav", Wave(Rate, 16, 1, Samples16(RampSamples(10))));
    WriteMusic("m.wav", 0.1);
    auto* a = new Sound("a", "a.wav", false, 100);
    auto* m = new StreamedSound("m", "m.wav", false);
    level->Add(a);
    level->Add(m);
    EXPECT_EQ(Sound::Search("a"), a);
    EXPECT_EQ(Sound::Search("m"), nullptr);
    EXPECT_EQ(StreamedSound::Search("m"), m);
    EXPECT_EQ(static_cast<Sound*>(SoundPTR("a")), a);
    SoundPTR unknown("nothing");
    EXPECT_EQ(static_cast<Sound*>(unknown), &SoundPTR::dummySoundPtr);
    unknown->Play(); // a stand-in without a buffer: nothing happens
    StreamedSoundPTR("nothing")->Play();
    EXPECT_FALSE(unknown->IsPlaying());

    // A copied list holds new sounds of the same kind, each with a buffer of its own.
    a->SetVolume(-500);
    List copy = level->Sounds();
    auto* twin = static_cast<Sound*>(copy.Head());
    EXPECT_STREQ(twin->ClassName(), "Sound");
    EXPECT_STREQ(twin->Name(), "a");
    EXPECT_EQ(twin->Volume(), -500);
    EXPECT_NE(twin->Buffer(), nullptr);
    EXPECT_NE(twin->Buffer(), a->Buffer());
}

// ---- records ----

namespace {

struct Reader {
    Bytes b;
    std::size_t at = 0;
    std::uint32_t U32() {
        std::uint32_t v = b.at(at) | (b.at(at + 1) << 8) | (b.at(at + 2) << 16) |
                          (static_cast<std::uint32_t>(b.at(at + 3)) << 24);
        at += 4;
        return v;
    }
    std::string Text() {
        std::uint32_t n = U32();
        std::string s(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
        at += n;
        return s;
    }
    int Byte() { return b.at(at++); }
};

} // namespace

TEST_F(Sounds, ASoundsRecordHoldsItsFieldsInOrderAndLoadsPlaying) {
    std::vector<std::int16_t> data = RampSamples(8820);
    WriteBytes("sfx/rec.wav", Wave(Rate, 16, 1, Samples16(data)));
    Sound s("rec", "rec.wav", true, 40);
    s.Id(3);
    s.SetVolume(-250);
    s.SetPan(700);
    s.Play();
    Advance(100); // 4410 frames
    kiv::test::SaveTo("sound.sav", s);
    Reader r{ReadBytes("sound.sav")};
    EXPECT_EQ(r.Text(), "rec");
    EXPECT_EQ(r.Text(), "rec.wav");
    EXPECT_EQ(static_cast<int>(r.U32()), -250);
    EXPECT_EQ(r.U32(), 700u);
    EXPECT_EQ(r.U32(), 0u);        // bytes streamed
    EXPECT_EQ(r.U32(), 3u);        // id
    EXPECT_EQ(r.U32(), 4410u * 2); // play position
    EXPECT_EQ(r.Byte(), 1);        // loop
    EXPECT_EQ(r.Byte(), 0);        // paused by the system
    EXPECT_EQ(r.Byte(), 0);        // streamed
    EXPECT_EQ(r.U32(), 40u);       // play percentage
    EXPECT_EQ(r.Byte(), 1);        // playing
    EXPECT_EQ(r.U32(), 4410u * 2);
    EXPECT_EQ(r.at, r.b.size());

    s.Stop();
    std::size_t from = FramesKept();
    File in("sound.sav", File::Reading);
    node* made = CreateObject("Sound");
    ASSERT_NE(made, nullptr);
    made->Load(in);
    auto* loaded = static_cast<Sound*>(made);
    EXPECT_STREQ(loaded->Name(), "rec");
    EXPECT_EQ(loaded->Id(), 3);
    EXPECT_EQ(loaded->PlayPercentage(), 40);
    EXPECT_TRUE(loaded->LoopFlag());
    EXPECT_TRUE(loaded->IsPlaying());
    Advance(150); // on from 4410, across the loop point
    const float left = Gain(-250) * Gain(-700), right = Gain(-250);
    for (std::size_t i = 0; i < 6615; ++i) {
        ASSERT_EQ(Left(from + i), Scaled(data[(4410 + i) % data.size()], left)) << i;
        ASSERT_EQ(Right(from + i), Scaled(data[(4410 + i) % data.size()], right)) << i;
    }
    delete made;
}

TEST_F(Sounds, AStreamedSoundSavedWhileStreamingContinuesWhereItWasAfterLoading) {
    std::vector<std::int16_t> data = WriteMusic("song.wav", 6.0);
    auto* music = new StreamedSound("song", "song.wav", false);
    level->Add(music);
    music->Play();
    RunFrames(160); // 2.56 s: the cursor is in the second half after two refills
    {
        File out("music.sav", File::Writing);
        out.Write(static_cast<node*>(music));
    }
    level->StreamedSounds().del(music);
    File in("music.sav", File::Reading);
    node* made = nullptr;
    in.Read(made);
    ASSERT_NE(made, nullptr);
    ASSERT_STREQ(made->ClassName(), "StreamedSound");
    auto* loaded = static_cast<StreamedSound*>(made);
    level->Add(loaded);
    EXPECT_TRUE(loaded->IsPlaying());
    EXPECT_EQ(loaded->BytesRead(), 2u * Rate * 2); // two halves streamed after the first fill
    RunFrames(260);
    EXPECT_FALSE(loaded->IsPlaying());
    // One continuous song, to its end, across the save and the load.
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(Left(i), data[i]) << i;
}
