#pragma once

#include "platform/Platform.h"

#include <deque>
#include <string>

namespace kiv::platform::headless {

// A window that exists only as state: its events come from the input script or from tests.
class HeadlessWindow : public Window {
public:
    bool Create(const WindowSpec& shape) override;
    void Destroy() override { exists = false; }
    bool Exists() override { return exists; }
    void SetTitle(const char* t) override { title = t ? t : ""; }
    void Show(bool v) override { visible = v; }
    void SetWindowed(bool w) override { windowed = w; }
    void ShowCursor(bool v) override { cursorVisible = v; }
    void InhibitScreenSaver(bool inhibit) override { screenSaverInhibited = inhibit; }
    bool PollEvent(WindowEvent& event) override;
    int DesktopDepth() override { return desktopDepth; }

    void Push(WindowEvent e) { events.push_back(e); }

    bool exists = false;
    bool visible = false;
    bool windowed = true;
    bool cursorVisible = true;
    bool screenSaverInhibited = false;
    std::string title;
    WindowSpec shape;
    // Simulated desktop depth for windowed start-up checks; 0 accepts every depth.
    int desktopDepth = 0;
    // When set, Create fails (a window system that refuses the window).
    bool refuseCreation = false;

private:
    std::deque<WindowEvent> events;
};

} // namespace kiv::platform::headless
