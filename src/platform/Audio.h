#pragma once

// Sound output and music synthesis. The runtime mixes everything it plays into one stream
// of 16-bit stereo frames at 44,100 frames a second; an AudioOutput pulls that stream, from
// a sound device on its own thread (sdl) or as the clock advances (headless). Music is
// synthesised by a MidiSynth and mixed into the same stream.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kiv::platform {

constexpr int AudioRate = 44100; // frames a second
constexpr int AudioChannels = 2; // left, right; each sample a signed 16-bit value

class AudioOutput;

// What an output plays.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Writes `frames` frames (2 × frames samples, left first). May run on the output's own
    // thread: it must neither block for long nor allocate.
    virtual void Render(std::int16_t* out, unsigned frames) = 0;
    // The output stops pulling from this source (it closed, or it is being destroyed).
    virtual void Detached(AudioOutput&) {}
    // The device took the memory of the source's buffers away; they must be restored.
    virtual void DeviceLost() {}
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts pulling 44.1 kHz 16-bit stereo frames from `source`, replacing any source it
    // had. False when no output could be opened.
    virtual bool Open(AudioSource& source) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // True when a sound device plays what is pulled; false when it is rendered and then
    // discarded or captured.
    virtual bool HasDevice() const = 0;
    // A paused output pulls nothing; the time it spends paused is not made up afterwards.
    virtual void Pause(bool paused) = 0;
    // Brings the output up to date with its clock. An output without a thread of its own
    // renders here every frame that has become due since the previous call; the mixer calls
    // it before each change it makes, so that the change takes effect at the current time.
    virtual void Update() {}
};

// A General MIDI synthesiser at the output rate. Not thread-safe: its user serialises the
// calls (the audio thread renders while the game thread starts and stops music).
class MidiSynth {
public:
    virtual ~MidiSynth() = default;
    // One channel message: status byte (with its channel) and up to two data bytes.
    virtual void Send(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) = 0;
    // A system-exclusive message, without its leading 0xF0 and trailing 0xF7.
    virtual void SystemExclusive(const std::uint8_t* data, std::size_t size) = 0;
    // Silences every voice at once, without release.
    virtual void AllSoundsOff() = 0;
    // Back to the power-on state: every program 0, every controller at its default.
    virtual void Reset() = 0;
    // True while some voice still sounds.
    virtual bool Sounding() = 0;
    // Writes `frames` interleaved stereo frames, full scale being ±1.
    virtual void Render(float* out, unsigned frames) = 0;
};

// The General MIDI sound font: KIV_SOUNDFONT when set, else the TimGM6mb font of the
// system's sound font folder.
std::string SoundFontPath();
// A synthesiser loaded with that sound font; null when the synthesiser or the font is
// missing (music then plays silently).
std::unique_ptr<MidiSynth> CreateMidiSynth();

} // namespace kiv::platform
