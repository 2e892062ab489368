#pragma once

#include <kiv/Kiv.h>

#include "MediaFiles.h"
#include "Scratch.h"
#include "host/HostGlobals.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kiv::test {

inline Bytes Samples16(const std::vector<std::int16_t>& samples) {
    Bytes b;
    for (std::int16_t s : samples)
        Put16(b, static_cast<std::uint16_t>(s));
    return b;
}

// Distinct, non-silent 16-bit values: sample i of a ramp that never repeats within 20,000.
inline std::int16_t Ramp(unsigned i) {
    return static_cast<std::int16_t>(static_cast<int>((i * 7919u) % 20011u) - 10005);
}

inline std::vector<std::int16_t> RampSamples(unsigned count, unsigned from = 0) {
    std::vector<std::int16_t> s(count);
    for (unsigned i = 0; i < count; ++i)
        s[i] = Ramp(from + i);
    return s;
}

// What the mixer makes of a sample at a gain: rounded to the nearest integer.
inline std::int16_t Scaled(float sample, float gain) {
    float v = sample * gain;
    v = v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v;
    return static_cast<std::int16_t>(std::lrint(v));
}

inline float Gain(int hundredthsOfDecibel) {
    return static_cast<float>(std::pow(10.0, hundredthsOfDecibel / 2000.0));
}

// A fresh headless backend whose output keeps what it renders, a level that runs, and
// sound folders in the scratch folder.
class SoundTest : public Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        platform = &static_cast<platform::headless::HeadlessPlatform&>(platform::Current());
        SFXPath = "sfx\\";
        MusicPath = "music\\";
        std::filesystem::create_directories("sfx");
        std::filesystem::create_directories("music");
        level = new GameNode;
        gNode = level;
        audio().KeepFrames();
    }
    void TearDown() override {
        gNode = nullptr;
        delete level;
        Scratch::TearDown();
    }

    platform::headless::HeadlessAudio& audio() { return platform->audio; }
    void Advance(std::uint32_t ms) { platform->clock.Advance(ms); }
    // Advances in steps of a 60 Hz frame, refilling streamed sounds after each.
    void RunFrames(int frames) {
        for (int i = 0; i < frames; ++i) {
            Advance(16);
            SoundCard::Instance().UpdateBuffers();
        }
    }
    // Left and right sample of output frame i.
    std::int16_t Left(std::size_t i) { return audio().Kept().at(2 * i); }
    std::int16_t Right(std::size_t i) { return audio().Kept().at(2 * i + 1); }
    std::size_t FramesKept() { return audio().Kept().size() / 2; }

    platform::headless::HeadlessPlatform* platform = nullptr;
    GameNode* level = nullptr;
};

} // namespace kiv::test
