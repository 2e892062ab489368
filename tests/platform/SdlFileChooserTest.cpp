// The file dialog drawn over the game on desktops without one of their own, on SDL's
// window-less "dummy" video driver: the player's keys are pushed into SDL's queue.
#include "platform/sdl/SdlFileChooser.h"
#include "Scratch.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <cstdlib>
#include <fstream>

namespace {

class DrawnChooser : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        kiv::platform::WindowSpec shape;
        shape.width = 320;
        shape.height = 240;
        shape.scale = 1;
        if (!platform.GetWindow().Create(shape))
            GTEST_SKIP() << "no SDL video: " << SDL_GetError();
        std::ofstream(folder / "first.sav") << "x";
        where = folder.string();
        choice.save = true;
        choice.filterName = "Saved Files (*.sav)";
        choice.pattern = "*.sav";
        choice.extension = "sav";
        choice.folder = where.c_str();
    }
    void TearDown() override {
        unsetenv("SDL_VIDEODRIVER");
        Scratch::TearDown();
    }

    static void Key(SDL_Keycode key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = key;
        SDL_PushEvent(&e);
    }
    static void Typed(const char* text) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", text);
        SDL_PushEvent(&e);
    }
    std::string Choose() {
        auto& window = static_cast<kiv::platform::sdl::SdlWindow&>(platform.GetWindow());
        return kiv::platform::sdl::DrawnChooseFile(window, choice);
    }

    kiv::platform::sdl::SdlPlatform platform;
    kiv::platform::FileChoice choice;
    std::string where;
};

TEST_F(DrawnChooser, ANameTypedOrAFileChosenWithTheArrowsIsTheAnswer) {
    Typed("slot");
    Typed("2");
    Key(SDLK_RETURN);
    EXPECT_EQ(Choose(), where + "/slot2.sav");

    Key(SDLK_DOWN); // the parent folder
    Key(SDLK_DOWN); // first.sav
    Key(SDLK_RETURN);
    EXPECT_EQ(Choose(), where + "/first.sav");
}

TEST_F(DrawnChooser, EscapeOrClosingTheWindowCancels) {
    Typed("never");
    Key(SDLK_ESCAPE);
    EXPECT_EQ(Choose(), "");

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(Choose(), "");
    kiv::platform::WindowEvent event;
    ASSERT_TRUE(platform.GetWindow().PollEvent(event)); // the game is asked to close too
    EXPECT_EQ(event, kiv::platform::WindowEvent::CloseRequested);
}

} // namespace
