// The desktop backend's mouse, on SDL's window-less "dummy" video driver: events are pushed
// into SDL's queue as the system would deliver them.
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using kiv::platform::MouseInput;

class SdlMouse : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        kiv::platform::WindowSpec shape;
        shape.width = 160;
        shape.height = 120;
        shape.scale = 2; // window pixels are half the picture's
        if (!platform.GetWindow().Create(shape))
            GTEST_SKIP() << "no SDL video: " << SDL_GetError();
        auto& w = static_cast<kiv::platform::sdl::SdlWindow&>(platform.GetWindow());
        window = SDL_GetWindowID(SDL_RenderGetWindow(w.Renderer()));
    }
    void TearDown() override { unsetenv("SDL_VIDEODRIVER"); }

    void Push(SDL_Event e) { SDL_PushEvent(&e); }
    void Motion(int dx, int dy) {
        SDL_Event e{};
        e.motion = {SDL_MOUSEMOTION, 0, window, 0, 0, 0, 0, dx, dy};
        Push(e);
    }
    std::string Read() {
        MouseInput events[16];
        unsigned n = 16;
        platform.GetMouse().Read(events, n);
        std::string text;
        for (unsigned i = 0; i < n; ++i)
            text += std::to_string(events[i].what) + ":" + std::to_string(events[i].value) + " ";
        return text;
    }

    kiv::platform::sdl::SdlPlatform platform;
    Uint32 window = 0;
};

} // namespace

TEST_F(SdlMouse, StepsButtonsAndWheelInThePicturesUnits) {
    EXPECT_EQ(Read(), ""); // not acquired: nothing is kept
    platform.GetMouse().Acquire();
    Motion(5, -4);
    Motion(1, 0); // the half pixel left over adds up
    SDL_Event button{};
    button.button = {SDL_MOUSEBUTTONDOWN, 0, window, 0, SDL_BUTTON_RIGHT, SDL_PRESSED, 1, 0, 0, 0};
    Push(button);
    button.button.type = SDL_MOUSEBUTTONUP;
    button.button.button = SDL_BUTTON_MIDDLE;
    Push(button);
    SDL_Event wheel{};
    wheel.wheel = {SDL_MOUSEWHEEL, 0, window, 0, 0, 1, SDL_MOUSEWHEEL_FLIPPED, 0, 0, 0, 0};
    Push(wheel);
    EXPECT_EQ(Read(), "0:2 1:-2 0:1 4:1 5:0 2:-120 ");

    platform.GetMouse().Unacquire();
    Motion(8, 8);
    EXPECT_EQ(Read(), "");
}
