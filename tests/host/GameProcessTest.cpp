// The runtime run as a user runs it: a game executable started as a process, its exit
// status, what it writes on standard error and what it leaves in the log.
#include "GameDataFiles.h"
#include "Process.h"
#include "Scratch.h"

#include "Layout.h"
#include "platform/FileInstanceLock.h"

#include <cstdlib>
#include <fstream>

namespace kiv::test {

namespace {

using tools::Json;

class GameProcess : public Scratch {
protected:
    // A game of one level, 160 by 120 pixels, whose level runs function 0 when `complain`.
    static Json Game(bool complain = false) {
        Json game = Json::parse(R"({"file": "game.kiv",
          "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
          "game": {"levels": [{"id": 1, "name": "One", "firstLoad": 0, "file": "one.lvl",
            "level": {"worldWidth": 160, "worldHeight": 120,
                      "viewport": {"width": 160, "height": 120}}}]}})");
        if (complain)
            game["game"]["levels"][0]["level"]["behavior"] = {{{"kind", "function"}, {"index", 0}}};
        return game;
    }
    // An actor record of actor 0, one 8 × 8 frame of the image `image`.
    static Json Actors(const char* image) {
        return OneFrameActors({{"image", image}, {"width", 8}, {"height", 8}});
    }

    Ran Kivc(const std::vector<std::string>& arguments) {
        return RunProcess(KIV_KIVC, arguments, folder);
    }

    // Compiles the description into "Data" of the test's folder.
    void Compile(const Json& description) {
        std::ofstream(folder / "game.json") << description.dump();
        Ran ran = Kivc({"game.json", "-o", "Data"});
        ASSERT_EQ(ran.status, 0) << ran.err;
    }

    Ran Play(const std::vector<std::string>& arguments, std::vector<std::string> environment = {}) {
        // Nothing of the tests' own environment may change what the game does.
        environment.insert(
            environment.begin(),
            {"KIV_LOCK_FILE=" + (folder / "kiv.lock").string(), "KIV_PLATFORM=headless",
             "KIV_EXIT_STATUS=", "KIV_LOG=", "KIV_FRAMES=", "KIV_INPUT=", "KIV_SCREENSHOT="});
        return RunProcess(KIV_PROBE_GAME, arguments, folder, environment);
    }

    std::string Log(const char* name = "Kiv.log") { return FileText(folder / name); }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(GameProcess, FailuresExitWithTheirOwnStatusUnlessTheDesignedOnesAreAsked) {
    Compile(Game());
    Ran ran = Play({"--frames=3"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_TRUE(Has(ran.out, "command line: \n")) << ran.out;

    // No data: the fatal exit names the file with this system's separators.
    std::filesystem::remove_all(folder / "Data");
    ran = Play({"--frames=3"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "[Exit error.] Could not open the file " +
                                 (folder / "Data" / "game.kiv").string() + " for reading.\n"))
        << ran.err;
    EXPECT_EQ(Play({"--frames=3"}, {"KIV_EXIT_STATUS=designed"}).status, 0);
    ran = Play({}, {"KIV_PROBE_DATA=" + (folder / "nowhere").string()});
    EXPECT_EQ(ran.status, 1);
    EXPECT_TRUE(Has(ran.err, "The folder " + (folder / "nowhere").string() + " does not exist"))
        << ran.err;

    // Another game holds the lock: the designed box, in UTF-8, and where the lock is.
    Compile(Game());
    setenv("KIV_LOCK_FILE", (folder / "kiv.lock").c_str(), 1);
    platform::FileInstanceLock other;
    ASSERT_TRUE(other.Acquire());
    ran = Play({"--frames=3"});
    EXPECT_EQ(ran.status, 3);
    EXPECT_TRUE(Has(ran.err,
                    "[Exit error.] Cannot create more than one \xE2\x80\x98Kiv\xE2\x80\x99 "
                    "instance.\n"))
        << ran.err;
    EXPECT_TRUE(Has(ran.err, (folder / "kiv.lock").string()) && Has(ran.err, "KIV_LOCK_FILE"));
    EXPECT_EQ(Play({"--frames=3"}, {"KIV_EXIT_STATUS=designed"}).status, 0);
    other.Release();

    // A designed fatal error of the game's data: the main character outside the scrolling box.
    Json game = Game();
    Json& level = game["game"]["levels"][0];
    level["level"]["sprites"] = {
        {{"name", "hero"}, {"actor", 0}, {"mainCharacter", true}, {"x", 1000}, {"y", 10}}};
    level["secondLoad"] = 1;
    level["actors"] = Actors("hero.bmp");
    Compile(game);
    ran = Play({"--frames=3"});
    EXPECT_EQ(ran.status, 1);
    const std::string message = "The main character must be inside the viewport scrolling "
                                "bounding box.";
    EXPECT_TRUE(Has(ran.err, "[Exit error.] " + message)) << ran.err;
    EXPECT_TRUE(Has(Log(), message)) << Log();
}

TEST_F(GameProcess, EmptyCallbackSlotsTakeTheirDefaultsOrAreNamed) {
    Compile(Game());
    // The game file gives the mode, the levels and the logic; the other slots do nothing.
    Ran ran = Play({"--frames=3"}, {"KIV_PROBE_EMPTY=SetDataPathP,ModeP,KivP,OnGameStartP"});
    EXPECT_EQ(ran.status, 0) << ran.err;

    // Without a game file there is nothing to read the mode from.
    ran = Play({"--frames=3"}, {"KIV_PROBE_EMPTY=LoadGameFileP,ModeP,KivP"});
    EXPECT_EQ(ran.status, 5);
    EXPECT_TRUE(Has(ran.err, "callback slot ModeP empty")) << ran.err;
}

TEST_F(GameProcess, UserErrorsGoToStandardErrorAndToTheLogWhereverItIs) {
    Compile(Game(true));
    const std::string report = "Target Function : void Game::LevelNumber(int)\n"
                               "Error Message : The level numbered: 99 is not found.\n";
    Ran ran = Play({"--frames=5"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_TRUE(Has(ran.err, "User Error :\n" + report)) << ran.err;
    EXPECT_TRUE(Has(Log(), report)) << Log();

    std::filesystem::remove(folder / "Kiv.log");
    EXPECT_EQ(Play({"--frames=5", "--log=moved.log"}).status, 0);
    EXPECT_TRUE(Has(Log("moved.log"), report));
    EXPECT_EQ(Play({"--frames=5"}, {"KIV_LOG=variable.log"}).status, 0);
    EXPECT_TRUE(Has(Log("variable.log"), report));
    EXPECT_FALSE(std::filesystem::exists(folder / "Kiv.log"));
}

TEST_F(GameProcess, RuntimeOptionsAreExplainedCheckedAndTheRestReachesTheGame) {
    Compile(Game());
    Ran ran = Play({"--help"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_TRUE(Has(ran.out, "--frames=N") && Has(ran.out, "--input=FILE") &&
                Has(ran.out, "Exit status"))
        << ran.out;
    ran = Play({"--version"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.out.rfind("KivCore ", 0), 0u) << ran.out;

    // A mistyped option is pointed out and left for the game, with the game's own options.
    ran = Play({"--framez=10", "--frames=3", "--hero=Big Bob", "/x"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_TRUE(Has(ran.err, "--framez=10: did you mean --frames?")) << ran.err;
    EXPECT_TRUE(Has(ran.out, "command line: --framez=10 --hero=\"Big Bob\" /x\n")) << ran.out;

    std::filesystem::create_directory(folder / "folder");
    for (const std::string option :
         {"--frames=abc", "--frames=-1", "--frames", "--scale=-2", "--scale=x", "--headless=maybe",
          "--input=/dev/zero", "--input=folder", "--input=missing.input", "--screenshot=shot.gif",
          "--screenshot=no/such/folder/shot.png", "--screenshot=folder/",
          "--log=no/such/folder/x.log"}) {
        ran = Play({option});
        EXPECT_EQ(ran.status, 2) << option;
        EXPECT_TRUE(Has(ran.err, option + ": ") && Has(ran.err, "--help")) << ran.err;
    }
    ran = Play({}, {"KIV_FRAMES=abc"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_TRUE(Has(ran.err, "KIV_FRAMES=abc: expected a whole number")) << ran.err;
}

TEST_F(GameProcess, ScreenshotsTakeTheFormatOfTheirNameAndScriptsRefuseWhatOverflows) {
    Compile(Game());
    const std::pair<const char*, std::string> shots[] = {
        {"my shot.png", "\x89PNG"}, {"shot.bmp", "BM"}, {"shot.jpg", "\xFF\xD8\xFF"}};
    for (const auto& [name, magic] : shots) {
        Ran ran = Play({"--frames=3", std::string("--screenshot=") + name});
        EXPECT_EQ(ran.status, 0) << ran.err;
        EXPECT_EQ(FileText(folder / name).substr(0, magic.size()), magic) << name;
    }

    std::ofstream(folder / "wheel.input") << "1 mouse wheel 2147483647\n2 mouse wheel -3\n";
    Ran ran = Play({"--frames=3", "--input=wheel.input"});
    EXPECT_EQ(ran.status, 0);
    EXPECT_TRUE(Has(ran.err, "wheel.input:1: 1 mouse wheel 2147483647: the wheel turns by a "
                             "whole number of notches"))
        << ran.err;
    EXPECT_FALSE(Has(ran.err, "wheel.input:2"));
}

TEST_F(GameProcess, SilentFailuresOfTheGameDataAreTold) {
    Json game = Game();
    Json& entry = game["game"]["levels"][0];
    entry["level"]["behavior"] = {{{"kind", "stateMachine"}, {"index", 0}}};
    entry["level"]["texts"] = Json::parse(R"([{"name": "tiny", "height": 16, "value": "hello",
        "frame": {"left": 0, "top": 0, "right": 100, "bottom": 4}}])");
    entry["secondLoad"] = 1;
    entry["actors"] = Actors("none.bmp");
    game["logic"] = Json::parse(R"({"stateMachines": [{"states": [
        {"function": 0, "edges": [{"to": 5, "always": true}]}, {"function": 0}]}]})");
    Compile(game);
    Ran ran = Play({"--frames=5"});
    EXPECT_EQ(ran.status, 0) << ran.err;
    const std::string told[] = {
        "Actor 0, animation 0, frame 0: its image " +
            (folder / "Art Assets" / "Actors" / "none.bmp").string() + " is missing",
        "The text tiny shows nothing: its frame is 4 pixels high",
        "State machine 0, state 0: edge 0 leads to state 5, which the machine does not have"};
    for (const std::string& message : told) {
        EXPECT_TRUE(Has(ran.err, message)) << message << "\n" << ran.err;
        EXPECT_TRUE(Has(Log(), message)) << message;
    }
}

} // namespace

} // namespace kiv::test
