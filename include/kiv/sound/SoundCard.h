#pragma once

#include <kiv/base/Types.h>

namespace kiv {
class AudioMixer;
}

// The sound device: the mixer that every sound of the game plays through, and the output
// that plays the mix. It is opened the first time a sound needs it and lives until the
// process ends.
class KIV_API SoundCard {
public:
    // The first card opens the device (the output always plays 44,100 Hz, 16-bit stereo; the
    // mixer converts every sound to that); later ones only keep their values.
    SoundCard(int rate, int bits, int channels, HWND window);
    SoundCard(const SoundCard&) = delete;
    SoundCard& operator=(const SoundCard&) = delete;

    // The one sound card, made on first use with 44,100 Hz, 16 bits, 2 channels and _Ghwnd.
    static SoundCard& Instance();

    // Refills the buffers of the running level's streamed sounds; once per main-loop pass.
    void UpdateBuffers();
    // false: every playing sound, streamed sound and MIDI file of the running level pauses
    // and is marked as paused by the system. true: lost buffers are restored and refilled,
    // and what was marked plays again and is unmarked.
    void ManageBuffers(bool resume);

    // The mixer, with the current platform's output attached (opened if needed).
    static kiv::AudioMixer* DirectSound();
    // Shows the console and prints where a sound call failed, the code's published name and
    // its description; code 0 prints nothing.
    static void DSError(const char* file, int line, long code);

    int Rate() const { return m_Rate; }
    int Bits() const { return m_Bits; }
    int Channels() const { return m_Channels; }

    static bool m_Created;
    static HWND m_GameWindow;

private:
    int m_Rate;
    int m_Bits;
    int m_Channels;
    // What stands for the primary buffer: the mix that the output plays.
    kiv::AudioMixer* m_Primary;
};
