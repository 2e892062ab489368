#pragma once

#include "platform/FontCatalog.h"

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kiv::platform::sdl {

class SdlWindow;

// A dialog drawn by the runtime itself over the game's last picture, for desktops whose own
// dialogs cannot be shown. It is modal: it takes the window's events until the player answers
// or cancels (Escape, or closing the window, which the game then sees as well). Subclasses say
// where their panel goes, what it shows below the title and what the keys and clicks do.
class DrawnDialog {
public:
    DrawnDialog(SdlWindow& window, std::string title);
    virtual ~DrawnDialog();
    DrawnDialog(const DrawnDialog&) = delete;
    DrawnDialog& operator=(const DrawnDialog&) = delete;

    // Runs until the player answers (true) or cancels (false); false at once when the window
    // has nothing to draw with.
    bool Run();

protected:
    static constexpr std::uint32_t Text = 0xFFFFFFFF;
    static constexpr std::uint32_t Dim = 0xFFA0A8B0;
    static constexpr std::uint32_t Highlight = 0xFF3060A0;
    static constexpr std::uint32_t Field = 0xFF101418;
    static constexpr std::uint32_t Frame = 0xFFA0A8B0;

    // Each returns true when the dialog ends, setting `answered` when it ends by an answer.
    virtual bool Key(SDL_Keycode key, bool& answered) = 0;
    virtual bool Click(int /*x*/, int /*y*/, int /*clicks*/, bool& /*answered*/) { return false; }
    virtual void Typed(const char* /*text*/) {}
    virtual void Wheel(int /*steps*/) {}
    // Everything below the title line; called only when a font is open.
    virtual void DrawContents() = 0;

    void Fill(SDL_Rect r, std::uint32_t colour);
    void Outline(SDL_Rect r, std::uint32_t colour);
    // Text from (x, y), its line's top, cut at `right`; characters outside printable ASCII
    // show as '?'.
    void Write(int x, int y, int right, const std::string& text, std::uint32_t colour);
    // The end of a long text that fits in `room` pixels, led by "...".
    std::string Tail(const std::string& text, int room) const;
    // The text in lines that fit in `room` pixels, broken between words where it can be.
    std::vector<std::string> Wrap(const std::string& text, int room) const;
    int TextWidth(const std::string& text) const;

    int width = 0, height = 0; // of the game's picture
    std::shared_ptr<Font> font;
    int row = 14;   // a line's height
    SDL_Rect panel; // set by the subclass; the whole picture until then

private:
    bool Handle(const SDL_Event& e, bool& answered);
    void Draw();

    SdlWindow& window;
    std::string title;
    SDL_Texture* texture = nullptr;
    std::vector<std::uint32_t> pixels;
};

} // namespace kiv::platform::sdl
