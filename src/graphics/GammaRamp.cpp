#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/graphics/GammaRamp.h>

#include "base/Messages.h"
#include "graphics/Display.h"

GammaRamp* Effect_GammaRamp = nullptr;

namespace {

CREATE registration("GammaRamp", GammaRamp::CreateObject);

// Message of a refused start: the one given when another effect runs; the full-screen one
// follows it in the table.
constexpr int FilterBusy = 51;
constexpr int FadeInBusy = 53;
constexpr int FadeOutBusy = 55;

// Every channel at trunc(i × step × factor), multiplied in that order.
void Fill(DDGAMMARAMP& ramp, float step, float factor) {
    for (int i = 0; i < 256; ++i) {
        auto v = static_cast<unsigned short>(static_cast<float>(i) * step * factor);
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = v;
    }
}

void SaveTable(File& file, const unsigned short (&table)[256]) {
    for (unsigned short v : table)
        file.Write(v);
}

void LoadTable(File& file, unsigned short (&table)[256]) {
    for (unsigned short& v : table)
        file.Read(v);
}

} // namespace

GammaRamp::GammaRamp() {
    Fill(m_Ramps[0], 255.0f, 1.0f);
    m_Ramps[1] = m_Ramps[0];
    Idle();
}

GammaRamp::~GammaRamp() = default;

node* GammaRamp::CreateObject() {
    return new GammaRamp;
}

const char* GammaRamp::ClassName() {
    return "GammaRamp";
}

void GammaRamp::Idle() {
    m_Kind = NoEffect;
    m_Frame = m_Hold = m_Duration = 0;
    m_Running = false;
    m_Step = 0;
    m_Restore = true;
}

bool GammaRamp::MayStart(const char* function, int busyMessage) const {
    if (!kiv::HasGammaControl()) {
        kiv::ReportUserError(function, busyMessage + 1);
        return false;
    }
    if (m_Running) {
        kiv::ReportUserError(function, busyMessage);
        return false;
    }
    return true;
}

void GammaRamp::ApplyScaled(float factor) {
    Fill(m_Ramps[1], m_Step, factor);
    kiv::SetGammaRamp(m_Ramps[1]);
}

void GammaRamp::Filter(COLORREF colour, int frames) {
    if (!MayStart("void GammaRamp::Filter(unsigned long,int)", FilterBusy))
        return;
    unsigned int r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
    for (unsigned int i = 0; i < 256; ++i) {
        m_Ramps[1].red[i] = static_cast<unsigned short>(r * i);
        m_Ramps[1].green[i] = static_cast<unsigned short>(g * i);
        m_Ramps[1].blue[i] = static_cast<unsigned short>(b * i);
    }
    kiv::SetGammaRamp(m_Ramps[1]);
    m_Duration = frames;
    m_Kind = Filtering;
    m_Running = true;
}

void GammaRamp::FadeIn(int frames) {
    if (!MayStart("void GammaRamp::FadeIn(int)", FadeInBusy))
        return;
    m_Step = frames == 0 ? 0.0f : 255.0f / static_cast<float>(frames);
    ApplyScaled(1.0f);
    m_Duration = frames;
    m_Kind = FadingIn;
    m_Running = true;
}

void GammaRamp::FadeOut(int frames, int hold, bool restore) {
    if (!MayStart("void GammaRamp::FadeOut(int,int,bool)", FadeOutBusy))
        return;
    m_Step = frames == 0 ? 0.0f : 255.0f / static_cast<float>(frames);
    m_Ramps[1] = m_Ramps[0];
    kiv::SetGammaRamp(m_Ramps[1]);
    m_Duration = frames;
    m_Kind = FadingOut;
    m_Hold = hold;
    m_Restore = restore;
    m_Running = true;
}

void GammaRamp::Update() {
    if (!kiv::HasGammaControl()) { // a window: whatever ran is over
        Idle();
        return;
    }
    switch (m_Kind) {
    case Filtering:
        if (m_Frame > m_Duration)
            Stop();
        else if (m_Running)
            ++m_Frame;
        break;
    case FadingIn:
        if (m_Frame > static_cast<long long>(m_Duration) - 1) {
            Stop();
            break;
        }
        ++m_Frame;
        ApplyScaled(static_cast<float>(m_Frame));
        break;
    case FadingOut:
        if (m_Frame > static_cast<long long>(m_Duration) + m_Hold) {
            Stop();
            break;
        }
        ++m_Frame;
        if (m_Frame < m_Duration) // the last ramp stays during the hold
            ApplyScaled(static_cast<float>(m_Duration - m_Frame));
        break;
    default:
        break;
    }
}

void GammaRamp::Stop() {
    if (kiv::HasGammaControl() && (m_Kind != FadingOut || m_Restore))
        kiv::SetGammaRamp(m_Ramps[0]);
    Idle();
}

void GammaRamp::ShowRamp() {
    kiv::SetGammaRamp(m_Kind == NoEffect ? m_Ramps[0] : m_Ramps[1]);
}

void GammaRamp::Save(File& file) {
    file.Write(m_Kind);
    file.Write(m_Frame);
    file.Write(m_Hold);
    file.Write(m_Duration);
    file.Write(m_Running);
    SaveTable(file, m_Ramps[1].red);
    SaveTable(file, m_Ramps[1].green);
    SaveTable(file, m_Ramps[1].blue);
    file.Write(m_Step);
    file.Write(m_Restore);
}

void GammaRamp::Load(File& file) {
    file.Read(m_Kind);
    file.Read(m_Frame);
    file.Read(m_Hold);
    file.Read(m_Duration);
    file.Read(m_Running);
    LoadTable(file, m_Ramps[1].red);
    LoadTable(file, m_Ramps[1].green);
    LoadTable(file, m_Ramps[1].blue);
    file.Read(m_Step);
    file.Read(m_Restore);
}
