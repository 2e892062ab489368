// libFuzzer target: game files and level files as the builders read them. Any input must end
// in a game or in the fatal message, never in a crash or a read out of bounds.
#include <kiv/Kiv.h>

#include "data/LogicTables.h"
#include "host/Shutdown.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Exited {};

void F(void*) {}
void S(int, void*) {}
void L(GameNode*) {}

void Tables() {
    FArray = NewVoidPointers(4);
    maxFIndex = 3;
    SMFArray = NewVoidPointers(4);
    LVFArray = NewVoidPointers(2);
    for (int i = 0; i < 4; ++i) {
        FArray[i] = reinterpret_cast<void*>(F);
        SMFArray[i] = reinterpret_cast<void*>(S);
    }
    LVFArray[0] = LVFArray[1] = reinterpret_cast<void*>(L);
}

void ReadGame() {
    CreateBinaryGameFile("fuzz.kiv");
    GenerateMode();
    myGame = new Game;
    GenerateLevels();
    GenerateLogic();
}

void ReadLevel() {
    myGame = new Game;
    pConsole = new Console;
    auto* level = new GameNode;
    level->Id(1);
    myGame->Add(level);
    _LevelFile = new File("fuzz.kiv", File::Reading);
    GenerateLevel(level);
    GenerateActors(level);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = [] {
        kiv::platform::headless::Install();
        kiv::platform::SetExitHandler([](int) { throw Exited{}; });
        return true;
    }();
    (void)ready;
    if (size == 0)
        return 0;
    // The first byte chooses the kind of file; the rest is the file, embedded as a resource.
    const KivResource resource[] = {{"RCDATA", "fuzz.kiv", data + 1, size - 1}};
    kiv::platform::Resources::Instance().Clear();
    KivRegisterResources(resource, 1);
    Tables();
    try {
        (data[0] & 1) ? ReadLevel() : ReadGame();
    } catch (const Exited&) {
    }
    delete _GameFile;
    _GameFile = nullptr;
    delete _LevelFile;
    _LevelFile = nullptr;
    kiv::TearDown();
    return 0;
}
