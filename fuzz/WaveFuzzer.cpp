// libFuzzer target: wave files, read chunk by chunk as the sound code reads them, then made
// into a level's sound effect or streamed music and played for a few frames. The first byte
// chooses streamed music (bit 0) and looping (bit 1).
#include <kiv/Kiv.h>

#include "FuzzSupport.h"
#include "sound/WaveFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kiv::fuzz::Start();
    if (size == 0)
        return 0;
    bool streamed = data[0] & 1, loop = data[0] & 2;
    const KivResource wave = {"WAVE", "fuzz.wav", data + 1, size - 1};
    kiv::fuzz::RunOne([&] {
        kiv::WaveFile file;
        if (file.OpenMemory(data + 1, size - 1) && file.Rewind()) {
            unsigned char chunk[4096];
            while (file.Read(sizeof chunk, chunk) > 0) {
            }
        }
        KivRegisterResources(&wave, 1);
        kiv::fuzz::WithLevel([&](GameNode& level) {
            char name[] = "sound", file[] = "fuzz.wav";
            if (streamed) {
                level.AddMusic(name, file, loop);
                level.PlayMusic(name);
            } else {
                level.AddSFX(name, file, loop, 100);
                level.PlaySFX(name);
            }
            kiv::fuzz::RunFrames(8);
        });
    });
    return 0;
}
