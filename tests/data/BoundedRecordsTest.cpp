// Values that no game can hold, read from level and game files: each ends the game through
// the fatal message naming the file and the field, or is reported as the setter reports it;
// none reaches the runtime.
#include <kiv/Kiv.h>

#include "FatalExit.h"
#include "GameDataFiles.h"
#include "Scratch.h"
#include "host/HostGlobals.h"
#include "host/Shutdown.h"
#include "platform/headless/HeadlessPlatform.h"

#include <climits>
#include <cstring>
#include <functional>

using kiv::test::OneFrameActors;
using kiv::test::OneLevelGame;
using kiv::tools::Json;

namespace {

void S0(int, void*) {}
bool E0(void*) {
    return true;
}

void BuildLogic() {
    SMFArray = NewVoidPointers(2);
    SMFArray[0] = reinterpret_cast<void*>(S0);
    SMFArray[1] = reinterpret_cast<void*>(E0);
}

std::vector<unsigned char> Bytes32(std::uint32_t raw) {
    return {static_cast<unsigned char>(raw), static_cast<unsigned char>(raw >> 8),
            static_cast<unsigned char>(raw >> 16), static_cast<unsigned char>(raw >> 24)};
}

std::uint32_t Bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

class BoundedRecords : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        RTDPath = folder.c_str();
        kiv::InitPaths();
    }
    void TearDown() override {
        kiv::test::CloseGameFiles();
        Scratch::TearDown();
    }

    // Writes the game, with the 4 bytes of one field of its level file replaced by `raw`.
    // kivc refuses such values, so the field is found by compiling the game with two values
    // that differ in their lowest byte (`set` puts them in) and comparing the files.
    void WriteWithRawField(const std::function<Json(const Json&)>& game, const Json& a,
                           const Json& b, std::uint32_t raw) {
        kiv::test::WriteGame(game(b), folder / "Data");
        std::vector<unsigned char> other = ReadBytes(LevelPath());
        kiv::test::WriteGame(game(a), folder / "Data");
        std::vector<unsigned char> level = ReadBytes(LevelPath());
        ASSERT_EQ(level.size(), other.size());
        size_t at = 0;
        while (at < level.size() && level[at] == other[at])
            ++at;
        ASSERT_LE(at + 4, level.size());
        std::vector<unsigned char> bytes = Bytes32(raw);
        std::copy(bytes.begin(), bytes.end(), level.begin() + static_cast<long>(at));
        WriteBytes(LevelPath(), level);
    }

    std::string LevelPath() const { return (folder / "Data" / "levels" / "one.lvl").string(); }

    // What KivMain and the game's level functions do: the game file, then the level.
    void ReadGameAndLevel() {
        kiv::test::ReadGameFile("game.kiv", BuildLogic);
        pConsole = new Console;
        GameNode* level = Game::Search(0);
        gNode = level;
        _LevelFile = new File(level->LevelFile(), File::Reading);
        GenerateLevel(level);
        if (_LevelFile->Position() < _LevelFile->Size())
            GenerateActors(level);
    }

    // The text of the fatal message that reading the game ended with ("" when it did not).
    std::string FatalMessage() {
        kiv::test::CatchFatalExits catcher;
        try {
            ReadGameAndLevel();
        } catch (const kiv::test::FatalExit&) {
            return Headless().dialogs.Shown().back().text;
        }
        return "";
    }
};

} // namespace

TEST_F(BoundedRecords, ValuesNoGameCanHoldEndTheGameNamingTheFileAndTheField) {
    const Json frame = {{"image", "f.bmp"}, {"width", 16}, {"height", 16}};
    auto frameWith = [&](const char* key) {
        return [=](const Json& v) {
            Json f = frame;
            f[key] = v;
            return OneLevelGame(Json::object(), OneFrameActors(f));
        };
    };
    auto spriteWith = [](const char* key) {
        return [=](const Json& v) {
            Json sprite = {{"name", "s"}, {"actor", 0}, {key, v}};
            return OneLevelGame({{"sprites", {sprite}}});
        };
    };
    auto textWith = [](const char* key, bool frame) {
        return [=](const Json& v) {
            Json text = {{"name", "t"}};
            if (frame)
                text["frame"] = {{key, v}};
            else
                text[key] = v;
            return OneLevelGame({{"texts", {text}}});
        };
    };
    struct Case {
        std::function<Json(const Json&)> game;
        Json a, b;
        std::uint32_t raw;
        const char* what;
    };
    const float huge = 1e30f, nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {frameWith("width"), 16, 17, 100000, "the size of a frame"},
        {frameWith("height"), 16, 17, 0xFFFFFFFFu, "the size of a frame"},
        {frameWith("centerX"), 1.0, 1.0000001, Bits(huge), "a frame's centre"},
        {frameWith("translationY"), 1.0, 1.0000001, Bits(-huge), "a frame's translation"},
        {frameWith("hotSpots"), Json::parse(R"([{"x": 1}, {}, {}, {}, {}])"),
         Json::parse(R"([{"x": 2}, {}, {}, {}, {}])"), 0x80000000u, "a frame's hot spot"},
        {spriteWith("x"), 1.0, 1.0000001, Bits(nan), "a sprite's position"},
        {spriteWith("speed"), 1.0, 1.0000001, Bits(huge), "a sprite's speed"},
        {textWith("left", true), 1, 2, 0x80000001u, "a text's frame"},
        {textWith("right", true), 1, 2, 0x7FFFFFFFu, "a text's frame"},
        {textWith("topMargin", false), 1, 2, 0x7FFFFFFFu, "a text's margin"},
        {[](const Json& x) {
             return OneLevelGame({{"particleSystems", {{{"count", 1}, {"name", "p"}, {"x", x}}}}});
         },
         1.0, 1.0000001, Bits(-std::numeric_limits<float>::infinity()),
         "a particle system's position"},
    };
    for (const Case& c : cases) {
        WriteWithRawField(c.game, c.a, c.b, c.raw);
        std::string message = FatalMessage();
        EXPECT_EQ(message, "The data file " + folder.string() +
                               "/Data/levels/one.lvl is damaged: " + c.what + " is out of range.")
            << c.what;
        kiv::test::CloseGameFiles();
    }
}

TEST_F(BoundedRecords, SizesASurfaceHoldsAreRead) {
    // The largest frame that fits, and one of no size at all.
    Json actors = OneFrameActors({{"image", "f.bmp"}, {"width", 2048}, {"height", 32768}});
    actors["actors"][0]["animations"][0]["frames"].push_back(
        {{"image", "g.bmp"}, {"width", 0}, {"height", 0}});
    kiv::test::WriteGame(OneLevelGame(Json::object(), actors), folder / "Data");
    EXPECT_EQ(FatalMessage(), "");
    EXPECT_EQ(SpriteList[0].m_Animations[0].m_Frames[0].m_Height, 32768);
}

TEST_F(BoundedRecords, AnEffectNumberOutsideItsListIsReportedAndTheTextShownWhole) {
    WriteWithRawField(
        [](const Json& effect) {
            return OneLevelGame({{"texts",
                                  {{{"name", "t"},
                                    {"value", "hello"},
                                    {"effect", effect},
                                    {"characterDelay", 1}}}}});
        },
        1, 2, 9);
    EXPECT_EQ(FatalMessage(), "");
    Variable* text = Variable::Search("t");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->Text(), "hello"); // no effect hides part of it
    EXPECT_NE(ReadText("Kiv.log").find("Target Function : void Variable::Effect(EffectType)\n"
                                       "Error Message : The effect type must be selected"),
              std::string::npos);
}

TEST_F(BoundedRecords, AStateOrEdgeFunctionIsNeverUsedAsTheOtherKind) {
    // Entry 0 is a state function and entry 1 an edge function, as the logic's first uses
    // have it; the edge naming 0 and the state naming 1 are reported and get none.
    Json game = OneLevelGame(Json::object());
    game["logic"] = Json::parse(R"({"stateMachines": [{"states": [
        {"function": 0, "edges": [{"to": 1, "function": 1}, {"to": 1, "function": 0}]},
        {"function": 1}]}]})");
    kiv::test::WriteGame(game, folder / "Data");
    testing::internal::CaptureStderr(); // the game file is read before the console exists
    EXPECT_EQ(FatalMessage(), "");
    std::string reports = testing::internal::GetCapturedStderr();
    const std::vector<State>& states = SMArray[0].States();
    EXPECT_EQ(states[0].m_Function, S0);
    EXPECT_EQ(states[0].Edges()[0].m_Condition, E0);
    EXPECT_EQ(states[0].Edges()[1].m_Condition, nullptr);
    EXPECT_EQ(states[1].m_Function, nullptr);
    EXPECT_NE(reports.find("The function 0 cannot be found."), std::string::npos);
    EXPECT_NE(reports.find("The function 1 cannot be found."), std::string::npos);
}

TEST_F(BoundedRecords, CutFilesEndNamingTheFileWithThisSystemsSeparators) {
    kiv::test::WriteGame(OneLevelGame({{"sprites", {{{"name", "s"}, {"actor", 0}}}}}),
                         folder / "Data");
    std::vector<unsigned char> level = ReadBytes(LevelPath());
    level.pop_back();
    WriteBytes(LevelPath(), level);
    EXPECT_EQ(FatalMessage(),
              "Could not open the file " + folder.string() + "/Data/levels/one.lvl for reading.");

    kiv::test::CloseGameFiles();
    std::string gamePath = (folder / "Data" / "game.kiv").string();
    std::vector<unsigned char> game = ReadBytes(gamePath);
    game.resize(game.size() - 3);
    WriteBytes(gamePath, game);
    EXPECT_EQ(FatalMessage(),
              "Could not open the file " + folder.string() + "/Data/game.kiv for reading.");
}

TEST_F(BoundedRecords, LevelsOfTheLowestAndHighestIdsAreKeptAndLookedUpWithoutOverflow) {
    Json game = OneLevelGame(Json::object());
    game["game"]["levels"][0]["id"] = INT_MIN;
    game["game"]["levels"].push_back({{"id", INT_MIN}, {"name", "Twin"}, {"file", "twin.lvl"}});
    game["game"]["levels"].push_back({{"id", INT_MAX}, {"name", "Last"}, {"file", "last.lvl"}});
    kiv::test::WriteGame(game, folder / "Data");
    kiv::test::ReadGameFile("game.kiv", BuildLogic);
    pConsole = new Console;
    EXPECT_EQ(Game::Levels().Count(), 2); // the twin of the same Id is refused
    EXPECT_STREQ(Game::Search(INT_MAX - 1)->Name(), "Last");
    EXPECT_EQ(Game::Search(INT_MAX), nullptr);
    myGame->LevelName("One"); // no level number reaches it
    EXPECT_NE(ReadText("Kiv.log").find("The level numbered: 2147483647 is not found."),
              std::string::npos);
}
