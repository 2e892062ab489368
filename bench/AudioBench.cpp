// The cost of sound: the mixer rendering one second of output with 32 buffers playing (at
// the output rate, resampled, 8- and 16-bit, mono and stereo), and the MIDI synthesiser
// rendering a busy General MIDI file, both measured against real time.

#include "platform/Audio.h"
#include "sound/AudioMixer.h"
#include "sound/MidiPlayer.h"
#include "sound/MidiSequence.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr unsigned OutputRate = kiv::platform::AudioRate;

kiv::WaveFormat Pcm(unsigned rate, unsigned bits, unsigned channels) {
    kiv::WaveFormat f;
    f.formatTag = 1;
    f.channels = static_cast<std::uint16_t>(channels);
    f.samplesPerSec = rate;
    f.bitsPerSample = static_cast<std::uint16_t>(bits);
    f.blockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

// One second of output from `voices` looping buffers of half a second each. With
// `resampled`, the buffers run at 22,050 and 11,025 Hz and are interpolated.
void MixVoices(benchmark::State& state, bool resampled) {
    const int voices = static_cast<int>(state.range(0));
    kiv::AudioMixer mixer;
    std::vector<kiv::SoundBuffer*> buffers;
    for (int v = 0; v < voices; ++v) {
        unsigned bits = v % 2 ? 16 : 8, channels = v % 4 < 2 ? 1 : 2;
        unsigned rate = resampled ? (v % 3 ? 22050 : 11025) : OutputRate;
        kiv::WaveFormat f = Pcm(rate, bits, channels);
        kiv::SoundBuffer* b = nullptr;
        mixer.CreateBuffer(kiv::ds::CapsControlVolume | kiv::ds::CapsControlPan,
                           f.avgBytesPerSec / 2, f, &b);
        std::uint8_t* data;
        unsigned size;
        b->Lock(0, b->Bytes(), &data, &size, nullptr, nullptr);
        for (unsigned i = 0; i < size; ++i)
            data[i] = static_cast<std::uint8_t>(i * 7 + v);
        b->SetVolume(-100 * v);
        b->SetPan(v * 600 - 9000);
        b->Play(kiv::ds::PlayLooping);
        buffers.push_back(b);
    }
    std::vector<std::int16_t> out(2 * OutputRate);
    for (auto _ : state) {
        mixer.Render(out.data(), OutputRate);
        benchmark::DoNotOptimize(out.data());
    }
    for (kiv::SoundBuffer* b : buffers)
        mixer.Release(b);
    // Seconds of audio a second of work: how many times faster than real time.
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * OutputRate * voices);
}

void BM_MixerOneSecond(benchmark::State& state) {
    MixVoices(state, false);
}
BENCHMARK(BM_MixerOneSecond)->Arg(1)->Arg(32)->Unit(benchmark::kMicrosecond);

void BM_MixerOneSecondResampled(benchmark::State& state) {
    MixVoices(state, true);
}
BENCHMARK(BM_MixerOneSecondResampled)->Arg(32)->Unit(benchmark::kMicrosecond);

// Eight channels of chords, each a different instrument, a note every eighth note.
std::vector<unsigned char> BusyTune() {
    std::vector<unsigned char> track;
    for (int ch = 0; ch < 8; ++ch)
        track.insert(track.end(), {0x00, static_cast<unsigned char>(0xC0 | ch),
                                   static_cast<unsigned char>(ch * 9)});
    for (int step = 0; step < 64; ++step) {
        for (int ch = 0; ch < 8; ++ch) {
            auto note = static_cast<unsigned char>(48 + (step * 5 + ch * 7) % 36);
            track.insert(track.end(), {0x00, static_cast<unsigned char>(0x90 | ch), note, 90, 0x00,
                                       static_cast<unsigned char>(0x90 | ch),
                                       static_cast<unsigned char>(note + 4), 80});
        }
        track.push_back(0x30); // an eighth note at 96 a quarter
        for (int ch = 0; ch < 8; ++ch) {
            auto note = static_cast<unsigned char>(48 + (step * 5 + ch * 7) % 36);
            track.insert(track.end(), {static_cast<unsigned char>(0x80 | ch), note, 0, 0x00,
                                       static_cast<unsigned char>(0x80 | ch),
                                       static_cast<unsigned char>(note + 4), 0});
            if (ch < 7)
                track.push_back(0x00);
        }
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0,  0,   0,   6,   0,
                                       0,   0,   1,   0,   96, 'M', 'T', 'r', 'k'};
    auto n = static_cast<std::uint32_t>(track.size());
    file.insert(file.end(),
                {static_cast<unsigned char>(n >> 24), static_cast<unsigned char>(n >> 16),
                 static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(n)});
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

// One second of a busy tune through the General MIDI synthesiser, looping.
void BM_MidiOneSecond(benchmark::State& state) {
    std::unique_ptr<kiv::platform::MidiSynth> synth = kiv::platform::CreateMidiSynth();
    if (!synth) {
        state.SkipWithError("no General MIDI sound font");
        return;
    }
    std::vector<unsigned char> bytes = BusyTune();
    kiv::MidiSequence sequence;
    sequence.Parse(bytes.data(), bytes.size());
    kiv::AudioMixer mixer;
    kiv::MidiPlayer player(mixer, std::move(sequence), std::move(synth));
    player.Play(0, 100000);
    std::vector<std::int16_t> out(2 * OutputRate);
    for (auto _ : state) {
        mixer.Render(out.data(), OutputRate);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MidiOneSecond)->Unit(benchmark::kMillisecond);

} // namespace
