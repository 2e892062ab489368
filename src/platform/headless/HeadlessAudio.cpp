#include "platform/headless/HeadlessAudio.h"

#include <algorithm>
#include <cstdlib>

namespace kiv::platform::headless {

namespace {

constexpr unsigned BlockFrames = 1024;

} // namespace

std::vector<unsigned char> WavHeader(std::uint64_t frames) {
    const std::uint32_t blockAlign = 2 * AudioChannels;
    // A RIFF size field holds 32 bits; a longer capture keeps the largest size it can.
    auto bytes =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(frames * blockAlign, 0xFFFFFFFFu - 36));
    std::vector<unsigned char> h;
    h.reserve(44);
    auto id = [&h](const char* text) { h.insert(h.end(), text, text + 4); };
    auto put = [&h](std::uint32_t v, int size) {
        for (int i = 0; i < size; ++i)
            h.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    id("RIFF");
    put(36 + bytes, 4);
    id("WAVE");
    id("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(AudioChannels, 2);
    put(AudioRate, 4);
    put(AudioRate * blockAlign, 4);
    put(blockAlign, 2);
    put(16, 2);
    id("data");
    put(bytes, 4);
    return h;
}

HeadlessAudio::HeadlessAudio(Clock& c) : clock(c), block(2 * BlockFrames) {
    if (const char* path = std::getenv("KIV_AUDIO_CAPTURE"); path && *path)
        CaptureTo(path);
}

HeadlessAudio::~HeadlessAudio() {
    Close();
    StopCapture();
}

bool HeadlessAudio::Open(AudioSource& s) {
    if (source && source != &s)
        Close();
    if (!source) {
        lastTime = clock.Milliseconds();
        elapsedMs = 0;
        rendered = 0;
    }
    source = &s;
    return true;
}

void HeadlessAudio::Close() {
    if (!source)
        return;
    AudioSource* was = source;
    source = nullptr;
    was->Detached(*this);
}

void HeadlessAudio::Pause(bool p) {
    Update();
    paused = p;
}

void HeadlessAudio::Update() {
    if (!source)
        return;
    std::uint32_t now = clock.Milliseconds();
    // A clock set backwards renders nothing until it has caught up again.
    std::int32_t step = static_cast<std::int32_t>(now - lastTime);
    if (step <= 0)
        return;
    lastTime = now;
    elapsedMs += static_cast<std::uint32_t>(step);
    std::uint64_t due = elapsedMs * AudioRate / 1000;
    if (paused) {
        rendered = due;
        return;
    }
    while (rendered < due && source) {
        unsigned n = static_cast<unsigned>(std::min<std::uint64_t>(BlockFrames, due - rendered));
        source->Render(block.data(), n);
        Take(block.data(), n);
        rendered += n;
    }
}

void HeadlessAudio::Take(const std::int16_t* frames, unsigned count) {
    if (keeping)
        kept.insert(kept.end(), frames, frames + 2 * count);
    if (capture) {
        unsigned char bytes[4 * BlockFrames];
        for (unsigned i = 0; i < 2 * count; ++i) {
            auto v = static_cast<std::uint16_t>(frames[i]);
            bytes[2 * i] = static_cast<unsigned char>(v);
            bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
        }
        std::fwrite(bytes, 4, count, capture);
        captured += count;
    }
}

void HeadlessAudio::KeepFrames() {
    Update();
    keeping = true;
    kept.clear();
}

void HeadlessAudio::StopKeeping() {
    Update();
    keeping = false;
}

const std::vector<std::int16_t>& HeadlessAudio::Kept() {
    Update();
    return kept;
}

bool HeadlessAudio::WriteKept(const char* path) {
    Update();
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    std::vector<unsigned char> header = WavHeader(kept.size() / 2);
    std::vector<unsigned char> bytes(2 * kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        auto v = static_cast<std::uint16_t>(kept[i]);
        bytes[2 * i] = static_cast<unsigned char>(v);
        bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    bool ok = std::fwrite(header.data(), 1, header.size(), out) == header.size() &&
              std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && ok;
}

bool HeadlessAudio::CaptureTo(const char* path) {
    Update();
    StopCapture();
    capture = std::fopen(path, "wb");
    if (!capture)
        return false;
    std::vector<unsigned char> header = WavHeader(0); // sizes are filled in at the end
    std::fwrite(header.data(), 1, header.size(), capture);
    captured = 0;
    return true;
}

void HeadlessAudio::StopCapture() {
    Update();
    if (!capture)
        return;
    std::vector<unsigned char> header = WavHeader(captured);
    std::fseek(capture, 0, SEEK_SET);
    std::fwrite(header.data(), 1, header.size(), capture);
    std::fclose(capture);
    capture = nullptr;
}

void HeadlessAudio::SimulateLoss() {
    Update();
    if (source)
        source->DeviceLost();
}

} // namespace kiv::platform::headless
