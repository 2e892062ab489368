// The dialogs drawn over the game on desktops without dialogs of their own, on SDL's
// window-less "dummy" video driver: the player's keys are pushed into SDL's queue.
#include "SaveChoice.h"
#include "Scratch.h"
#include "platform/sdl/DrawnQuestions.h"
#include "platform/sdl/SdlFileChooser.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

// Sets an environment variable for the life of the object, or unsets it (null).
class Environment {
public:
    Environment(const char* name, const char* value) : name(name) {
        if (const char* was = std::getenv(name))
            previous = was;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~Environment() { previous ? setenv(name, previous->c_str(), 1) : unsetenv(name); }

private:
    const char* name;
    std::optional<std::string> previous;
};

class DrawnDialogs : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        kiv::platform::WindowSpec shape;
        shape.width = 320;
        shape.height = 240;
        shape.scale = 1;
        if (!platform.GetWindow().Create(shape))
            GTEST_SKIP() << "no SDL video: " << SDL_GetError();
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
    kiv::platform::sdl::SdlWindow& Window() {
        return static_cast<kiv::platform::sdl::SdlWindow&>(platform.GetWindow());
    }

    // No display for SDL's own message boxes, and no desktop entry dialog on the path.
    Environment video{"SDL_VIDEODRIVER", "dummy"};
    Environment x11{"DISPLAY", nullptr};
    Environment wayland{"WAYLAND_DISPLAY", nullptr};
    kiv::platform::sdl::SdlPlatform platform;
};

class DrawnChooser : public DrawnDialogs {
protected:
    void SetUp() override {
        DrawnDialogs::SetUp();
        std::ofstream(folder / "first.sav") << "x";
        where = folder.string();
        choice = kiv::test::SaveChoice(where);
    }
    std::string Choose() { return kiv::platform::sdl::DrawnChooseFile(Window(), choice); }

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

TEST_F(DrawnDialogs, ButtonsAreChosenWithTheArrowsAndEscapeCancels) {
    using kiv::platform::sdl::DrawnButtons;
    const std::vector<std::string> labels = {"Host", "Join", "Cancel"};
    Key(SDLK_RIGHT);
    Key(SDLK_RETURN);
    EXPECT_EQ(DrawnButtons(Window(), "Network game", "Host or join?", labels, 0, -1), 1);
    Key(SDLK_LEFT); // from the first button round to the last
    Key(SDLK_SPACE);
    EXPECT_EQ(DrawnButtons(Window(), "Network game", "Host or join?", labels, 0, -1), 2);
    Key(SDLK_TAB);
    Key(SDLK_ESCAPE);
    EXPECT_EQ(DrawnButtons(Window(), "Network game", "Host or join?", labels, 0, -1), -1);
}

TEST_F(DrawnDialogs, ATypedLineAnswersAndCancellingKeepsTheOldOne) {
    std::string text = "2111";
    for (int i = 0; i < 4; ++i)
        Key(SDLK_BACKSPACE);
    Key(SDLK_RETURN); // an empty line is no answer: the dialog stays
    Typed("h\xC3\xA9");
    Key(SDLK_BACKSPACE); // takes the whole of the last character
    Typed("ost.example");
    Key(SDLK_RETURN);
    EXPECT_TRUE(kiv::platform::sdl::DrawnAskText(Window(), "Network game", "Host name:", text));
    EXPECT_EQ(text, "host.example");

    Typed("other");
    Key(SDLK_ESCAPE);
    EXPECT_FALSE(kiv::platform::sdl::DrawnAskText(Window(), "Network game", "Host name:", text));
    EXPECT_EQ(text, "host.example");
}

// Where SDL cannot show a message box and no entry dialog is installed, the game's questions
// are drawn over it rather than answered for the player.
TEST_F(DrawnDialogs, TheGamesQuestionsFallBackToDrawnOnes) {
    Environment path{"PATH", folder.c_str()};
    auto& dialogs = platform.GetDialogs();
    Key(SDLK_RIGHT);
    Key(SDLK_RETURN);
    EXPECT_EQ(dialogs.MessageBox("Quit?", "Game", kiv::platform::MbYesNo), kiv::platform::IdNo);

    Key(SDLK_RIGHT); // Join
    Key(SDLK_RETURN);
    Key(SDLK_BACKSPACE);
    Typed("2");
    Key(SDLK_RETURN);
    Typed("peer");
    Key(SDLK_RETURN);
    unsigned port = 2111;
    std::string host = "";
    EXPECT_EQ(dialogs.HostOrJoin(port, host), kiv::platform::IdJoin);
    EXPECT_EQ(port, 2112u);
    EXPECT_EQ(host, "peer");

    Key(SDLK_DOWN);
    Key(SDLK_RETURN);
    EXPECT_EQ(dialogs.Choose("Choose your character", {"Knight", "Archer"}), 1);
    Key(SDLK_ESCAPE);
    EXPECT_EQ(dialogs.Choose("Choose your character", {"Knight", "Archer"}), -1);
}

} // namespace
