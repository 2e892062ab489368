#pragma once

#include "platform/FileInstanceLock.h"
#include "platform/InputScript.h"
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/SdlDialogs.h"
#include "platform/sdl/SteadyClock.h"

#include <deque>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace kiv::platform::sdl {

class SdlPlatform;

// The game window: the picture zoomed by a whole factor in a window, or centred and scaled
// to the desktop in full screen.
class SdlWindow : public Window {
public:
    explicit SdlWindow(SdlPlatform& owner) : platform(owner) {}
    ~SdlWindow() override;

    bool Create(const WindowSpec& shape) override;
    void Destroy() override;
    bool Exists() override { return window != nullptr; }
    void SetTitle(const char* title) override;
    void Show(bool visible) override;
    void SetWindowed(bool windowed) override;
    void ShowCursor(bool visible) override;
    void InhibitScreenSaver(bool inhibit) override;
    bool PollEvent(WindowEvent& event) override;
    int DesktopDepth() override { return 0; }

    void Queue(WindowEvent e) { events.push_back(e); }
    bool CursorShown() const { return cursorShown; }
    SDL_Renderer* Renderer() { return renderer; }
    SDL_Texture*& Texture() { return texture; }

private:
    void Place(bool windowed);

    SdlPlatform& platform;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    WindowSpec shape;
    std::deque<WindowEvent> events;
    bool cursorShown = true;
};

class SdlPresenter : public Presenter {
public:
    explicit SdlPresenter(SdlWindow& w) : window(w) {}
    bool Present(const FrameView& frame) override;

private:
    SdlWindow& window;
    int textureWidth = 0;
    int textureHeight = 0;
};

// Keyboard events from the window's event queue, as DirectInput key codes.
class SdlInput : public InputSource {
public:
    explicit SdlInput(SdlPlatform& owner) : platform(owner) {}
    void Acquire() override { acquired = true; }
    void Unacquire() override;
    Status ReadKeys(KeyEvent* out, unsigned& count) override;
    bool CapsLock() override;
    bool NumLock() override;

    void Queue(KeyEvent e);

private:
    SdlPlatform& platform;
    std::deque<KeyEvent> keys;
    bool acquired = false;
};

// Mouse data from the window's event queue: relative steps, buttons and wheel. The steps
// arrive in the picture's pixels: the renderer's logical size scales motion from the
// window's pixels to the picture's (keeping the fractions between events).
class SdlMouse : public MouseSource {
public:
    explicit SdlMouse(SdlPlatform& owner) : platform(owner) {}
    void Acquire() override;
    void Unacquire() override;
    Status Read(MouseInput* out, unsigned& count) override;
    bool HasWheel() override { return true; }

    void Queue(MouseInput e);
    bool Acquired() const { return acquired; }

private:
    SdlPlatform& platform;
    std::deque<MouseInput> events;
    bool acquired = false;
};

class SdlPlatform : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;

    const char* Name() const override { return "sdl"; }
    Clock& GetClock() override { return clock; }
    Dialogs& GetDialogs() override { return dialogs; }
    InstanceLock& GetInstanceLock() override { return lock; }
    Window& GetWindow() override { return window; }
    Presenter& GetPresenter() override { return presenter; }
    InputSource& GetInput() override { return input; }
    MouseSource& GetMouse() override { return mouse; }
    AudioOutput& GetAudio() override { return audio; }
    // Plays the scripted input of frames up to `nextFrame` as if it came from the devices.
    void StartPass(std::uint32_t nextFrame) override;
    InputScript* GetScript() override { return &script; }

    // Moves every pending system event to the window's, the keyboard's or the mouse's queue.
    void Pump();
    // While the mouse is read and the system cursor is hidden, the pointer is held inside the
    // window (relative mode), so that steps keep coming at the edges of the screen.
    void HoldPointer();

private:
    void Dispatch(const SDL_Event& e);
    void DispatchMouse(const SDL_Event& e);

    SteadyClock clock;
    FileInstanceLock lock;
    SdlWindow window{*this};
    SdlDialogs dialogs{window};
    SdlPresenter presenter{window};
    SdlInput input{*this};
    SdlMouse mouse{*this};
    SdlAudio audio{clock};
    InputScript script;
};

} // namespace kiv::platform::sdl
