#pragma once

#include <kiv/base/Handle.h>
#include <kiv/sound/SoundBase.h>

// A sound effect: the whole wave in one buffer.
class KIV_API Sound : public SoundBase {
public:
    Sound();
    // percentage: how much of the sound must have played before playing it again restarts
    // it (limited to 0..100).
    Sound(const char* name, const char* file, bool loop, int percentage);

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    // Not playing: plays from the saved position. Playing: restarts from the start once
    // the play percentage of the buffer has played.
    void Play() override;
    // Stops and rewinds.
    void Stop() override;

    void SetPlayPercentage(int percentage);
    int PlayPercentage() const { return m_PlayPercentage; }

    // The sound of the running level with that name, or null.
    static Sound* Search(const char* name);

protected:
    // Plays from the cursor; a lost buffer is rewound, restored, refilled and started again.
    void Start(unsigned long position);

    int m_PlayPercentage;
};

// A Sound that is never null: an unknown name gives a silent stand-in.
class KIV_API SoundPTR : public kiv::Handle<Sound, SoundPTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static Sound* Fallback() { return &dummySoundPtr; }
    static Sound dummySoundPtr;
};
