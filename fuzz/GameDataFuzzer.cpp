// libFuzzer target: game files and level files, through the whole loader and a few frames of
// the game they make. The first byte chooses the reader: even, the rest is a game file (its
// level files stand in); odd, the rest is a level file (level and actor records) of a fixed
// game. The art that the data names is supplied as embedded resources, so that the maps,
// sprites, actors, images, waves and MIDI files it describes are built and played. Any input
// must end in a game or in the fatal message, never in a crash or a read out of bounds.
#include <kiv/Kiv.h>

#include "FuzzSupport.h"
#include "GameData.h"
#include "Records.h"

#include <cstddef>
#include <cstdint>

namespace {

kiv::fuzz::StandIns standIns;

void LoadLevel(GameNode* level) {
    GenerateLevel(level);
}

// A level file may end after its level record, as a title level without actors does.
void LoadActors(GameNode* level) {
    if (_LevelFile->Position() < _LevelFile->Size())
        GenerateActors(level);
}

// Every state, edge, behavior and timer function is absent: game logic is the game's own
// business, and data must not be able to reach the runtime through it.
void BuildLogic() {
    FArray = NewVoidPointers(8);
    maxFIndex = 7;
    SMFArray = NewVoidPointers(16);
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
    LVFArray[1] = reinterpret_cast<void*>(LoadActors);
}

const std::vector<unsigned char>& FixedGame() {
    static const std::vector<unsigned char> bytes = [] {
        // Logic for the levels' behaviors to name: timers, state machines, a path network
        // and a movement pattern, each with its functions absent.
        auto game = kiv::tools::Json::parse(R"({"file": "fuzz.kiv",
            "mode": {"width": 640, "height": 480, "bitsPerPixel": 32},
            "game": {"levels": [{"id": 1, "name": "fuzz", "firstLoad": 0, "secondLoad": 1,
                                 "file": "fuzz.lvl"}]},
            "logic": {"timers": [{"delay": 2}, {"delay": 5, "mode": "once"}],
                      "stateMachines": [{"states": [{"edges": [{"to": 1, "always": true}]}, {}]},
                                        {"states": [{}]}, {"states": [{}]}],
                      "pathStateMachines": [{"states": [{}], "stations": [{"x": 0, "y": 0},
                          {"x": 50, "y": 0}], "links": [{"from": 0, "to": 1}]}],
                      "movementPatterns": [{"vectors": [{"dx": 2, "dy": 0}, {"dx": 0, "dy": 2}]}]}
            })");
        return kiv::tools::CompileGame(game).game;
    }();
    return bytes;
}

// The images of the master maps in a level file that reads as one.
std::set<std::string> MapFiles(const std::uint8_t* data, std::size_t size) {
    std::set<std::string> files;
    try {
        std::vector<unsigned char> bytes(data, data + size);
        kiv::tools::Reader reader(bytes, "fuzz.lvl");
        kiv::tools::Json level = reader.Read(kiv::tools::LevelRecord(), "level");
        for (const auto& map : level["maps"])
            if (map.value("type", "") == "master")
                files.insert(map["file"].get<std::string>());
    } catch (const std::exception&) {
    }
    return files;
}

void Play(const std::uint8_t* data, std::size_t size, bool level) {
    standIns.Find(data, size);
    const std::vector<unsigned char>& game = FixedGame();
    const KivResource files[] = {
        {"RCDATA", "fuzz.kiv", level ? game.data() : data, level ? game.size() : size},
        {"RCDATA", "fuzz.lvl", data, size}};
    KivRegisterResources(files, level ? 2 : 1);
    standIns.Register(level ? MapFiles(data, size) : std::set<std::string>{"standin_map.bmp"},
                      !level);

    SetDataPathP = [] {};
    LoadGameFileP = [] { CreateBinaryGameFile("fuzz.kiv"); };
    ModeP = GenerateMode;
    BuildLogicP = BuildLogic;
    KivP = [] {
        GenerateLevels();
        GenerateLogic();
    };
    OnGameStartP = OnGameEndP = [] {};
    char commandLine[] = "--headless --frames=3";
    KivMain(nullptr, nullptr, commandLine, 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kiv::fuzz::Start();
    if (size == 0)
        return 0;
    kiv::fuzz::RunOne([&] { Play(data + 1, size - 1, data[0] & 1); });
    return 0;
}
