// libFuzzer target: MIDI files, made into a level's MIDI music and played for a few frames,
// paused, switched to the other looping and played again. The first byte chooses looping
// (bit 0).
#include <kiv/Kiv.h>

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kiv::fuzz::Start();
    if (size == 0)
        return 0;
    bool loop = data[0] & 1;
    const KivResource tune = {"midi", "fuzz.mid", data + 1, size - 1};
    kiv::fuzz::RunOne([&] {
        KivRegisterResources(&tune, 1);
        kiv::fuzz::WithLevel([&](GameNode& level) {
            char name[] = "music", file[] = "fuzz.mid";
            level.AddMidiFile(name, file, loop);
            MidiFile* music = MidiFile::Search(name);
            if (!music)
                return;
            music->Play();
            kiv::fuzz::RunFrames(6);
            music->Pause();
            music->SetLoopFlag(!loop);
            music->Play();
            kiv::fuzz::RunFrames(6);
        });
    });
    return 0;
}
