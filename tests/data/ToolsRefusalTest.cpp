// What kivc and kivdump refuse: descriptions nested too deep, values the runtime refuses,
// image headers that overflow, output file names that collide or leave the output folder,
// and files read out of step; and what they keep: NaN and infinities, bit for bit.
#include "GameDataFiles.h"
#include "JsonInput.h"
#include "MediaFiles.h"
#include "Scratch.h"

#include <climits>

using kiv::test::OneFrameActors;
using kiv::test::OneLevelGame;
using kiv::tools::DataError;
using kiv::tools::Json;

namespace {

std::string ErrorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const DataError& e) {
        return e.what();
    }
    return "no error";
}

std::string CompileError(const Json& description, const std::string& art = {}) {
    return ErrorOf([&] { kiv::tools::CompileGame(description, art); });
}

using ToolsRefusal = kiv::test::Scratch;

} // namespace

TEST_F(ToolsRefusal, JsonNestedDeeperThanAnyDescriptionIsRefusedWhileItIsRead) {
    std::string deep = std::string(400000, '[') + std::string(400000, ']');
    EXPECT_EQ(ErrorOf([&] { kiv::tools::ParseDescription(deep, "deep.json"); }),
              "deep.json: nested more than 100 levels deep");
    std::string deepInGame = R"({"file": "g.kiv", "game": {"levels": )" + deep + "}}";
    EXPECT_EQ(ErrorOf([&] { kiv::tools::ParseDescription(deepInGame, "game.json"); }),
              "game.json: nested more than 100 levels deep");
    std::string fine = std::string(90, '[') + std::string(90, ']');
    EXPECT_TRUE(kiv::tools::ParseDescription(fine, "fine.json").is_array());
    EXPECT_EQ(ErrorOf([] {
                  kiv::tools::ParseDescription("{\"file\": ", "cut.json");
              }).rfind("cut.json: not valid JSON", 0),
              0u);
}

TEST_F(ToolsRefusal, ValuesTheRuntimeRefusesAreRefusedWithTheirPath) {
    const std::string frames = "game.levels[0].actors.actors[0].animations[0].frames[0]";
    EXPECT_EQ(
        CompileError(OneLevelGame(
            Json::object(), OneFrameActors({{"image", "a"}, {"width", 100000}, {"height", 1}}))),
        frames + ".width: expected a whole number from 0 to 32768");
    EXPECT_EQ(
        CompileError(OneLevelGame(
            Json::object(), OneFrameActors({{"image", "a"}, {"width", 32768}, {"height", 32768}}))),
        frames + ": a frame of 32768 x 32768 pixels is larger than the 67108864 pixels an "
                 "image can have");
    // Level records, each with the path and the complaint of its one refused value.
    const std::string number = "expected a number from -16777216 to 16777216";
    const std::string whole = "expected a whole number from -16777216 to 16777216";
    const std::pair<const char*, std::string> levels[] = {
        {R"({"sprites": [{"name": "s", "actor": 0, "x": "NaN"}]})", "sprites[0].x: " + number},
        {R"({"sprites": [{"name": "s", "actor": 0, "speed": 1e30}]})",
         "sprites[0].speed: " + number},
        {R"({"texts": [{"name": "t", "frame": {"left": -2147483647}}]})",
         "texts[0].frame.left: " + whole},
        {R"({"texts": [{"name": "t", "effect": 9}]})",
         "texts[0].effect: expected a whole number from 0 to 5"},
        {R"({"behavior": [{"kind": 7}]})",
         "behavior[0].kind: expected one of function, stateMachine, timer"},
        {R"({"maps": [{"type": 3, "name": "m"}]})",
         "maps[0].type: expected one of master, standard, wrapped"},
        {R"({"particleSystems": [{"count": 200000, "name": "a"}, {"count": 62145, "name": "b"}]})",
         "particleSystems: 262145 particles in all, more than the 262144 a level can hold"},
        {R"({"particleSystems": [{"count": 1, "name": "a", "x": "Infinity"}]})",
         "particleSystems[0].x: " + number},
        {R"({"worldWidth": -1})", "worldWidth: expected a whole number from 0 to 16777216"},
        {R"({"texts": [{"name": "t", "height": 1e39}]})",
         "texts[0].height: expected a number (\"NaN\", \"Infinity\" and \"-Infinity\" too) "
         "within a float's range"},
    };
    for (const auto& [level, error] : levels)
        EXPECT_EQ(CompileError(OneLevelGame(Json::parse(level))), "game.levels[0].level." + error)
            << level;
    Json network = OneLevelGame(Json::object());
    network["logic"]["pathStateMachines"] = {
        {{"states", {Json::object()}}, {"stations", Json::array()}}};
    for (int i = 0; i < 1025; ++i)
        network["logic"]["pathStateMachines"][0]["stations"].push_back({{"x", i}, {"y", 0}});
    EXPECT_EQ(CompileError(network),
              "logic.pathStateMachines[0].stations: expected an array of at most 1024 elements");
    network["logic"]["pathStateMachines"][0]["stations"].erase(0);
    EXPECT_EQ(CompileError(network), "no error");
    EXPECT_EQ(CompileError(OneLevelGame({{"variables", {{{"name", "v"}, {"value", 1e300}}}}})),
              "no error"); // a variable's value is a double: anything goes
}

TEST_F(ToolsRefusal, ImageHeadersWhoseSizesOverflowAreRefused) {
    std::filesystem::create_directories("art/Art Assets/Actors");
    auto bmpOf = [](std::uint32_t width, std::uint32_t height) {
        kiv::test::Bytes b = kiv::test::Bmp(1, 1, [](int, int) { return 0u; });
        for (int i = 0; i < 4; ++i) {
            b[18 + i] = static_cast<unsigned char>(width >> (8 * i));
            b[22 + i] = static_cast<unsigned char>(height >> (8 * i));
        }
        return b;
    };
    auto errorFor = [&](const kiv::test::Bytes& image) {
        kiv::tools::WriteFile("art/Art Assets/Actors/a.bmp", image);
        return CompileError(OneLevelGame(Json::object(), OneFrameActors({{"image", "a.bmp"}})),
                            "art");
    };
    const std::string at = "game.levels[0].actors.actors[0].animations[0].frames[0].image: "
                           "art/Art Assets/Actors/a.bmp: its header gives ";
    const std::string limits = " pixels; an image has at least one pixel, at most 32768 on a "
                               "side and 67108864 in all";
    EXPECT_EQ(errorFor(bmpOf(4, 0x80000000u)), at + "4 x 2147483648" + limits);
    EXPECT_EQ(errorFor(bmpOf(0x80000000u, 4)), at + "-2147483648 x 4" + limits);
    EXPECT_EQ(errorFor(bmpOf(0, 4)), at + "0 x 4" + limits);
    EXPECT_EQ(errorFor(bmpOf(8192, 8193)), at + "8192 x 8193" + limits);
    kiv::test::Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                            'I',  'H', 'D', 'R', 0x80, 0,    0,    0,    0, 0, 0, 1};
    EXPECT_EQ(errorFor(png), at + "2147483648 x 1" + limits);
    EXPECT_EQ(errorFor(bmpOf(3, 0xFFFFFFFBu)), "no error"); // 5 rows stored top down
}

TEST_F(ToolsRefusal, OutputFilesMustBeDistinctPlainNamesInsideTheOutputFolder) {
    auto withSecondLevelFile = [](const std::string& file) {
        Json game = OneLevelGame(Json::object());
        game["game"]["levels"].push_back(
            {{"id", 2}, {"name", "M"}, {"file", file}, {"level", Json::object()}});
        return CompileError(game);
    };
    const std::string at = "game.levels[1].file: ";
    EXPECT_EQ(withSecondLevelFile("GAME.KIV"),
              at + "GAME.KIV is the file that file already names; each output needs a file of "
                   "its own");
    EXPECT_EQ(withSecondLevelFile("levels\\sub\\..\\ONE.lvl"),
              at + "levels\\sub\\..\\ONE.lvl is the file that game.levels[0].file already "
                   "names; each output needs a file of its own");
    EXPECT_EQ(withSecondLevelFile("/tmp/m.lvl"),
              at + "/tmp/m.lvl: a data file's name must be relative to the data folder");
    EXPECT_EQ(withSecondLevelFile("C:\\m.lvl"),
              at + "C:\\m.lvl: a data file's name must be relative to the data folder");
    EXPECT_EQ(withSecondLevelFile("..\\m.lvl"),
              at + "..\\m.lvl: a data file must lie inside the data folder");
    Json nul = OneLevelGame(Json::object());
    nul["file"] = std::string("g\0.kiv", 6);
    EXPECT_EQ(CompileError(nul), "file: \"g\\x00.kiv\": not a file name");
    EXPECT_EQ(withSecondLevelFile("levels\\m.lvl"), "no error");
}

TEST_F(ToolsRefusal, TheDumperRefusesAFileReadOutOfStep) {
    Json game = OneLevelGame({{"behavior", {{{"kind", "timer"}, {"index", 0}}}}});
    std::vector<unsigned char> level = kiv::tools::CompileGame(game).levels[0].second;
    game["game"]["levels"][0]["level"]["behavior"][0]["kind"] = "stateMachine";
    std::vector<unsigned char> other = kiv::tools::CompileGame(game).levels[0].second;
    size_t kind = 0;
    while (level[kind] == other[kind])
        ++kind;
    level[kind] = 7;
    EXPECT_EQ(ErrorOf([&] { kiv::tools::DumpLevelBytes(level, "l.lvl"); }),
              "l.lvl, offset " + std::to_string(kind + 4) +
                  ", level.behavior[0].kind: an unknown value 7 (expected one of function, "
                  "stateMachine, timer): the file is damaged");
}

TEST_F(ToolsRefusal, NaNAndInfinitiesDumpAsTextsThatCompileBackToTheSameBits) {
    Json game = OneLevelGame(Json::parse(R"({"variables": [
        {"name": "a", "value": "NaN"}, {"name": "b", "value": "-Infinity"},
        {"name": "c", "value": "NaN:0xFFF0000000000123"}],
        "texts": [{"name": "t", "height": "NaN:0x7FA00001"}]})"));
    kiv::tools::GameFiles files = kiv::tools::CompileGame(game);
    kiv::test::WriteGame(game, ".");
    Json dumped = kiv::tools::DumpGame("game.kiv");
    const Json& level = dumped["game"]["levels"][0]["level"];
    EXPECT_EQ(level["variables"][0]["value"], "NaN");
    EXPECT_EQ(level["variables"][1]["value"], "-Infinity");
    EXPECT_EQ(level["variables"][2]["value"], "NaN:0xFFF0000000000123");
    EXPECT_EQ(level["texts"][0]["height"], "NaN:0x7FA00001");
    // Written out as JSON text and read back, as kivdump and kivc do.
    Json reread = kiv::tools::ParseDescription(dumped.dump(2), "dump.json");
    EXPECT_EQ(kiv::tools::CompileGame(reread).levels[0].second, files.levels[0].second);
    EXPECT_EQ(CompileError(OneLevelGame({{"variables", {{{"name", "a"}, {"value", "NaN:0x1"}}}}})),
              "game.levels[0].level.variables[0].value: expected a number (\"NaN\", "
              "\"Infinity\" and \"-Infinity\" too)");
}
