#include <kiv/base/Console.h>
#include <kiv/game/GameNode.h>
#include <kiv/host/Host.h>
#include <kiv/sound/MidiFile.h>
#include <kiv/sound/Sound.h>
#include <kiv/sound/SoundCard.h>
#include <kiv/sound/StreamedSound.h>

#include "base/ConsoleOutput.h"
#include "platform/Audio.h"
#include "platform/Platform.h"
#include "sound/AudioMixer.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

bool SoundCard::m_Created = false;
HWND SoundCard::m_GameWindow = nullptr;

namespace {

// The mixer lives as long as the process: an output's thread may still pull it while
// static objects are destroyed at exit.
kiv::AudioMixer& Mixer() {
    static auto* mixer = new kiv::AudioMixer;
    return *mixer;
}

// Attaches the current platform's output to the mixer unless it is attached already (a
// platform replaced at run time comes with an output of its own).
kiv::platform::AudioOutput* OpenOutput() {
    kiv::AudioMixer& mixer = Mixer();
    kiv::platform::AudioOutput& output = kiv::platform::Current().GetAudio();
    if (mixer.Output() != &output && output.Open(mixer))
        mixer.Attach(&output);
    return mixer.Output();
}

struct KnownCode {
    std::int32_t code;
    const char* name;
    const char* description;
};

// The published names and descriptions of the sound calls' result codes.
const KnownCode KnownCodes[] = {
    {kiv::ds::AccessDenied, "DSERR_ACCESSDENIED", "The request failed because access was denied."},
    {kiv::ds::Allocated, "DSERR_ALLOCATED",
     "The request failed because resources, such as a priority level, were already in use by "
     "another caller."},
    {kiv::ds::AlreadyInitialized, "DSERR_ALREADYINITIALIZED", "The object is already initialized."},
    {kiv::ds::BadFormat, "DSERR_BADFORMAT", "The specified wave format is not supported."},
    {kiv::ds::BufferLost, "DSERR_BUFFERLOST",
     "The buffer memory has been lost and must be restored."},
    {kiv::ds::ControlUnavailable, "DSERR_CONTROLUNAVAIL",
     "The buffer control (volume, pan, and so on) requested by the caller is not available."},
    {kiv::ds::Generic, "DSERR_GENERIC",
     "An undetermined error occurred inside the DirectSound subsystem."},
    {kiv::ds::InvalidCall, "DSERR_INVALIDCALL",
     "This function is not valid for the current state of this object."},
    {kiv::ds::InvalidParam, "DSERR_INVALIDPARAM",
     "An invalid parameter was passed to the returning function."},
    {kiv::ds::NoAggregation, "DSERR_NOAGGREGATION", "The object does not support aggregation."},
    {kiv::ds::NoDriver, "DSERR_NODRIVER",
     "No sound driver is available for use, or the given GUID is not a valid DirectSound "
     "device ID."},
    {kiv::ds::NoInterface, "DSERR_NOINTERFACE", "The requested COM interface is not available."},
    {kiv::ds::OtherApplicationHasPriority, "DSERR_OTHERAPPHASPRIO",
     "Another application has a higher priority level, preventing this call from succeeding."},
    {kiv::ds::OutOfMemory, "DSERR_OUTOFMEMORY",
     "The DirectSound subsystem could not allocate sufficient memory to complete the caller's "
     "request."},
    {kiv::ds::PriorityLevelNeeded, "DSERR_PRIOLEVELNEEDED",
     "The caller does not have the priority level required for the function to succeed."},
    {kiv::ds::Uninitialized, "DSERR_UNINITIALIZED",
     "The IDirectSound::Initialize method has not been called or has not been called "
     "successfully before other methods were called."},
    {kiv::ds::Unsupported, "DSERR_UNSUPPORTED",
     "The function called is not supported at this time."},
};

template <class T, class F>
void ForEach(List& list, F f) {
    for (node* n = list.Head(); !n->EOList(); n = n->Next())
        f(*static_cast<T*>(n));
}

} // namespace

SoundCard::SoundCard(int rate, int bits, int channels, HWND window)
    : m_Rate(rate), m_Bits(bits), m_Channels(channels), m_Primary(nullptr) {
    if (m_Created)
        return;
    m_Created = true;
    m_GameWindow = window;
    OpenOutput();
    m_Primary = &Mixer();
}

SoundCard& SoundCard::Instance() {
    static SoundCard* card = new SoundCard(44100, 16, 2, _Ghwnd);
    return *card;
}

kiv::AudioMixer* SoundCard::DirectSound() {
    OpenOutput();
    return &Mixer();
}

void SoundCard::UpdateBuffers() {
    // Lets a clock-driven output render up to now, so that the cursors read below are
    // current.
    DirectSound()->Sync();
    if (!gNode)
        return;
    ForEach<StreamedSound>(gNode->StreamedSounds(), [](StreamedSound& s) { s.UpdateBuffer(); });
}

void SoundCard::ManageBuffers(bool resume) {
    if (!gNode)
        return;
    if (!resume) {
        auto pause = [](SoundBase& s) {
            if (!s.IsPlaying())
                return;
            s.Pause();
            s.PausedBySystem(true);
        };
        ForEach<StreamedSound>(gNode->StreamedSounds(), pause);
        ForEach<Sound>(gNode->Sounds(), pause);
        ForEach<MidiFile>(gNode->MidiFiles(), [](MidiFile& m) {
            if (!m.IsPlaying())
                return;
            m.Pause();
            m.PausedBySystem(true);
        });
        return;
    }
    ForEach<StreamedSound>(gNode->StreamedSounds(), [](StreamedSound& s) {
        if (s.Buffer() && s.IsBufferLost()) {
            s.RestoreBuffer();
            s.FillFromLostBuffer();
        }
        if (s.PausedBySystem()) {
            s.Play();
            s.PausedBySystem(false);
        }
    });
    ForEach<Sound>(gNode->Sounds(), [](Sound& s) {
        if (s.Buffer() && s.IsBufferLost()) {
            s.RestoreBuffer();
            s.Reset();
            s.FillBuffer();
        }
        if (s.PausedBySystem()) {
            s.Play();
            s.PausedBySystem(false);
        }
    });
    ForEach<MidiFile>(gNode->MidiFiles(), [](MidiFile& m) {
        if (!m.PausedBySystem())
            return;
        m.Play();
        m.PausedBySystem(false);
    });
}

void SoundCard::DSError(const char* file, int line, long code) {
    if (code == 0)
        return;
    // Result codes are 32-bit; a caller may hand one over sign-extended or not.
    auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(code));
    const KnownCode* known = nullptr;
    for (const KnownCode& k : KnownCodes)
        if (k.code == value)
            known = &k;
    std::string text = "DirectSound Error in File ";
    text += file ? file : "";
    text += " Line :" + std::to_string(line) + ".\n";
    text += "Error Code Is ";
    text += known ? known->name : "UNKNOWN";
    text += ".\nDescription : ";
    if (known)
        text += known->description;
    if (pConsole)
        pConsole->Show(true);
    kiv::PrintToConsole(text.c_str());
    kiv::PrintToConsole("\n");
}
