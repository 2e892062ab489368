#include "platform/sdl/SdlPlatform.h"

#include "graphics/Surface.h"
#include "platform/EventQueue.h"
#include "platform/sdl/SdlKeyMap.h"

#include <SDL.h>

#include <algorithm>

namespace kiv::platform::sdl {

SdlWindow::~SdlWindow() {
    Destroy();
}

bool SdlWindow::Create(const WindowSpec& s) {
    shape = s;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    Uint32 flags = s.windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
    window = SDL_CreateWindow(s.title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, s.width,
                              s.height, flags);
    if (!window)
        return false;
    // No vertical sync: presenting must never hold the frame loop, whose frames keep their own
    // times (16 ms at 60 frames per second) and would otherwise fall into step with the
    // display's refreshes (16.67 ms at 60 Hz), dropping a frame every 25.
    renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        Destroy();
        return false;
    }
    SDL_RenderSetLogicalSize(renderer, s.width, s.height);
    Place(s.windowed);
    return true;
}

// A window shows the picture zoomed by the largest whole factor that fits the desktop (or
// the one asked for); full screen fills the desktop keeping the picture's proportions.
void SdlWindow::Place(bool windowed) {
    SDL_RenderSetIntegerScale(renderer, windowed ? SDL_TRUE : SDL_FALSE);
    if (!windowed)
        return;
    int scale = shape.scale;
    SDL_Rect usable;
    if (scale <= 0 && SDL_GetDisplayUsableBounds(0, &usable) == 0)
        scale = std::min(usable.w / std::max(shape.width, 1), usable.h / std::max(shape.height, 1));
    scale = std::max(scale, 1);
    SDL_SetWindowSize(window, shape.width * scale, shape.height * scale);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlWindow::Destroy() {
    if (texture)
        SDL_DestroyTexture(texture);
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (window)
        SDL_DestroyWindow(window);
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
}

void SdlWindow::SetTitle(const char* title) {
    if (window)
        SDL_SetWindowTitle(window, title ? title : "");
}

void SdlWindow::Show(bool visible) {
    if (window)
        visible ? SDL_ShowWindow(window) : SDL_HideWindow(window);
}

void SdlWindow::SetWindowed(bool windowed) {
    if (!window)
        return;
    SDL_SetWindowFullscreen(window, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    Place(windowed);
}

void SdlWindow::ShowCursor(bool visible) {
    cursorShown = visible;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    platform.HoldPointer();
}

void SdlWindow::InhibitScreenSaver(bool inhibit) {
    inhibit ? SDL_DisableScreenSaver() : SDL_EnableScreenSaver();
}

bool SdlWindow::PollEvent(WindowEvent& event) {
    platform.Pump();
    if (events.empty())
        return false;
    event = events.front();
    events.pop_front();
    return true;
}

bool SdlPresenter::Present(const FrameView& frame) {
    SDL_Renderer* renderer = window.Renderer();
    if (!renderer)
        return true; // nothing to show on
    SDL_Texture*& texture = window.Texture();
    if (!texture || textureWidth != frame.width || textureHeight != frame.height) {
        if (texture)
            SDL_DestroyTexture(texture);
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    frame.width, frame.height);
        textureWidth = frame.width;
        textureHeight = frame.height;
        SDL_RenderSetLogicalSize(renderer, frame.width, frame.height);
    }
    void* pixels;
    int pitch;
    if (!texture || SDL_LockTexture(texture, nullptr, &pixels, &pitch) != 0)
        return true;
    ConvertToArgb(PixelFormat::ForDepth(frame.bitsPerPixel), frame.palette, frame.pixels,
                  frame.pitch, frame.width, frame.height, static_cast<std::uint32_t*>(pixels),
                  pitch);
    if (const GammaView* g = frame.gamma)
        ApplyGammaRamp(g->red, g->green, g->blue, static_cast<std::uint32_t*>(pixels), frame.width,
                       frame.height, pitch);
    SDL_UnlockTexture(texture);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return true;
}

void SdlInput::Unacquire() {
    acquired = false;
    keys.clear();
}

InputSource::Status SdlInput::ReadKeys(KeyEvent* out, unsigned& count) {
    platform.Pump();
    if (!acquired) {
        count = 0;
        return Status::NotAcquired;
    }
    TakeEvents(keys, out, count);
    return Status::Ok;
}

bool SdlInput::CapsLock() {
    return (SDL_GetModState() & KMOD_CAPS) != 0;
}

bool SdlInput::NumLock() {
    return (SDL_GetModState() & KMOD_NUM) != 0;
}

void SdlInput::Queue(KeyEvent e) {
    if (acquired)
        keys.push_back(e);
}

void SdlMouse::Acquire() {
    acquired = true;
    platform.HoldPointer();
}

void SdlMouse::Unacquire() {
    acquired = false;
    events.clear();
    platform.HoldPointer();
}

MouseSource::Status SdlMouse::Read(MouseInput* out, unsigned& count) {
    platform.Pump();
    if (!acquired) {
        count = 0;
        return Status::NotAcquired;
    }
    TakeEvents(events, out, count);
    return Status::Ok;
}

void SdlMouse::Queue(MouseInput e) {
    if (acquired)
        events.push_back(e);
}

SdlPlatform::SdlPlatform() = default;

SdlPlatform::~SdlPlatform() {
    window.Destroy();
    SDL_Quit();
}

void SdlPlatform::StartPass(std::uint32_t nextFrame) {
    script.Release(nextFrame, [this](const InputScript::Event& e) {
        switch (e.kind) {
        case InputScript::Event::Key:
            input.Queue(e.key);
            break;
        case InputScript::Event::Window:
            window.Queue(e.window);
            break;
        case InputScript::Event::Locks:
            SDL_SetModState(static_cast<SDL_Keymod>((SDL_GetModState() & ~(KMOD_CAPS | KMOD_NUM)) |
                                                    (e.caps ? KMOD_CAPS : 0) |
                                                    (e.num ? KMOD_NUM : 0)));
            break;
        case InputScript::Event::Mouse:
            mouse.Queue(e.mouse);
            break;
        case InputScript::Event::Dialog: // the file dialogs take it; a desktop asks the rest
            dialogs.QueueFile(e.answer);
            break;
        }
    });
}

void SdlPlatform::Pump() {
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Dispatch(e);
}

void SdlPlatform::HoldPointer() {
    if (window.Exists())
        SDL_SetRelativeMouseMode(mouse.Acquired() && !window.CursorShown() ? SDL_TRUE : SDL_FALSE);
}

void SdlPlatform::DispatchMouse(const SDL_Event& e) {
    switch (e.type) {
    case SDL_MOUSEMOTION:
        if (e.motion.xrel)
            mouse.Queue({MouseInput::X, e.motion.xrel});
        if (e.motion.yrel)
            mouse.Queue({MouseInput::Y, e.motion.yrel});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        // The system numbers the buttons left, middle, right; the game left, right, middle.
        static const int order[] = {-1, MouseInput::Button0, MouseInput::Button2,
                                    MouseInput::Button1};
        if (e.button.button < 4 && order[e.button.button] >= 0)
            mouse.Queue({static_cast<MouseInput::What>(order[e.button.button]),
                         e.type == SDL_MOUSEBUTTONDOWN});
        break;
    }
    case SDL_MOUSEWHEEL: {
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches)
            mouse.Queue({MouseInput::Wheel, notches * 120}); // 120 system units a notch
        break;
    }
    default:
        break;
    }
}

void SdlPlatform::Dispatch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT:
        window.Queue(WindowEvent::CloseRequested);
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            window.Queue(WindowEvent::FocusGained);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            window.Queue(WindowEvent::FocusLost);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            window.Queue(WindowEvent::Minimized);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            window.Queue(WindowEvent::Exposed);
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (e.key.repeat)
            break;
        if (std::uint8_t code = DikFromScancode(e.key.keysym.scancode))
            input.Queue({code, e.type == SDL_KEYDOWN});
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
        DispatchMouse(e);
        break;
    default:
        break;
    }
}

} // namespace kiv::platform::sdl
