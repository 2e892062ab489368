#pragma once

#include "platform/Audio.h"
#include "sound/AudioMixer.h"
#include "sound/MidiSequence.h"

#include <memory>
#include <mutex>
#include <vector>

namespace kiv {

// Plays a MIDI sequence through a synthesiser into the mixer, timed by the frames the mixer
// renders: a segment with a start point, a repeat count and a master volume. Without a
// synthesiser the music still advances, silently.
class MidiPlayer : public MixerStream {
public:
    MidiPlayer(AudioMixer& mixer, MidiSequence sequence,
               std::unique_ptr<platform::MidiSynth> synth);
    ~MidiPlayer() override;
    MidiPlayer(const MidiPlayer&) = delete;
    MidiPlayer& operator=(const MidiPlayer&) = delete;

    // Starts at `musicTime` and plays the whole sequence `repeats` more times after the
    // first; nothing when already playing. A start beyond the end starts at the beginning.
    void Play(long musicTime, unsigned repeats);
    // Stops at once, silencing every note; the position stays where it was.
    void Stop();
    bool IsPlaying();
    // The position in the sequence, in music time (768 a quarter note).
    long MusicTime();
    long Length() const { return sequence.MusicTime(sequence.Length()); }
    // Master volume in hundredths of a decibel (gain 10^(v / 2000)).
    void Volume(int level);
    bool HasSynth() const { return synth != nullptr; }

    void Mix(float* mix, unsigned count) override;

private:
    void Seek(double tick);
    void Dispatch(const MidiEvent& e);
    void Synthesise(float* mix, unsigned offset, unsigned count);
    // Where the music is, in ticks, and the frame at which it reaches `tick`: both measured
    // from the last change of tempo, so that rounding never adds up.
    double Tick() const { return anchorTick + (frame - anchorFrame) / framesPerTick; }
    double FrameAt(double tick) const { return anchorFrame + (tick - anchorTick) * framesPerTick; }
    void Anchor(double tick, double atFrame, double newFramesPerTick);

    AudioMixer& mixer;
    const MidiSequence sequence;
    std::unique_ptr<platform::MidiSynth> synth;
    std::mutex guard; // the audio thread renders while the game thread starts and stops
    bool playing = false;
    std::size_t next = 0; // the next event to send
    double frame = 0;     // frames played since the last start or loop (whole numbers)
    double anchorTick = 0;
    double anchorFrame = 0;
    double framesPerTick;
    unsigned repeatsLeft = 0;
    float gain = 1.0f;
    std::vector<float> scratch;
};

} // namespace kiv
