#pragma once

#include <kiv/base/Handle.h>
#include <kiv/sound/SoundBase.h>

// Music streamed from its wave file through a two-second buffer that plays round and round;
// each time the cursor enters one half, the other half is refilled with the data that
// follows. A copy of the buffer (the shadow) refills it after a loss.
class KIV_API StreamedSound : public SoundBase {
public:
    StreamedSound();
    StreamedSound(const char* name, const char* file, bool loop);
    ~StreamedSound() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    // Not playing: plays from the saved position.
    void Play() override;
    // Stops, rewinds and fills the buffer again from the start of the data.
    void Stop() override;

    // Refills the half that has just played; stops once the end of the data has played
    // (when not looping). Runs once per main-loop pass, only while playing.
    void UpdateBuffer();
    // Copies the shadow into the buffer.
    void FillFromLostBuffer();

    unsigned long LastPlayPosition() const { return m_LastPlayPosition; }
    unsigned long HalfSize() const { return m_HalfSize; }
    unsigned long EndPosition() const { return m_EndPosition; }
    bool Ending() const { return m_Ending; }

    // The streamed sound of the running level with that name, or null.
    static StreamedSound* Search(const char* name);

protected:
    // The shadow becomes silence and then as much data as the buffer holds, from the
    // current position of the wave.
    void FillShadow();
    // Rewinds; the buffer, then the shadow, are filled again from the start of the data.
    void Refill();

    unsigned long m_LastPlayPosition;
    unsigned long m_HalfSize;
    unsigned long m_EndPosition;
    bool m_Ending;
    unsigned char* m_Shadow;
};

// A StreamedSound that is never null: an unknown name gives a silent stand-in.
class KIV_API StreamedSoundPTR : public kiv::Handle<StreamedSound, StreamedSoundPTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static StreamedSound* Fallback() { return &dummyStreamedSoundPtr; }
    static StreamedSound dummyStreamedSoundPtr;
};
