// The class registry: every class a file can name is made by that name, and its record,
// read back, writes the same bytes again.
#include <kiv/Kiv.h>

#include "Scratch.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "sound/SoundFixture.h"

#include <filesystem>
#include <memory>
#include <sstream>

namespace {

class Registry : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        SetMode(64, 48, 32);
        _IsWindowed = true;
        ASSERT_TRUE(kiv::InitGraphics());
        gNode = &level;
        // A level's record carries the game's state and the mouse's.
        myGame = new Game;
        pMouse = new Mouse(nullptr, nullptr);
        // The sound classes stand for files, which their records name and reopen.
        kiv::SFXPath = "sfx\\";
        kiv::MusicPath = "music\\";
        std::filesystem::create_directories("sfx");
        std::filesystem::create_directories("music");
        kiv::test::Bytes wave = kiv::test::Wave(22050, 16, 1, kiv::test::Samples16({1, 2, 3, 4}));
        WriteBytes("sfx/boom.wav", wave);
        WriteBytes("music/song.wav", wave);
        WriteBytes("music/tune.mid", {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                                      96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
    }
    // An object of the class in a state its record can describe: sounds with their files.
    static node* Live(const std::string& name) {
        if (name == "Sound")
            return new Sound("boom", "boom.wav", false, 100);
        if (name == "SoundBase")
            return new SoundBase("boom", "boom.wav", false, false);
        if (name == "StreamedSound")
            return new StreamedSound("song", "song.wav", true);
        if (name == "MidiFile")
            return new MidiFile("tune", "tune.mid", false);
        return CreateObject(name.c_str());
    }
    static void Save(const char* path, node* object) {
        File file(path, File::Writing);
        file.Write(object);
    }
    void TearDown() override {
        delete pMouse;
        pMouse = nullptr;
        delete myGame;
        myGame = nullptr;
        gNode = nullptr;
        kiv::CloseGraphics();
        Scratch::TearDown();
    }
    GameNode level;
};

} // namespace

TEST_F(Registry, EveryClassIsMadeByItsNameAndItsRecordRoundTrips) {
    std::istringstream classes(
        "Alarm Bnode Behavior CollisionSegment CollisionCircle GammaRamp OpenClose RandomDissolve "
        "GameNode Map MidiFile ParticleSystem Random Sound SoundBase Sprite StateMachineTraverser "
        "PathStateMachineTraverser StreamedSound Variable KivCursor ViewPort");
    for (std::string name; classes >> name;) {
        SCOPED_TRACE(name);
        std::unique_ptr<node> made(CreateObject(name.c_str()));
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(made->ClassName(), name.c_str());
        made.reset(Live(name));
        Save("first.bin", made.get());
        std::unique_ptr<node> read;
        {
            File file("first.bin", File::Reading);
            node* object = nullptr;
            file.Read(object);
            read.reset(object);
            EXPECT_EQ(file.Position(), file.Size());
        }
        ASSERT_NE(read, nullptr);
        EXPECT_STREQ(read->ClassName(), name.c_str());
        Save("second.bin", read.get());
        EXPECT_EQ(ReadBytes("second.bin"), ReadBytes("first.bin"));
    }
    EXPECT_EQ(CreateObject("Particle"), nullptr); // a particle is part of its system's record
}
