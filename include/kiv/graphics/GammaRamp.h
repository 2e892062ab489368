#pragma once

#include <kiv/base/Types.h>
#include <kiv/base/node.h>

// One ramp per colour channel: entry i is the intensity shown for a component of value i,
// from 0 to 255 × 255 (the identity ramp holds i × 255).
struct DDGAMMARAMP {
    unsigned short red[256];
    unsigned short green[256];
    unsigned short blue[256];
};

// Colour filter, fade in and fade out through the gamma ramp of a full-screen display. A
// window has no gamma ramp: there the requests are refused and a running effect ends.
class KIV_API GammaRamp : public node {
public:
    // Values of the kind field.
    enum { NoEffect = -1, Filtering = 0, FadingIn = 1, FadingOut = 2 };

    GammaRamp();
    GammaRamp(const GammaRamp&) = delete;
    GammaRamp& operator=(const GammaRamp&) = delete;
    ~GammaRamp() override;

    static node* CreateObject();
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    // Each channel scaled by its byte of the colour, for `frames` frames.
    void Filter(COLORREF colour, int frames);
    // From black up to the identity ramp in `frames` steps.
    void FadeIn(int frames);
    // Down to black in `frames` steps, then `hold` frames dark; `restore` puts the identity
    // ramp back at the end.
    void FadeOut(int frames, int hold, bool restore);
    // One step; the frame loop calls it once per frame.
    void Update();
    bool IsRunning() const { return m_Running; }
    void Stop();

    // The ramp the effect last set.
    const DDGAMMARAMP& Working() const { return m_Ramps[1]; }
    // Puts on the display the ramp this effect stands for: its working ramp while an effect
    // is under way, the identity otherwise. A loaded game needs it, because a filter sets its
    // ramp only once, when it starts.
    void ShowRamp();

private:
    // Refuses a start (user error) without full-screen display or while an effect runs.
    bool MayStart(const char* function, int busyMessage) const;
    // The working ramp with every channel at trunc(i × step × factor), then applied.
    void ApplyScaled(float factor);
    void Idle();

    // The identity ramp (to restore) and the working ramp.
    DDGAMMARAMP m_Ramps[2];
    int m_Kind;
    int m_Frame;
    int m_Hold;
    int m_Duration;
    bool m_Running;
    float m_Step;
    bool m_Restore;
};

extern KIV_API GammaRamp* Effect_GammaRamp;
