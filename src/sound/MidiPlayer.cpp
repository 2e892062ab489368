#include "sound/MidiPlayer.h"

#include <algorithm>
#include <cmath>

namespace kiv {

namespace {

constexpr float FullScale = 32768.0f;

} // namespace

MidiPlayer::MidiPlayer(AudioMixer& m, MidiSequence s, std::unique_ptr<platform::MidiSynth> syn)
    : mixer(m), sequence(std::move(s)), synth(std::move(syn)),
      framesPerTick(sequence.FramesPerTick(DefaultTempo)), scratch(2 * AudioMixer::BlockFrames) {
    mixer.Add(this);
}

MidiPlayer::~MidiPlayer() {
    mixer.Remove(this); // after this the audio thread no longer reaches the player
}

void MidiPlayer::Play(long musicTime, unsigned repeats) {
    mixer.Sync();
    std::lock_guard<std::mutex> hold(guard);
    if (playing)
        return;
    double start = musicTime > 0 ? sequence.TickAt(musicTime) : 0.0;
    if (start >= sequence.Length())
        start = 0;
    Seek(start);
    repeatsLeft = repeats;
    playing = true;
}

void MidiPlayer::Stop() {
    mixer.Sync();
    std::lock_guard<std::mutex> hold(guard);
    playing = false;
    if (synth)
        synth->AllSoundsOff();
}

bool MidiPlayer::IsPlaying() {
    mixer.Sync();
    std::lock_guard<std::mutex> hold(guard);
    return playing;
}

long MidiPlayer::MusicTime() {
    mixer.Sync();
    std::lock_guard<std::mutex> hold(guard);
    return sequence.MusicTime(Tick());
}

void MidiPlayer::Volume(int level) {
    mixer.Sync();
    std::lock_guard<std::mutex> hold(guard);
    gain = static_cast<float>(std::pow(10.0, level / 2000.0));
}

// A start in the middle: the synthesiser is reset and given every program, controller,
// pitch-bend and system-exclusive message (and the tempo) before that point, without notes.
void MidiPlayer::Seek(double to) {
    if (synth)
        synth->Reset();
    frame = 0;
    Anchor(0, 0, sequence.FramesPerTick(DefaultTempo));
    const std::vector<MidiEvent>& events = sequence.Events();
    next = 0;
    for (; next < events.size() && events[next].tick < to; ++next) {
        const MidiEvent& e = events[next];
        std::uint8_t kind = e.status & 0xF0;
        if (kind != 0x80 && kind != 0x90 && kind != 0xA0)
            Dispatch(e);
    }
    Anchor(to, 0, framesPerTick);
}

void MidiPlayer::Anchor(double tick, double atFrame, double newFramesPerTick) {
    anchorTick = tick;
    anchorFrame = atFrame;
    framesPerTick = newFramesPerTick;
}

void MidiPlayer::Dispatch(const MidiEvent& e) {
    if (e.status == MidiEvent::Tempo) {
        Anchor(e.tick, FrameAt(e.tick), sequence.FramesPerTick(e.value));
    } else if (!synth) {
        return;
    } else if (e.status == MidiEvent::SysEx) {
        synth->SystemExclusive(sequence.SysExData(e), e.length);
    } else {
        synth->Send(e.status, e.data1, e.data2);
    }
}

void MidiPlayer::Synthesise(float* mix, unsigned offset, unsigned count) {
    if (!synth)
        return;
    const float scale = gain * FullScale;
    float* out = mix + 2 * offset;
    while (count > 0) {
        unsigned n = std::min(count, static_cast<unsigned>(scratch.size() / 2));
        synth->Render(scratch.data(), n);
        for (unsigned i = 0; i < 2 * n; ++i)
            out[i] += scratch[i] * scale;
        out += 2 * n;
        count -= n;
    }
}

void MidiPlayer::Mix(float* mix, unsigned count) {
    std::lock_guard<std::mutex> hold(guard);
    if (!playing && !(synth && synth->Sounding()))
        return;
    const std::vector<MidiEvent>& events = sequence.Events();
    const double end = sequence.Length();
    unsigned done = 0;
    while (done < count) {
        if (!playing) { // notes still fading after the end
            Synthesise(mix, done, count - done);
            return;
        }
        // The first whole frame at or after the next event (or the end of the sequence).
        double target = next < events.size() ? events[next].tick : end;
        double at = std::max(frame, std::ceil(FrameAt(target) - 1e-6));
        if (at - frame > count - done) {
            unsigned n = count - done;
            Synthesise(mix, done, n);
            frame += n;
            return;
        }
        auto n = static_cast<unsigned>(at - frame);
        Synthesise(mix, done, n);
        done += n;
        frame = at;
        if (next < events.size()) {
            for (; next < events.size() && events[next].tick <= target; ++next)
                Dispatch(events[next]);
        } else if (repeatsLeft > 0 && end > 0) {
            --repeatsLeft;
            frame = 0;
            next = 0;
            Anchor(0, 0, sequence.FramesPerTick(DefaultTempo));
        } else {
            playing = false;
        }
    }
}

} // namespace kiv
