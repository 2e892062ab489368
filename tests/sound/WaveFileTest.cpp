// Reading wave data: resources before files, damaged files, formats that can't play.

#include "sound/WaveFile.h"
#include "SoundFixture.h"
#include "sound/AudioMixer.h"

using namespace kiv::test;

namespace {

class WaveFiles : public SoundTest {
protected:
    void TearDown() override {
        kiv::platform::Resources::Instance().Clear();
        SoundTest::TearDown();
    }
};

// A deterministic stream of bytes.
struct Noise {
    std::uint32_t state;
    unsigned char Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<unsigned char>(state >> 24);
    }
};

} // namespace

TEST_F(WaveFiles, AWaveResourceIsPreferredToAFileOfTheSameName) {
    std::vector<std::int16_t> onDisk = RampSamples(100), embedded = RampSamples(100, 5000);
    WriteBytes("sfx/both.wav", Wave(44100, 16, 1, Samples16(onDisk)));
    Bytes resource = Wave(44100, 16, 1, Samples16(embedded));
    const KivResource table[] = {{"WAVE", "BOTH.WAV", resource.data(), resource.size()}};
    KivRegisterResources(table, 1);

    Sound s("both", "both.wav", false, 100);
    s.Play();
    Advance(5);
    for (unsigned i = 0; i < 100; ++i)
        ASSERT_EQ(Left(i), embedded[i]) << i;
}

TEST_F(WaveFiles, EveryTruncationOfAWaveLeavesTheSoundWithoutABuffer) {
    Bytes whole = Wave(22050, 16, 2, Samples16(RampSamples(64)));
    for (std::size_t size = 0; size < whole.size(); ++size) {
        Bytes cut(whole.begin(), whole.begin() + static_cast<long>(size));
        WriteBytes("sfx/cut.wav", cut);
        Sound s("cut", "cut.wav", false, 100);
        ASSERT_EQ(s.Buffer(), nullptr) << size;
        s.Play(); // does nothing, and nothing breaks
        s.SetVolume(-100);
        EXPECT_FALSE(s.IsPlaying());
        EXPECT_TRUE(s.IsBufferLost());
    }
    WriteBytes("sfx/cut.wav", whole);
    Sound s("cut", "cut.wav", false, 100);
    ASSERT_NE(s.Buffer(), nullptr);
    EXPECT_EQ(s.Buffer()->Bytes(), 64u * 2);
}

TEST_F(WaveFiles, GarbageAndDamagedHeadersNeverReadOutsideTheFile) {
    Bytes good = Wave(11025, 8, 1, Bytes(300, 140));
    Noise noise{7};
    for (int round = 0; round < 400; ++round) {
        Bytes b;
        if (round % 2) { // damage a few bytes of a good header
            b = good;
            for (int k = 0; k < 3; ++k)
                b[noise.Next() % 44] = noise.Next();
        } else { // a RIFF WAVE start, then anything
            b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
            for (unsigned k = noise.Next() % 200; k > 0; --k)
                b.push_back(noise.Next());
        }
        kiv::WaveFile wave;
        if (!wave.OpenMemory(b.data(), b.size()) || !wave.Rewind())
            continue;
        EXPECT_LE(wave.Data().offset + wave.Data().size, b.size());
        Bytes out(wave.Data().size + 16);
        EXPECT_EQ(wave.Read(static_cast<unsigned>(out.size()), out.data()), wave.Data().size);
        EXPECT_EQ(wave.Read(16, out.data()), 0u);
    }
}

TEST_F(WaveFiles, FormatsOtherThanPcmAreReadButGetNoBuffer) {
    // A compressed format with two extra format bytes, then a format whose extra bytes
    // would run past its chunk.
    Bytes adpcm = Wave(22050, 4, 1, Bytes(100, 0));
    adpcm[20] = 2;  // format tag
    adpcm[16] = 18; // the fmt chunk grows by the two-byte extra size...
    adpcm.insert(adpcm.begin() + 36, {0, 0});
    adpcm[4] += 2;
    WriteBytes("sfx/adpcm.wav", adpcm);
    kiv::WaveFile wave;
    ASSERT_TRUE(wave.OpenDisk("sfx/adpcm.wav"));
    EXPECT_EQ(wave.Format().formatTag, 2);
    EXPECT_TRUE(wave.Rewind());
    Sound s("adpcm", "adpcm.wav", false, 100);
    EXPECT_EQ(s.Buffer(), nullptr);

    adpcm[36] = 40; // 40 extra bytes in a chunk of 18
    WriteBytes("sfx/adpcm.wav", adpcm);
    EXPECT_FALSE(wave.OpenDisk("sfx/adpcm.wav"));
}

TEST_F(WaveFiles, AnExtensiblePcmWaveWithOtherChunksPlays) {
    std::vector<std::int16_t> data = RampSamples(50);
    Bytes b;
    PutId(b, "RIFF");
    Put32(b, 0); // filled in below
    PutId(b, "WAVE");
    PutId(b, "LIST"); // a chunk of odd length, padded
    Put32(b, 3);
    b.insert(b.end(), {1, 2, 3, 0});
    PutId(b, "fmt ");
    Put32(b, 40);
    Put16(b, 0xFFFE);
    Put16(b, 1);
    Put32(b, 44100);
    Put32(b, 88200);
    Put16(b, 2);
    Put16(b, 16);
    Put16(b, 22);
    Put16(b, 16);
    Put32(b, 4); // front centre
    b.insert(b.end(), {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
    PutId(b, "data");
    Put32(b, 100);
    Bytes samples = Samples16(data);
    b.insert(b.end(), samples.begin(), samples.end());
    b[4] = static_cast<unsigned char>(b.size() - 8);
    WriteBytes("sfx/ext.wav", b);

    Sound s("ext", "ext.wav", false, 100);
    ASSERT_NE(s.Buffer(), nullptr);
    s.Play();
    Advance(2);
    for (unsigned i = 0; i < 50; ++i)
        ASSERT_EQ(Left(i), data[i]) << i;
}
