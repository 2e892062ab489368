// kivc and kivdump run as processes: help, version, refused command lines, and what kivc says
// about mistakes in a description.
#include "Process.h"
#include "Scratch.h"

#include "Layout.h"

#include <fstream>

namespace kiv::test {

namespace {

using tools::Json;

class ToolProcess : public Scratch {
protected:
    Ran Kivc(const std::vector<std::string>& arguments) {
        return RunProcess(KIV_KIVC, arguments, folder);
    }
    Ran Kivdump(const std::vector<std::string>& arguments) {
        return RunProcess(KIV_KIVDUMP, arguments, folder);
    }
    void Describe(const std::string& json) { std::ofstream(folder / "game.json") << json; }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(ToolProcess, HelpVersionAndMistypedOptions) {
    for (const char* tool : {KIV_KIVC, KIV_KIVDUMP}) {
        Ran help = RunProcess(tool, {"--help"}, folder);
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(Has(help.out, "Usage: kiv") && Has(help.out, "Exit status")) << help.out;
        Ran version = RunProcess(tool, {"--version"}, folder);
        EXPECT_EQ(version.status, 0);
        EXPECT_TRUE(Has(version.out, "(KivCore) ")) << version.out;
        EXPECT_EQ(RunProcess(tool, {}, folder).status, 2);
    }
    Ran ran = Kivc({"game.json", "--atr", "art"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_TRUE(Has(ran.err, "kivc: unknown option --atr; did you mean --art?")) << ran.err;
    ran = Kivdump({"-0", "out.json", "game.kiv"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_TRUE(Has(ran.err, "unknown option -0; did you mean -o?")) << ran.err;
    EXPECT_EQ(Kivdump({"missing.kiv"}).status, 1);

    ran = Kivc({"--schema"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(Json::parse(ran.out)["properties"]["game"]["type"], "object");
}

TEST_F(ToolProcess, AnUnknownFieldIsNamedWithItsPathTheNearestAndTheValidOnes) {
    Describe(R"({"$schema": "kivgame.schema.json", "file": "g.kiv",
                "mode": {"widht": 320}})");
    Ran ran = Kivc({"game.json", "-o", "Data"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "kivc: mode.widht: unknown field; did you mean width? The fields "
                             "here are: bitsPerPixel, height, screenSaver, width, windowed.\n"))
        << ran.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "Data"));

    Describe(R"({"file": "g.kiv", "levels": []})");
    ran = Kivc({"game.json", "-o", "Data"});
    EXPECT_TRUE(Has(ran.err, "levels: unknown field. The fields here are: $schema, file, mode, "
                             "game, logic."))
        << ran.err;
}

TEST_F(ToolProcess, ReferencesThatLeadNowhereAreWarnedOfOrRefusedWhenStrict) {
    Describe(R"({"file": "g.kiv",
      "game": {"behavior": [{"kind": "timer", "index": 0}],
               "levels": [{"id": 1, "name": "A", "file": "a.lvl", "level": {
        "sounds": [{"kind": "effect", "name": "beep", "file": "b.wav"}],
        "maps": [{"type": "master", "name": "world", "file": "w.bmp",
                  "alarms": [{"name": "gate"}]}],
        "sprites": [{"name": "hero", "actor": 0, "map": "wrold", "alarms": ["gate", "door"],
                     "path": {"machine": 0}, "movementPattern": {"pattern": 2}},
                    {"name": "hero", "actor": 3, "map": "world", "animation": 1}],
        "texts": [{"name": "t", "letterSound": "boop", "onMap": true, "map": "world"}]},
        "actors": {"actors": [{"index": 3, "animations": [
          {"frames": [{"image": "a.bmp", "width": 1, "height": 1}]}]}]}}]},
      "logic": {"stateMachines": [{"states": [{"edges": [{"to": 2}], "subMachine": 4}],
                                   "startingState": 1}]}})");
    const std::string problems[] = {
        "game.behavior[0].index: no timer 0 (there are 0)",
        "game.levels[0].level.sprites[1].name: another sprite is named \"hero\" "
        "(game.levels[0].level.sprites[0])",
        "game.levels[0].level.sprites[0].map: no map named \"wrold\" in this level",
        "game.levels[0].level.sprites[0].alarms[1]: no alarm named \"door\" in this level",
        "game.levels[0].level.sprites[0].actor: no level's actor record defines actor 0",
        "game.levels[0].level.sprites[0].path.machine: no path state machine 0 (there are 0)",
        "game.levels[0].level.sprites[0].movementPattern.pattern: no movement pattern 2",
        "game.levels[0].level.sprites[1].animation: no animation 1 (there are 1)",
        "game.levels[0].level.texts[0].letterSound: no sound named \"boop\" in this level",
        "logic.stateMachines[0].startingState: no state 1 (there are 1)",
        "logic.stateMachines[0].states[0].subMachine: no state machine 4 (there are 1)",
        "logic.stateMachines[0].states[0].edges[0].to: no state 2 (there are 1)"};
    Ran ran = Kivc({"game.json", "-o", "Data"});
    EXPECT_EQ(ran.status, 0);
    for (const std::string& problem : problems)
        EXPECT_TRUE(Has(ran.err, "kivc: game.json: warning: " + problem)) << problem << "\n"
                                                                          << ran.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "Data" / "a.lvl"));

    std::filesystem::remove_all(folder / "Data");
    ran = Kivc({"game.json", "-o", "Data", "--strict"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "kivc: game.json: " + problems[2])) << ran.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "Data"));
}

// A file is a replay by its magic word; a damaged one, or one of another kind, is named in
// kivdump's error.
TEST_F(ToolProcess, KivdumpTellsAReplayByItsMagicAndRefusesDamagedOrForeignOnes) {
    // One frame with the A key down, one mouse byte, one triple (3, -2, 0).
    const std::string replay("KIV_REP\1\0\0\0\1\0\0\0\x1E\1\0\0\0\x04\1\0\0\0"
                             "\3\0\0\0\xFE\xFF\xFF\xFF\0\0\0\0",
                             37);
    std::ofstream(folder / "play.rep", std::ios::binary) << replay;
    std::ofstream(folder / "cut.rep", std::ios::binary) << replay.substr(0, 30);
    Ran ran = Kivdump({"play.rep"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(Json::parse(ran.out), Json::parse(R"({"magic": "KIV_REP", "keys": [["A"]],
        "mouseFlags": [4], "mouseSteps": [[3, -2, 0]]})"));

    ran = Kivdump({"cut.rep"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(
        Has(ran.err, "kivdump: cut.rep, offset 25: a count of 3 is more than the file holds"))
        << ran.err;
    ran = Kivdump({"save", "play.rep"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "kivdump: play.rep: not a file of this kind (it starts with "
                             "\"KIV_REP\")"))
        << ran.err;
}

} // namespace

} // namespace kiv::test
