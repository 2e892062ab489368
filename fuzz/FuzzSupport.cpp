#include "FuzzSupport.h"

#include <kiv/Kiv.h>

#include "GameData.h"
#include "MediaFiles.h"
#include "Records.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace kiv::fuzz {

namespace {

struct Exited {};

const test::Bytes& SmallImage() {
    static const test::Bytes image =
        test::Bmp(16, 16, [](int x, int y) { return (x + y) % 3 ? 0x00FF00u : 0x2040C0u; });
    return image;
}

// As large as the usual viewport, and nearly all black: the transparent colour of a map
// that names none, so that turning it into a surface costs little.
const test::Bytes& ViewportImage() {
    static const test::Bytes image =
        test::Bmp(640, 480, [](int x, int y) { return x < 8 && y < 8 ? 0xFFFFFFu : 0u; });
    return image;
}

const test::Bytes& Sound() {
    static const test::Bytes wave = test::Wave(11025, 8, 1, test::Bytes(400, 0x90));
    return wave;
}

const test::Bytes& Music() {
    static const test::Bytes tune = test::Tune(2);
    return tune;
}

// A name the data may hold: printable text, as a game's file names are.
bool IsName(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] < 0x20 || p[i] > 0x7E)
            return false;
    return n > 0;
}

std::uint32_t Little32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

KivResource Resource(const char* type, const std::string& name, const test::Bytes& bytes) {
    return {type, name.c_str(), bytes.data(), static_cast<unsigned long>(bytes.size())};
}

} // namespace

void Start() {
    static bool started = [] {
        auto lock = std::filesystem::temp_directory_path() /
                    ("kiv-fuzz-" + std::to_string(getpid()) + ".lock");
        setenv("KIV_LOCK_FILE", lock.c_str(), 1);
        setenv("KIV_SOUNDFONT", (lock.string() + ".no-sound-font.sf2").c_str(), 1);
        platform::SetExitHandler([](int) { throw Exited{}; });
        return true;
    }();
    (void)started;
}

void RunOne(const std::function<void()>& input) {
    // As the library starts: a fresh backend (clock, window, scripted input) and the random
    // generators' first seeds, so that an input plays the same however many came before.
    platform::headless::Install();
    RandReset(1);
    try {
        input();
    } catch (const Exited&) {
        // What the end of the process would have freed after a fatal exit.
        delete _GameFile;
        _GameFile = nullptr;
        delete _LevelFile;
        _LevelFile = nullptr;
        delete pMouse;
        pMouse = nullptr;
        delete pKeyboard;
        pKeyboard = nullptr;
        platform::Current().GetWindow().Destroy();
        _Ghwnd = nullptr;
    }
    platform::Resources::Instance().Clear();
    for (UserError::ErrorList* list :
         {&UserError::SpritesErrors, &UserError::VariablesErrors, &UserError::MapsErrors,
          &UserError::AlarmsErrors, &UserError::GameErrors, &UserError::Errors})
        list->clear();
}

void WithLevel(const std::function<void(GameNode&)>& play) {
    auto level = std::make_unique<GameNode>();
    gNode = level.get();
    struct Leave {
        ~Leave() { gNode = nullptr; }
    } leave;
    play(*level);
}

void RunFrames(int frames) {
    auto& clock = static_cast<platform::headless::HeadlessPlatform&>(platform::Current()).clock;
    for (int i = 0; i < frames; ++i) {
        clock.Advance(16);
        SoundCard::Instance().UpdateBuffers();
    }
}

void StandIns::Find(const std::uint8_t* data, std::size_t size) {
    names.clear();
    std::set<std::string> seen;
    for (std::size_t i = 0; i + 4 <= size; ++i) {
        std::uint32_t n = Little32(data + i);
        if (n == 0 || n > 255 || n > size - i - 4 || !IsName(data + i + 4, n))
            continue;
        std::string name(reinterpret_cast<const char*>(data + i + 4), n);
        if (seen.insert(name).second)
            names.push_back(name);
    }
}

void StandIns::Register(const std::set<std::string>& maps, bool levels) {
    table.clear();
    for (const std::string& name : names)
        if (maps.count(name))
            table.push_back(Resource("BITMAP", name, ViewportImage()));
    for (const std::string& name : names) {
        table.push_back(Resource("BITMAP", name, SmallImage()));
        table.push_back(Resource("WAVE", name, Sound()));
        table.push_back(Resource("midi", name, Music()));
        if (levels)
            table.push_back(Resource("RCDATA", name, Level()));
    }
    static const std::string map = "standin_map.bmp", image = "standin.bmp", wave = "standin.wav",
                             tune = "standin.mid";
    table.push_back(Resource("BITMAP", map, ViewportImage()));
    table.push_back(Resource("BITMAP", image, SmallImage()));
    table.push_back(Resource("WAVE", wave, Sound()));
    table.push_back(Resource("midi", tune, Music()));
    KivRegisterResources(table.data(), static_cast<int>(table.size()));
}

const std::vector<unsigned char>& StandIns::Level() {
    static const std::vector<unsigned char> bytes = [] {
        auto level = tools::Json::parse(R"({
            "sounds": [{"kind": "effect", "name": "hit", "file": "standin.wav"},
                       {"kind": "music", "name": "wind", "file": "standin.wav", "loop": true},
                       {"kind": "midi", "name": "theme", "file": "standin.mid"}],
            "variables": [{"name": "lives", "value": 3}],
            "maps": [{"type": "master", "name": "world", "file": "standin_map.bmp",
                      "collision": [{"x1": 0, "y1": 400, "x2": 600, "y2": 400, "id": 1},
                                    {"isSegment": false, "x": 300, "y": 200, "radius": 20}],
                      "alarms": [{"name": "gate", "showCollision": true,
                                  "shapes": [{"x1": 100, "y1": 0, "x2": 100, "y2": 400}]}],
                      "musicKind": "midi", "music": "theme"},
                     {"type": "wrapped", "name": "clouds", "file": "standin.bmp"}],
            "sprites": [{"name": "hero", "map": "world", "actor": 0, "x": 50, "y": 300,
                         "speed": 2, "directionX": 1, "checkCollisionWithMap": true,
                         "alarms": ["gate"], "showSpriteCollision": true}],
            "texts": [{"name": "score", "frame": {"left": 10, "top": 10, "right": 200,
                       "bottom": 60}, "displayType": "verticalScrolling",
                       "effect": "characterByCharacter", "characterDelay": 1,
                       "letterSound": "hit", "value": "hello there"}],
            "particleSystems": [{"count": 64, "name": "snow", "map": "world", "x": 20,
                                 "y": 10, "gravity": 0.5},
                                {"count": 8, "name": "idle", "paused": true}]
        })");
        auto actors = tools::Json::parse(R"({"actors": [{"index": 0, "animations": [
            {"sound": {"name": "step", "file": "standin.wav"}, "frames": [
                {"image": "standin.bmp", "width": 16, "height": 16, "flipHorizontally": true,
                 "flipVertically": true, "centerX": 8, "centerY": 8, "pegRegistered": true,
                 "shapes": [{"x1": 0, "y1": 15, "x2": 15, "y2": 15},
                            {"isSegment": false, "x": 8, "y": 8, "radius": 4}]},
                {"image": "standin.bmp", "width": 16, "height": 16, "delay": 1}]}]}]})");
        std::vector<unsigned char> out;
        tools::Compile(tools::LevelRecord(), level, out, "level");
        tools::Compile(tools::ActorRecord(), actors, out, "actors");
        return out;
    }();
    return bytes;
}

} // namespace kiv::fuzz
