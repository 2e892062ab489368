#pragma once

#include "platform/Audio.h"
#include "platform/headless/HeadlessAudio.h"

#include <cstdint>

namespace kiv::platform::sdl {

// The default sound device, pulled by SDL's audio thread. Without a usable device (no
// driver, no card, SDL_AUDIODRIVER naming none that works) the stream is rendered as the
// clock advances and discarded, so that sounds still play out and end on time.
class SdlAudio : public AudioOutput {
public:
    explicit SdlAudio(Clock& clock) : silent(clock) {}
    ~SdlAudio() override;

    bool Open(AudioSource& source) override;
    void Close() override;
    bool IsOpen() const override { return device != 0 || silent.IsOpen(); }
    bool HasDevice() const override { return device != 0; }
    void Pause(bool paused) override;
    void Update() override;

private:
    static void Pull(void* self, std::uint8_t* stream, int bytes);

    std::uint32_t device = 0;
    AudioSource* source = nullptr;
    headless::HeadlessAudio silent;
};

} // namespace kiv::platform::sdl
