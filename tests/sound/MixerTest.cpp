// The mixed output, sample by sample, for simple cases: what one buffer at a known volume
// and pan, looping, resampling, pausing and buffer loss give on the headless output.

#include "SoundFixture.h"
#include "sound/AudioMixer.h"

using namespace kiv::test;

namespace {

class Mixing : public SoundTest {
protected:
    // A wave file in the sound effects' folder.
    static void WriteSfx(const char* name, const Bytes& wave) {
        WriteBytes(std::string("sfx/") + name, wave);
    }
};

} // namespace

TEST_F(Mixing, OneStaticSoundAtAKnownVolumeAndPan) {
    std::vector<std::int16_t> data = RampSamples(1000);
    WriteSfx("mono.wav", Wave(44100, 16, 1, Samples16(data)));
    Sound s("mono", "mono.wav", false, 100);
    ASSERT_NE(s.Buffer(), nullptr);
    s.SetVolume(-600);
    s.SetPan(1000); // the left side is attenuated by a further 10 dB
    s.Play();
    Advance(50); // 2205 frames: the sound and then silence

    ASSERT_EQ(FramesKept(), 2205u);
    const float left = Gain(-600) * Gain(-1000), right = Gain(-600);
    for (unsigned i = 0; i < data.size(); ++i) {
        ASSERT_EQ(Left(i), Scaled(data[i], left)) << i;
        ASSERT_EQ(Right(i), Scaled(data[i], right)) << i;
    }
    for (std::size_t i = data.size(); i < FramesKept(); ++i)
        ASSERT_EQ(Left(i) | Right(i), 0) << i;
    EXPECT_FALSE(s.IsPlaying()); // a sound that played to its end stops, rewound
    EXPECT_EQ(s.CurrentPosition(), 0u);
}

TEST_F(Mixing, PanSilencesOneSideOfAStereoSoundAndVolumeMinimumSilencesBoth) {
    std::vector<std::int16_t> data = RampSamples(400); // 200 frames, left and right distinct
    WriteSfx("stereo.wav", Wave(44100, 16, 2, Samples16(data)));
    Sound s("stereo", "stereo.wav", false, 100);
    s.SetPan(-10000);
    s.Play();
    Advance(5); // 220 frames
    for (unsigned i = 0; i < 200; ++i) {
        ASSERT_EQ(Left(i), data[2 * i]) << i;
        ASSERT_EQ(Right(i), 0) << i;
    }
    s.SetPan(0);
    s.SetVolume(-10000);
    s.Play();
    Advance(5);
    for (std::size_t i = 220; i < FramesKept(); ++i)
        ASSERT_EQ(Left(i) | Right(i), 0) << i;
}

TEST_F(Mixing, ALoopingSoundGoesOnAcrossItsLoopPoint) {
    std::vector<std::int16_t> data = RampSamples(600); // 300 stereo frames
    WriteSfx("loop.wav", Wave(44100, 16, 2, Samples16(data)));
    Sound s("loop", "loop.wav", true, 100);
    s.Play();
    Advance(20); // 882 frames: the loop point is passed twice
    ASSERT_EQ(FramesKept(), 882u);
    for (unsigned i = 0; i < 882; ++i) {
        ASSERT_EQ(Left(i), data[2 * (i % 300)]) << i;
        ASSERT_EQ(Right(i), data[2 * (i % 300) + 1]) << i;
    }
    unsigned status = 0;
    s.Buffer()->GetStatus(&status);
    EXPECT_EQ(status, kiv::ds::StatusPlaying | kiv::ds::StatusLooping);
    EXPECT_EQ(s.CurrentPosition(), (882u % 300u) * 4u); // the cursor counts bytes
}

TEST_F(Mixing, An8BitMono22kHzSoundIsInterpolatedTo44kHz) {
    Bytes data;
    for (int i = 0; i < 100; ++i)
        data.push_back(static_cast<unsigned char>((i * 37) % 256));
    WriteSfx("low.wav", Wave(22050, 8, 1, data));
    Sound s("low", "low.wav", false, 100);
    s.Play();
    Advance(10); // 441 frames; the sound lasts 200
    auto value = [&](int k) {
        return static_cast<float>((data[static_cast<std::size_t>(k)] - 128) * 256);
    };
    for (int k = 0; k < 100; ++k) {
        ASSERT_EQ(Left(2 * k), value(k)) << k;
        // Halfway between two samples; past the last one the last one holds.
        float between = k + 1 < 100 ? (value(k) + value(k + 1)) / 2 : value(k);
        ASSERT_EQ(Left(2 * k + 1), between) << k;
        ASSERT_EQ(Right(2 * k + 1), Left(2 * k + 1));
    }
    for (std::size_t i = 200; i < FramesKept(); ++i)
        ASSERT_EQ(Left(i), 0) << i;
}

TEST_F(Mixing, PauseRemembersThePositionAndPlayResumesThere) {
    std::vector<std::int16_t> data = RampSamples(4410);
    WriteSfx("long.wav", Wave(44100, 16, 1, Samples16(data)));
    Sound s("long", "long.wav", false, 100);
    s.Play();
    Advance(30); // 1323 frames
    s.Pause();
    EXPECT_FALSE(s.IsPlaying());
    EXPECT_EQ(s.PlayPosition(), 1323u * 2);
    Advance(20); // 882 silent frames
    s.Play();
    Advance(30);
    for (unsigned i = 0; i < 1323; ++i)
        ASSERT_EQ(Left(i), data[i]) << i;
    for (unsigned i = 1323; i < 1323 + 882; ++i)
        ASSERT_EQ(Left(i), 0) << i;
    for (unsigned i = 0; i < 1323; ++i)
        ASSERT_EQ(Left(1323 + 882 + i), data[1323 + i]) << i;
}

TEST_F(Mixing, ALostBufferRefusesPlayAndLockUntilRestoredAndSoundRefillsIt) {
    std::vector<std::int16_t> data = RampSamples(2000);
    WriteSfx("lost.wav", Wave(44100, 16, 1, Samples16(data)));
    Sound s("lost", "lost.wav", false, 100);
    kiv::SoundBuffer* b = s.Buffer();
    ASSERT_NE(b, nullptr);
    b->Play(0);
    Advance(10);
    audio().SimulateLoss();
    unsigned status = 0;
    b->GetStatus(&status);
    EXPECT_EQ(status, kiv::ds::StatusBufferLost); // and no longer playing
    EXPECT_TRUE(s.IsBufferLost());
    std::uint8_t *first, *second;
    unsigned n1, n2;
    EXPECT_EQ(b->Play(0), kiv::ds::BufferLost);
    EXPECT_EQ(b->Lock(0, 4, &first, &n1, &second, &n2), kiv::ds::BufferLost);

    // Sound::Play sees the loss, restores, rewinds and refills, and plays the real data.
    s.Stop();
    std::size_t from = FramesKept();
    s.Play();
    Advance(50);
    EXPECT_FALSE(s.IsBufferLost());
    for (unsigned i = 0; i < data.size(); ++i)
        ASSERT_EQ(Left(from + i), data[i]) << i;
}

TEST_F(Mixing, BuffersRefuseFormatsAndSizesThatCannotPlay) {
    kiv::AudioMixer* mixer = SoundCard::DirectSound();
    auto format = [](unsigned rate, unsigned bits, unsigned channels) {
        kiv::WaveFormat f;
        f.formatTag = 1;
        f.channels = static_cast<std::uint16_t>(channels);
        f.samplesPerSec = rate;
        f.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
        f.avgBytesPerSec = rate * f.blockAlign;
        f.bitsPerSample = static_cast<std::uint16_t>(bits);
        return f;
    };
    kiv::SoundBuffer* b = nullptr;
    EXPECT_EQ(mixer->CreateBuffer(0, 100, format(44100, 24, 2), &b), kiv::ds::BadFormat);
    EXPECT_EQ(mixer->CreateBuffer(0, 100, format(44100, 16, 3), &b), kiv::ds::BadFormat);
    EXPECT_EQ(mixer->CreateBuffer(0, 100, format(50, 16, 1), &b), kiv::ds::BadFormat);
    kiv::WaveFormat inconsistent = format(44100, 16, 2);
    inconsistent.avgBytesPerSec = 1000;
    EXPECT_EQ(mixer->CreateBuffer(0, 100, inconsistent, &b), kiv::ds::BadFormat);
    EXPECT_EQ(mixer->CreateBuffer(0, 2, format(44100, 8, 1), &b), kiv::ds::InvalidParam);
    EXPECT_EQ(b, nullptr);

    ASSERT_EQ(mixer->CreateBuffer(kiv::ds::CapsControlVolume, 100, format(8000, 8, 2), &b),
              kiv::ds::Ok);
    EXPECT_EQ(b->SetPan(100), kiv::ds::ControlUnavailable); // not asked for
    EXPECT_EQ(b->SetVolume(1), kiv::ds::InvalidParam);
    EXPECT_EQ(b->SetCurrentPosition(100), kiv::ds::InvalidParam);
    EXPECT_EQ(b->SetCurrentPosition(51), kiv::ds::Ok); // down to a whole frame
    unsigned play = 0;
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 50u);
    // A lock past the end continues at the start.
    std::uint8_t *first = nullptr, *second = nullptr;
    unsigned n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(90, 20, &first, &n1, &second, &n2), kiv::ds::Ok);
    EXPECT_EQ(n1, 10u);
    EXPECT_EQ(n2, 10u);
    EXPECT_EQ(second + 90, first);
    mixer->Release(b);
}

TEST_F(Mixing, TheOutputCanBeCapturedToAWaveFile) {
    std::vector<std::int16_t> data = RampSamples(3000);
    WriteSfx("c.wav", Wave(44100, 16, 2, Samples16(data)));
    ASSERT_TRUE(audio().CaptureTo("streamed.wav"));
    Sound s("c", "c.wav", false, 100);
    s.Play();
    Advance(40);
    audio().StopCapture();
    ASSERT_TRUE(audio().WriteKept("kept.wav"));
    for (const char* file : {"streamed.wav", "kept.wav"}) {
        kiv::WaveFile wave;
        ASSERT_TRUE(wave.OpenDisk(file)) << file;
        ASSERT_TRUE(wave.Rewind());
        EXPECT_EQ(wave.Format().samplesPerSec, 44100u);
        EXPECT_EQ(wave.Format().channels, 2);
        EXPECT_EQ(wave.Format().bitsPerSample, 16);
        ASSERT_EQ(wave.Data().size, 1764u * 4) << file;
        Bytes got(wave.Data().size);
        wave.Read(wave.Data().size, got.data());
        Bytes expected = Samples16(data);
        expected.resize(got.size(), 0);
        EXPECT_EQ(got, expected) << file;
    }
}
