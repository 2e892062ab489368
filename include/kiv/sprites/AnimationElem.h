#pragma once

#include <kiv/Export.h>

class FrameElem;
class Sound;

// One animation of an actor: its frames, where playback goes on after the last frame, and
// the sound that belongs to it.
class KIV_API AnimationElem {
public:
    AnimationElem();
    AnimationElem(const AnimationElem&) = delete;
    AnimationElem& operator=(const AnimationElem&) = delete;
    virtual ~AnimationElem();

    // Makes `count` empty frames (dropping any before).
    void Frames(int count);

    int m_FrameCount;
    FrameElem* m_Frames;
    // A loop frame not below the frame count stops the animation on its last frame.
    int m_LoopFrame;
    Sound* m_Sound; // owned by the level's sound list
    bool m_LoopSound;
    bool m_SoundEnabled;
};
