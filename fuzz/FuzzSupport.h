#pragma once

// What the libFuzzer targets share: a process set up once for many inputs, one input run so
// that a fatal exit returns to the harness and nothing of it is left for the next, and
// stand-ins for the art that game data names.

#include <kiv/host/Resources.h>

class GameNode;
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kiv::fuzz {

// Once per process: an instance lock of its own, and no sound font, so that MIDI files are
// read and played without a synthesiser, which is far quicker. The runtime writes "Kiv.log"
// to the current folder, as it always does.
void Start();

// Runs one input on a fresh headless backend, with the random generators seeded as the
// library starts them: a fatal exit returns here instead of ending the process. Afterwards
// the registered resources and the reported user errors are cleared (the runtime itself
// leaves nothing else behind once its game has ended).
void RunOne(const std::function<void()>& input);

// Runs `play` with a level of its own as the running level.
void WithLevel(const std::function<void(GameNode&)>& play);
// Lets `frames` frames of a 60 Hz game pass on the headless clock, refilling the streamed
// sounds after each, as the main loop does.
void RunFrames(int frames);

// Art for game data that names files this harness cannot know in advance: every file name in
// the data (a length-prefixed text) is registered as a small image, a wave and a MIDI file;
// names in `maps` get an image as large as a viewport, so that master maps pass their size
// check. With `levels`, each name also stands for a level file of every kind of record.
class StandIns {
public:
    void Find(const std::uint8_t* data, std::size_t size);
    void Register(const std::set<std::string>& maps, bool levels);
    // The data of a level file that builds maps, sounds, MIDI music, texts, sprites,
    // particle systems and actors from the stand-in art.
    static const std::vector<unsigned char>& Level();

private:
    std::vector<std::string> names;
    std::vector<KivResource> table;
};

} // namespace kiv::fuzz
