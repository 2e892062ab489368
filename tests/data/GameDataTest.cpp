// The data compiler and dumper (kivc, kivdump) share one description of every record.
#include "GameData.h"
#include "Scratch.h"

#include <random>

using kiv::tools::DataError;
using kiv::tools::Json;

namespace {

// A game that uses every section of the records.
Json EverySection() {
    return Json::parse(R"({
      "file": "every.kiv",
      "mode": {"width": 640, "height": 480, "bitsPerPixel": 16},
      "game": {
        "behavior": [{"kind": "stateMachine", "index": 0}, {"kind": "timer", "index": 1}],
        "levels": [{"id": 1, "name": "Every", "file": "every.lvl", "firstLoad": 0, "secondLoad": 1,
          "level": {
            "cursor": {"actor": 3, "noPosition": false, "x": 10, "y": 20, "behavior": [{"kind": "timer", "index": 0}]},
            "sounds": [{"kind": "effect", "name": "boom", "file": "boom.wav", "percentage": 50},
                       {"kind": "music", "name": "song", "file": "song.wav", "loop": true},
                       {"kind": "midi", "name": "tune", "file": "tune.mid"}],
            "variables": [{"name": "n", "value": -2.25}],
            "maps": [
              {"type": "master", "name": "world", "file": "world.bmp", "musicKind": "midi", "music": "tune",
               "alarms": [{"name": "door", "executeOnce": true,
                           "shapes": [{"isSegment": false, "x": 1, "y": 2, "radius": 3}]}],
               "collision": [{"x1": 0, "y1": 0, "x2": 10, "y2": 10, "id": 4, "attributes": 6}]},
              {"type": "standard", "name": "hills", "file": "hills.bmp", "scrollRatioX": 0.5,
               "displayRect": {"left": 0, "top": 0, "right": 640, "bottom": 100}},
              {"type": "wrapped", "name": "clouds", "file": "clouds.bmp", "speedX": -1.5}],
            "sprites": [{"name": "hero", "actor": 3, "map": "world", "mainCharacter": true,
                         "path": {"machine": 0, "shortestPath": 2}, "directionIsVector": false,
                         "angle": 90, "alarms": ["door"],
                         "movementPattern": {"pattern": 0, "start": {"loop": true}}}],
            "texts": [{"name": "score", "onMap": true, "map": "world", "displayType": "hvScrolling",
                       "effect": "randomDecoding", "letterSound": "boom", "isText": false, "value": 7},
                      {"name": "story", "textFromFile": true, "textFile": "story.txt",
                       "displayType": "verticalScrolling"}],
            "particleSystems": [{"count": 100, "name": "sparks", "map": "world", "gravity": 0.3}]
          },
          "actors": {"actors": [{"index": 3, "animations": [
            {"loopFrame": 1, "sound": {"name": "step", "file": "step.wav"},
             "frames": [{"image": "hero1.bmp", "width": 32, "height": 48, "flipHorizontally": true,
                         "hotSpots": [{"x": 1, "y": 2}, {"x": 3, "y": 4}, {"x": 5, "y": 6}, {"x": 7, "y": 8}, {"x": 9, "y": 10}],
                         "shapes": [{"x1": 0, "y1": 47, "x2": 31, "y2": 47}]}]},
            {"loopFrame": 0}]}]}
        }]
      },
      "logic": {"timers": [{"delay": 3}], "stateMachines": [{"states": [{"edges": [{"to": 0}]}]}],
                "movementPatterns": [{"vectors": [{"dx": 1, "dy": 0}]}]}
    })");
}

std::vector<unsigned char> Bytes(const kiv::tools::GameFiles& files) {
    std::vector<unsigned char> all = files.game;
    for (const auto& level : files.levels)
        all.insert(all.end(), level.second.begin(), level.second.end());
    return all;
}

class GameData : public kiv::test::Scratch {
protected:
    Json RoundTrip(const Json& description) {
        kiv::tools::GameFiles files = kiv::tools::CompileGame(description);
        kiv::tools::WriteFile("every.kiv", files.game);
        for (const auto& [name, bytes] : files.levels)
            kiv::tools::WriteFile(name, bytes);
        return kiv::tools::DumpGame("every.kiv");
    }
};

std::string ErrorOf(const Json& description) {
    try {
        kiv::tools::CompileGame(description);
    } catch (const DataError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST_F(GameData, CompilingWhatWasDumpedGivesTheSameBytes) {
    Json description = EverySection();
    kiv::tools::GameFiles first = kiv::tools::CompileGame(description);
    Json dumped = RoundTrip(description);
    kiv::tools::GameFiles second = kiv::tools::CompileGame(dumped);
    EXPECT_EQ(Bytes(first), Bytes(second));
    EXPECT_EQ(RoundTrip(dumped), dumped);

    // The dump writes every field out, defaults and names included.
    const Json& level = dumped["game"]["levels"][0]["level"];
    EXPECT_EQ(level["maps"][1]["type"], "standard");
    EXPECT_EQ(level["maps"][1]["scrollRatioX"], 0.5);
    EXPECT_EQ(level["framesPerSecond"], 60);
    EXPECT_EQ(level["texts"][0]["effect"], "randomDecoding");
    EXPECT_EQ(dumped["logic"]["timers"][0]["mode"], "periodic");
    EXPECT_EQ(dumped["game"]["levels"][0]["exit"], -1);
    // An animation without frames has nothing more in the file.
    EXPECT_FALSE(
        dumped["game"]["levels"][0]["actors"]["actors"][0]["animations"][1].contains("frames"));
}

TEST_F(GameData, ValuesHaveTheirDesignedWidthsInTheFile) {
    Json d = Json::parse(R"({"file": "g.kiv", "mode": {"width": 320, "height": 200,
                            "bitsPerPixel": 24, "windowed": false, "screenSaver": true}})");
    std::vector<unsigned char> game = kiv::tools::CompileGame(d).game;
    // mode: three ints and two bools; game record: behavior count, level count, title, local
    // variable; logic record: four counts.
    ASSERT_EQ(game.size(), 14u + 16u + 16u);
    EXPECT_EQ((std::vector<unsigned char>(game.begin(), game.begin() + 14)),
              (std::vector<unsigned char>{64, 1, 0, 0, 200, 0, 0, 0, 24, 0, 0, 0, 0, 1}));
    EXPECT_EQ((std::vector<unsigned char>(game.begin() + 26, game.begin() + 30)),
              (std::vector<unsigned char>{255, 255, 255, 255})); // no local variable: -1
}

TEST_F(GameData, ErrorsNameTheFieldAndWhatWasExpected) {
    auto with = [](const char* logic) {
        Json d = Json::parse(R"({"file": "g.kiv"})");
        d["logic"] = Json::parse(logic);
        return ErrorOf(d);
    };
    EXPECT_EQ(with(R"({"timers": [{}, {"delay": "soon"}]})"),
              "logic.timers[1].delay: expected a whole number from 0 to 4294967295 (or -1)");
    EXPECT_EQ(with(R"({"timers": [{"delai": 3}]})"),
              "logic.timers[0].delai: unknown field; did you mean delay? The fields here are: "
              "delay, function, mode, running, unit.");
    EXPECT_EQ(with(R"({"timers": [{"unit": "hours"}]})"),
              "logic.timers[0].unit: expected one of frames, milliseconds (or a number)");
    EXPECT_EQ(with(R"({"stateMachines": [{"states": [{"edges": [{}]}]}]})"),
              "logic.stateMachines[0].states[0].edges[0].to: expected a whole number (32-bit "
              "signed) (this field is required)");
    EXPECT_EQ(with(R"({"movementPatterns": [{"vectors": {"dx": 1}}]})"),
              "logic.movementPatterns[0].vectors: expected an array");
    EXPECT_EQ(ErrorOf(Json::parse(R"({"mode": {}})")), "file: expected the game file's name");
    EXPECT_EQ(ErrorOf(Json::parse(R"({"file": "g", "game": {"title": "\u20ac\u4e2d"}})")),
              "game.title: the text holds a character that game texts (code page 1252) cannot "
              "hold");
}

TEST_F(GameData, DamagedFilesGiveErrorsNeverCrashes) {
    Json description = EverySection();
    kiv::tools::GameFiles files = kiv::tools::CompileGame(description);
    const std::vector<unsigned char>& level = files.levels[0].second;
    description["game"]["levels"][0].erase("actors");
    // A level file may end after its level record: that cut is a whole file.
    size_t levelRecord = kiv::tools::CompileGame(description).levels[0].second.size();
    for (size_t cut = 0; cut < level.size(); cut += 7) {
        if (cut == levelRecord)
            continue;
        kiv::tools::WriteFile("cut.lvl", {level.begin(), level.begin() + static_cast<long>(cut)});
        EXPECT_THROW(kiv::tools::DumpLevel("cut.lvl"), DataError) << cut;
    }
    std::mt19937 random(11);
    int failures = 0;
    for (int round = 0; round < 500; ++round) {
        std::vector<unsigned char> bytes = level;
        for (int flips = 0; flips < 3; ++flips)
            bytes[random() % bytes.size()] = static_cast<unsigned char>(random());
        kiv::tools::WriteFile("bad.lvl", bytes);
        try {
            kiv::tools::DumpLevel("bad.lvl");
        } catch (const DataError&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);
}

TEST_F(GameData, FramesTakeTheirSizeFromTheArtFolder) {
    // A 3x-5 (top-down) BMP header and a 7x2 PNG header are all the compiler reads.
    std::vector<unsigned char> bmp(54, 0),
        png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
               'I',  'H', 'D', 'R', 0,    0,    0,    7,    0, 0, 0, 2};
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[18] = 3;
    for (int i = 22; i < 26; ++i)
        bmp[i] = i == 22 ? 0xFB : 0xFF;
    std::filesystem::create_directories("art/Art Assets/Actors/Hero");
    kiv::tools::WriteFile("art/Art Assets/Actors/Hero/Stand.bmp", bmp);
    kiv::tools::WriteFile("art/Art Assets/Actors/run.png", png);

    Json d = Json::parse(R"({"file": "g.kiv", "game": {"levels": [{"id": 1, "name": "L",
      "file": "l.lvl", "level": {}, "actors": {"actors": [{"index": 0, "animations": [{"frames": [
        {"image": "hero\\stand.BMP"}, {"image": "Run.png", "height": 9},
        {"image": "gone.bmp", "width": 1, "height": 1, "boundingBox": {"right": 4}}]}]}]}}]}})");
    kiv::tools::GameFiles files = kiv::tools::CompileGame(d, "art");
    kiv::tools::WriteFile("g.kiv", files.game);
    kiv::tools::WriteFile("l.lvl", files.levels[0].second);
    Json frames = kiv::tools::DumpGame(
        "g.kiv")["game"]["levels"][0]["actors"]["actors"][0]["animations"][0]["frames"];
    EXPECT_EQ(frames[0]["width"], 3);
    EXPECT_EQ(frames[0]["height"], 5);
    EXPECT_EQ(frames[0]["boundingBox"],
              Json::parse(R"({"left": 0, "top": 0, "right": 2, "bottom": 4})"));
    EXPECT_EQ(frames[1]["width"], 7);
    EXPECT_EQ(frames[1]["height"], 9);
    EXPECT_EQ(frames[1]["boundingBox"]["right"], 6);
    EXPECT_EQ(frames[2]["boundingBox"]["right"], 4);

    d["game"]["levels"][0]["actors"]["actors"][0]["animations"][0]["frames"][2].erase("width");
    try {
        kiv::tools::CompileGame(d, "art");
        ADD_FAILURE() << "a missing image was accepted";
    } catch (const DataError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "game.levels[0].actors.actors[0].animations[0].frames[2].image: gone.bmp is not "
                  "in art/Art Assets/Actors");
    }
}
