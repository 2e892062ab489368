// The bytes of saves and replays, written out independently here: the magic words, the
// order of the level record's fields and the recorded input.
#include "GameRun.h"
#include "SaveDump.h"
#include "SaveTo.h"
#include "variables/TextDrawing.h"

#include "base/Generators.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// Little-endian values in the widths files give them.
struct Writer {
    Bytes bytes;

    Writer& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    Writer& I32(int v) { return U32(static_cast<std::uint32_t>(v)); }
    Writer& F32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return U32(bits);
    }
    Writer& Flag(bool v) {
        bytes.push_back(v ? 1 : 0);
        return *this;
    }
    Writer& Raw(const std::string& text) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    Writer& Text(const std::string& text) { return I32(static_cast<int>(text.size())).Raw(text); }
    Writer& Append(const Bytes& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // A behavior without items, in a game without logic tables.
    Writer& EmptyBehavior() { return U32(0).U32(0).U32(0).U32(0); }
    Writer& Generator(const Random& r) {
        I32(r.iy).I32(r.idum);
        for (int v : r.iv)
            I32(v);
        return *this;
    }
    // An object written for the first time in its file.
    Writer& FirstReference(const std::string& className, int number) {
        std::string field = className;
        field.resize(32, '\0');
        return Raw(field).I32(number);
    }
};

class SaveFiles : public kiv::test::GameRun {
protected:
    void TearDown() override {
        OnSaveP = nullptr;
        GameRun::TearDown();
    }

    // The record an object writes of itself, for the objects whose own records are not what
    // these tests are about.
    static Bytes RecordOf(node& object) {
        kiv::test::SaveTo("record.bin", object);
        return ReadBytes("record.bin");
    }
};

TEST_F(SaveFiles, ASaveHoldsTheMagicTheGameDataTheLevelNumberAndTheLevelRecordInOrder) {
    OnSaveP = [](File& f) { f.Write(0x12345678); };
    Bytes expected;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame != 4)
            return;
        gNode->WorldWidth(800);
        gNode->WorldHeight(600);
        pMouse->Locate(10, 20);
        myGame->Title("Save test");
        myGame->SaveGame("level.sav");
        myGame->RealSaveGame();

        auto* fps = static_cast<Variable*>(gNode->Variables().Head());
        Writer w;
        w.Raw("KIV_SAR").U32(0x12345678).I32(0);
        w.U32(800).U32(600).EmptyBehavior();
        // The mouse: sensitivity, position, steps, wheel, motion rectangle, moved flags, the
        // double-click settings, the pending clicks and the frames it has read.
        w.F32(1.0f).I32(10).I32(20).I32(0).I32(0).I32(0);
        w.I32(0).I32(0).I32(320).I32(240).Flag(false).Flag(false);
        w.U32(10).U32(5).U32(25).Flag(false).Flag(false).U32(0).U32(0).U32(3);
        w.U32(60).U32(16).I32(0).Flag(false).Text("").Flag(false).Flag(true);
        w.I32(0).I32(0).I32(1).I32(0).I32(0).I32(0).I32(0); // only the FPS variable
        w.U32(0);                                           // maps
        for (int d = 0; d < 16; ++d)
            w.U32(0);
        w.U32(1).FirstReference("Variable", 1).Append(RecordOf(*fps));
        w.U32(0).U32(0).U32(0).U32(0); // sounds, streamed sounds, MIDI, particle systems
        w.Append(RecordOf(gNode->GetViewPort()));
        w.Flag(false);             // no cursor
        w.Flag(false).Flag(false); // the game's cursor hidden; the exit function not run
        w.I32(0).Flag(false);      // the level that runs, no switch pending
        w.Append(RecordOf(*Effect_GammaRamp)).Append(RecordOf(*Effect_OpenClose));
        w.Append(RecordOf(*Effect_RandomDissolve));
        w.Generator(kiv::FloatGenerator).Generator(kiv::IntGenerator);
        w.Generator(kiv::TextGenerator());
        w.EmptyBehavior().Flag(true).Text("Save test").I32(-1).I32(0).I32(-1).I32(0);
        expected = w.bytes;
        myGame->EndGame();
    };
    Run();
    EXPECT_EQ(ReadBytes("level.sav"), expected);

    // kivdump's reading of it finds the level after the game's own bytes.
    kiv::tools::Json dump = kiv::tools::DumpSave(ReadBytes("level.sav"), "level.sav");
    EXPECT_EQ(dump["magic"], "KIV_SAR");
    EXPECT_EQ(dump["gameData"], "78563412");
    EXPECT_EQ(dump["level"], 0);
    EXPECT_EQ(dump["record"]["worldWidth"], 800);
    EXPECT_EQ(dump["record"]["mouse"]["y"], 20);
    EXPECT_EQ(dump["record"]["variables"][0]["name"], "FPS");
    EXPECT_EQ(dump["record"]["title"], "Save test");
}

// Recorded: F1 at frame 3; then RIGHT, A, the mouse and its left button; F2 at frame 8.
TEST_F(SaveFiles, AReplayIsTheStartOfTheRecordingBesideItsRecordedInput) {
    platform->ReadScript("3 press F1\n"
                         "4 key RIGHT down\n"
                         "5 key A down\n"
                         "5 mouse move 3 -2\n"
                         "5 mouse wheel 1\n"
                         "6 key RIGHT up\n"
                         "6 mouse click left\n"
                         "8 press F2\n"
                         "10 key A up\n");
    Bytes start;
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 6)
            start = ReadBytes("gamesavestartrecording.sat");
        if (frame == 12) {
            myGame->SaveReplay("input.rep");
            myGame->EndGame();
        }
    };
    Run();
    Writer w;
    w.Raw("KIV_REP").U32(5);
    w.U32(1).Raw("\xCD");                                           // frame 4: RIGHT
    w.U32(2).Raw("\x1E\xCD");                                       // 5: A, RIGHT
    w.U32(1).Raw("\x1E").U32(1).Raw("\x1E").U32(2).Raw("\x1E\x3C"); // 6, 7: A; 8: A, F2
    w.U32(5).Raw(std::string("\x00\x1C\x01\x00\x00", 5));           // moved X, Y and wheel; left
    w.U32(5).I32(0).I32(0).I32(0).I32(3).I32(-2).I32(120);
    for (int i = 0; i < 3; ++i)
        w.I32(0).I32(0).I32(0);
    EXPECT_EQ(ReadBytes("input.rep"), w.bytes);
    kiv::tools::Json dump = kiv::tools::DumpReplay(w.bytes, "input.rep");
    EXPECT_EQ(dump["keys"], kiv::tools::Json::parse(R"([["RIGHT"], ["A", "RIGHT"], ["A"], ["A"],
                                                         ["A", "F2"]])"));
    EXPECT_EQ(dump["mouseFlags"], kiv::tools::Json::parse("[0, 28, 1, 0, 0]"));
    EXPECT_EQ(dump["mouseSteps"][1], kiv::tools::Json::parse("[3, -2, 120]"));
    ASSERT_GT(start.size(), 7u);
    EXPECT_EQ(std::string(start.begin(), start.begin() + 7), "KIV_SAR");
    EXPECT_EQ(ReadBytes("input.sar"), start);
    // The game's work files go with it.
    EXPECT_FALSE(std::filesystem::exists("gamesavestartrecording.sat"));
    EXPECT_FALSE(std::filesystem::exists("gamesavewhenreplay.sat"));
}

// Until the game names its window, the window keeps the title it was made with, and a save
// keeps that title.
TEST_F(SaveFiles, ASaveKeepsTheWindowsFirstTitle) {
    platform->onPass = [&](std::uint32_t frame) {
        if (frame == 3)
            myGame->SaveGame("untitled.sav");
        if (frame == 4)
            myGame->EndGame();
    };
    Run();
    kiv::tools::Json dump = kiv::tools::DumpSave(ReadBytes("untitled.sav"), "untitled.sav");
    EXPECT_EQ(dump["record"]["title"], "Kiv");
}

} // namespace
