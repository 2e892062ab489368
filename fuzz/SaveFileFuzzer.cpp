// libFuzzer target: save files and replays as a running game loads them, followed by two
// frames of the loaded game, and as kivdump shows them. Any input must end in a loaded game,
// in the refusal message, or in the fatal message (kivdump: in JSON or in its error), never in
// a crash or a read out of bounds. The game is a small one compiled here; when it starts, it
// writes a save and a replay of itself into the first corpus folder as seeds.
#include <kiv/Kiv.h>

#include "GameData.h"
#include "SaveDump.h"
#include "data/LogicTables.h"
#include "game/FrameLoop.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "graphics/Effects.h"
#include "host/HostGlobals.h"
#include "host/Shutdown.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

struct Exited {};

const char* const Description = R"({
  "file": "fuzz.kiv",
  "mode": {"width": 64, "height": 48, "bitsPerPixel": 32},
  "game": {
    "behavior": [{"kind": "function", "index": 0}],
    "levels": [{"id": 1, "name": "Fuzz", "firstLoad": 0, "secondLoad": 1, "file": "fuzz.lvl",
      "level": {
        "worldWidth": 128, "worldHeight": 96,
        "viewport": {"width": 64, "height": 48,
                     "boundingBox": {"left": 8, "top": 8, "right": 56, "bottom": 40}},
        "behavior": [{"kind": "stateMachine", "index": 0}, {"kind": "timer", "index": 0}],
        "cursor": {"actor": 1000, "show": true},
        "sounds": [{"kind": "effect", "name": "beep", "file": "beep.wav"},
                   {"kind": "music", "name": "hum", "file": "beep.wav", "loop": true}],
        "maps": [
          {"type": "master", "name": "world", "file": "world.bmp",
           "alarms": [{"name": "gate", "shapes": [{"x1": 4, "y1": 4, "x2": 40, "y2": 4}]}],
           "collision": [{"x1": 0, "y1": 90, "x2": 127, "y2": 90, "id": 1},
                         {"isSegment": false, "x": 30, "y": 30, "radius": 5}]},
          {"type": "wrapped", "name": "sky", "file": "tile.bmp", "zOrder": 1, "speedX": -1,
           "displayRect": {"left": 0, "top": 0, "right": 64, "bottom": 16}}],
        "texts": [{"name": "score", "value": "Score 0", "letterSound": "beep",
                   "effect": "characterByCharacter", "characterDelay": 2,
                   "frame": {"left": 2, "top": 2, "right": 60, "bottom": 14}}],
        "sprites": [
          {"name": "hero", "actor": 0, "map": "world", "mainCharacter": true, "x": 20, "y": 20,
           "speed": 1, "directionIsVector": true, "directionX": 1, "variableNumber": 2,
           "alarms": ["gate"], "checkCollisionWithMap": true, "checkCollisionWithSprite": true,
           "behavior": [{"kind": "stateMachine", "index": 0}]},
          {"name": "bee", "actor": 0, "map": "world", "x": 60, "y": 40, "zOrder": 3,
           "displayList": 2, "movementPattern": {"pattern": 0, "start": {"loop": true}}}]
      },
      "actors": {"actors": [{"index": 0, "animations": [{"frames": [
        {"image": "tile.bmp", "width": 16, "height": 16, "delay": 2,
         "boundingBox": {"left": 0, "top": 0, "right": 15, "bottom": 15},
         "shapes": [{"isSegment": false, "x": 8, "y": 8, "radius": 6}]},
        {"image": "tile.bmp", "width": 16, "height": 16, "flipHorizontally": true,
         "boundingBox": {"left": 0, "top": 0, "right": 15, "bottom": 15}}]}]}]}
    }]
  },
  "logic": {
    "timers": [{"function": 0, "delay": 3, "mode": "periodic"}],
    "stateMachines": [{"states": [{"function": 0, "edges": [{"to": 1, "function": 1}]},
                                  {"function": 0}]}],
    "movementPatterns": [{"name": "back and forth", "vectors": [{"dx": 20, "dy": 0},
                                                                {"dx": -20, "dy": 0}]}]
  }
})";

void Nothing(void*) {}
void State(int, void*) {}
bool Edge(void*) {
    return pKeyboard && pKeyboard->IsPressed(DIK_SPACE);
}
void LoadLevel(GameNode* level) {
    GenerateLevel(level);
}

void Tables() {
    FArray = NewVoidPointers(1);
    FArray[0] = reinterpret_cast<void*>(Nothing);
    maxFIndex = 0;
    SMFArray = NewVoidPointers(2);
    SMFArray[0] = reinterpret_cast<void*>(State);
    SMFArray[1] = reinterpret_cast<void*>(Edge);
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
    LVFArray[1] = reinterpret_cast<void*>(GenerateActors);
}

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(Bytes& b, unsigned v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A 24-bit bitmap of stripes.
Bytes Bitmap(int width, int height) {
    unsigned row = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
    Bytes b = {'B', 'M'};
    Put32(b, 54 + row * static_cast<unsigned>(height));
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<unsigned>(width));
    Put32(b, static_cast<unsigned>(height));
    Put16(b, 1);
    Put16(b, 24);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            b.insert(b.end(), {static_cast<unsigned char>(x * 4), static_cast<unsigned char>(y * 2),
                               static_cast<unsigned char>((x + y) % 2 ? 255 : 0)});
        b.resize(b.size() + row - static_cast<unsigned>(width) * 3, 0);
    }
    return b;
}

// A tenth of a second of a 16-bit mono tone.
Bytes Wave() {
    Bytes b = {'R', 'I', 'F', 'F'};
    Put32(b, 36 + 4410);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, 22050);
    Put32(b, 44100);
    Put16(b, 2);
    Put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    Put32(b, 4410);
    for (int i = 0; i < 2205; ++i)
        Put16(b, (i / 25) % 2 ? 0x2000 : 0xE000);
    return b;
}

struct Files {
    kiv::tools::GameFiles game;
    Bytes world = Bitmap(128, 96), tile = Bitmap(16, 16), beep = Wave();
    Bytes seedSave;                 // a valid save: the start of every fuzzed replay
    Bytes input;                    // the file being fuzzed
    std::vector<KivResource> table; // the registry keeps pointers into it
};

Files& Data() {
    static Files files;
    return files;
}

void Register() {
    Files& d = Data();
    d.table = {
        {"RCDATA", "fuzz.kiv", d.game.game.data(), d.game.game.size()},
        {"RCDATA", "fuzz.lvl", d.game.levels[0].second.data(), d.game.levels[0].second.size()},
        {"BITMAP", "world.bmp", d.world.data(), d.world.size()},
        {"BITMAP", "tile.bmp", d.tile.data(), d.tile.size()},
        {"WAVE", "beep.wav", d.beep.data(), d.beep.size()},
        {"RCDATA", "fuzz.sar", d.seedSave.data(), d.seedSave.size()},
        {"RCDATA", "fuzz.sav", d.input.data(), d.input.size()},
        {"RCDATA", "fuzz.rep", d.input.data(), d.input.size()},
    };
    kiv::platform::Resources::Instance().Clear();
    KivRegisterResources(d.table.data(), static_cast<int>(d.table.size()));
}

// What KivMain does up to the first frame, without a window.
void StartGame() {
    CreateBinaryGameFile("fuzz.kiv");
    GenerateMode();
    kiv::InitGraphics();
    kiv::CreateEffects();
    Tables();
    myGame = new Game;
    GenerateLevels();
    GenerateLogic();
    delete _GameFile;
    _GameFile = nullptr;
    pConsole = new Console;
    gNode = Game::Search(0);
    pKeyboard = new Keyboard(nullptr, nullptr);
    pMouse = new Mouse(nullptr, nullptr);
    myGame->SwitchLevel();
}

void RunFrames(int n) {
    for (int i = 0; i < n && !kiv::QuitRequested; ++i) {
        while (myGame->LevelChangePending())
            myGame->SwitchLevel();
        if (!gNode)
            return;
        kiv::RunFrame();
    }
}

// What KivMain frees when the game ends, after the rest has gone with the game (the fatal
// exit tears it down itself).
void EndGame() {
    if (myGame)
        kiv::TearDown();
    delete pMouse;
    pMouse = nullptr;
    delete pKeyboard;
    pKeyboard = nullptr;
}

Bytes Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A save of the running game and a replay of a few frames of it, as seeds.
void WriteSeeds(const char* corpus) {
    myGame->SaveGame("seed.sav");
    myGame->RealSaveGame();
    Data().seedSave = Read("seed.sav");
    Register();
    myGame->StartRecording();
    auto& headless =
        static_cast<kiv::platform::headless::HeadlessPlatform&>(kiv::platform::Current());
    headless.ReadScript("1 key SPACE down\n2 mouse move 3 2\n3 key SPACE up\n4 mouse click left\n");
    for (std::uint32_t frame = 1; frame < 8; ++frame) {
        headless.StartPass(frame);
        RunFrames(1);
    }
    myGame->SaveReplay("seed.rep");
    if (!corpus)
        return;
    std::error_code ec;
    fs::create_directories(corpus, ec);
    for (const char* seed : {"seed.sav", "seed.rep"}) {
        Bytes bytes = Read(seed);
        // The first byte chooses what the rest is: even a save, odd a replay.
        bytes.insert(bytes.begin(), seed[5] == 's' ? 0 : 1);
        std::ofstream(fs::path(corpus) / (std::string("generated-") + seed), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    kiv::platform::headless::Install();
    kiv::platform::SetExitHandler([](int) { throw Exited{}; });
    static const fs::path work =
        fs::temp_directory_path() / ("kiv-save-fuzz-" + std::to_string(getpid()));
    fs::create_directories(work);
    fs::current_path(work);
    // The work folder goes with the process, unless libFuzzer left an input there that failed
    // (crash-, leak-, timeout-...: every such name has a dash, and the game's files none).
    std::atexit([] {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        for (const auto& entry : fs::directory_iterator(work, ec))
            if (entry.path().filename().string().find('-') == std::string::npos)
                fs::remove(entry.path(), ec);
        fs::remove(work, ec);
    });
    kiv::CurrentDirectory = work.c_str();
    Data().game = kiv::tools::CompileGame(kiv::tools::Json::parse(Description));
    Register();
    StartGame();
    const char* corpus = nullptr;
    for (int i = 1; i < *argc && !corpus; ++i)
        if ((*argv)[i][0] != '-')
            corpus = (*argv)[i];
    WriteSeeds(corpus);
    EndGame();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    Data().input.assign(data + 1, data + size);
    // kivdump looks for a damaged save's level record at every offset, which takes too long
    // under the sanitizers for the larger inputs: only the small ones are dumped.
    try {
        if (data[0] & 1)
            kiv::tools::DumpReplay(Data().input, "fuzz.rep").dump();
        else if (size <= 2048)
            kiv::tools::DumpSave(Data().input, "fuzz.sav").dump();
    } catch (const kiv::tools::DataError&) {
    }
    Register();
    try {
        // Each file is loaded into the game as it starts.
        kiv::QuitRequested = false;
        StartGame();
        if (data[0] & 1)
            myGame->LoadReplay("fuzz.rep", false);
        else
            myGame->LoadGame("fuzz.sav");
        RunFrames(3); // the first frame loads
    } catch (const Exited&) {
    }
    EndGame();
    return 0;
}
