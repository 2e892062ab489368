#pragma once

#include "platform/Audio.h"
#include "platform/Platform.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kiv::platform::headless {

// An output without a device and without a thread: Update renders the frames that the clock
// has made due since the output opened (44.1 frames a millisecond), so with the virtual clock
// every run renders the same samples at the same moments. What it renders can be kept in
// memory for tests and written to a WAV file; KIV_AUDIO_CAPTURE=<file.wav> captures a whole
// run to that file.
class HeadlessAudio : public AudioOutput {
public:
    explicit HeadlessAudio(Clock& clock);
    ~HeadlessAudio() override;

    bool Open(AudioSource& source) override;
    void Close() override;
    bool IsOpen() const override { return source != nullptr; }
    bool HasDevice() const override { return false; }
    void Pause(bool paused) override;
    void Update() override;

    // Frames rendered since the output opened.
    std::uint64_t FramesRendered() const { return rendered; }

    // Keeps every frame rendered from now on (interleaved left, right) until StopKeeping.
    void KeepFrames();
    void StopKeeping();
    // The frames kept so far, brought up to date first.
    const std::vector<std::int16_t>& Kept();
    // Writes the frames kept so far as a 44.1 kHz 16-bit stereo WAV file.
    bool WriteKept(const char* path);

    // Streams every frame rendered from now on into a WAV file, finished when the output
    // closes or the capture stops. False when the file cannot be written.
    bool CaptureTo(const char* path);
    void StopCapture();

    // The device takes the memory of every buffer away, as a system does when another
    // program claims the device.
    void SimulateLoss();

private:
    void Take(const std::int16_t* frames, unsigned count);

    Clock& clock;
    AudioSource* source = nullptr;
    bool paused = false;
    std::uint32_t lastTime = 0;
    std::uint64_t elapsedMs = 0;
    std::uint64_t rendered = 0;
    std::vector<std::int16_t> block;
    bool keeping = false;
    std::vector<std::int16_t> kept;
    std::FILE* capture = nullptr;
    std::uint64_t captured = 0;
};

// The 44-byte header of a 16-bit stereo 44.1 kHz WAV file holding `frames` frames.
std::vector<unsigned char> WavHeader(std::uint64_t frames);

} // namespace kiv::platform::headless
