#include "platform/sdl/SdlFileChooser.h"

#include "platform/FileChooser.h"
#include "platform/FontCatalog.h"
#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace kiv::platform::sdl {

namespace {

constexpr std::uint32_t Panel = 0xF0202830;
constexpr std::uint32_t Frame = 0xFFA0A8B0;
constexpr std::uint32_t Text = 0xFFFFFFFF;
constexpr std::uint32_t Dim = 0xFFA0A8B0;
constexpr std::uint32_t Highlight = 0xFF3060A0;
constexpr std::uint32_t Field = 0xFF101418;

// The dialog's picture: drawn in software into an overlay as large as the game's picture,
// which the renderer blends over the game's last frame.
class Overlay {
public:
    Overlay(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}

    void Clear() { std::fill(pixels.begin(), pixels.end(), 0u); }

    void Fill(SDL_Rect r, std::uint32_t colour) {
        for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, height); ++y)
            for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, width); ++x)
                pixels[static_cast<size_t>(y) * width + x] = colour;
    }

    void Outline(SDL_Rect r, std::uint32_t colour) {
        Fill({r.x, r.y, r.w, 1}, colour);
        Fill({r.x, r.y + r.h - 1, r.w, 1}, colour);
        Fill({r.x, r.y, 1, r.h}, colour);
        Fill({r.x + r.w - 1, r.y, 1, r.h}, colour);
    }

    // Text from (x, y), its line's top, cut at `right`; characters outside code page 1252's
    // printable ASCII show as '?'.
    void Write(const Font& font, int x, int y, int right, const std::string& text,
               std::uint32_t colour) {
        for (char c : text) {
            auto code = static_cast<unsigned char>(c);
            const Glyph& g = font.GetGlyph(code >= 32 && code < 127 ? code : '?');
            if (x + g.advance > right)
                return;
            for (const GlyphRun& run : g.runs)
                Fill({x + run.x0, y + run.y, run.x1 - run.x0, 1}, colour);
            x += g.advance;
        }
    }

    const std::uint32_t* Pixels() const { return pixels.data(); }

private:
    int width, height;
    std::vector<std::uint32_t> pixels;
};

// The end of a long text that fits in `room` pixels, led by "...".
std::string Tail(const Font& font, const std::string& text, int room) {
    if (font.TextWidth(text.c_str()) <= room)
        return text;
    for (size_t cut = 1; cut < text.size(); ++cut) {
        std::string shorter = "..." + text.substr(cut);
        if (font.TextWidth(shorter.c_str()) <= room)
            return shorter;
    }
    return "";
}

class Dialog {
public:
    Dialog(SdlWindow& w, const FileChoice& c, int pictureWidth, int height)
        : window(w), chooser(c),
          title(std::string(c.save ? "Save As" : "Open") + " - " + c.filterName),
          overlay(pictureWidth, height), width(pictureWidth) {
        font = FontCatalog::Instance().Open("DejaVu Sans", std::max(10, height / 34), 400, false);
        row = font ? font->Height() + 2 : 14;
        panel = {width / 16, height / 16, width - width / 8, height - height / 8};
        list = {panel.x + 6, panel.y + 2 * row + 6, panel.w - 12, panel.h - 5 * row - 12};
        rows = std::max(1, list.h / row);
    }

    // Runs until the player confirms or cancels; false when cancelled.
    bool Run(SDL_Texture* overlayTexture) {
        SDL_StartTextInput();
        bool done = false, chosen = false;
        while (!done) {
            Draw(overlayTexture);
            SDL_Event e;
            if (SDL_WaitEventTimeout(&e, 250))
                done = Handle(e, chosen);
        }
        SDL_StopTextInput();
        return chosen;
    }

    const std::string& Result() const { return chooser.Result(); }

private:
    bool Handle(const SDL_Event& e, bool& chosen) {
        switch (e.type) {
        case SDL_QUIT: {
            SDL_Event again = e; // the game closes once the dialog is gone
            SDL_PushEvent(&again);
            return true;
        }
        case SDL_TEXTINPUT:
            chooser.Type(e.text.text);
            return false;
        case SDL_KEYDOWN:
            return Key(e.key.keysym.sym, chosen);
        case SDL_MOUSEBUTTONDOWN:
            return Click(e.button, chosen);
        case SDL_MOUSEWHEEL:
            first = std::max(0, first - e.wheel.y);
            return false;
        default:
            return false;
        }
    }

    bool Key(SDL_Keycode key, bool& chosen) {
        switch (key) {
        case SDLK_ESCAPE:
            return true;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return (chosen = chooser.Confirm());
        case SDLK_BACKSPACE:
            chooser.Erase();
            return false;
        case SDLK_UP:
        case SDLK_DOWN:
        case SDLK_PAGEUP:
        case SDLK_PAGEDOWN: {
            int step = key == SDLK_UP       ? -1
                       : key == SDLK_DOWN   ? 1
                       : key == SDLK_PAGEUP ? -rows
                                            : rows;
            chooser.Move(step);
            Reveal();
            return false;
        }
        default:
            return false;
        }
    }

    bool Click(const SDL_MouseButtonEvent& b, bool& chosen) {
        if (b.button != SDL_BUTTON_LEFT || b.x < list.x || b.x >= list.x + list.w || b.y < list.y ||
            b.y >= list.y + rows * row)
            return false;
        int index = first + (b.y - list.y) / row;
        if (index >= static_cast<int>(chooser.Entries().size()))
            return false;
        chooser.Select(index);
        return b.clicks >= 2 && (chosen = chooser.Confirm());
    }

    // Scrolls the list so that the selected entry shows.
    void Reveal() {
        int s = chooser.Selected();
        if (s >= 0 && s < first)
            first = s;
        else if (s >= first + rows)
            first = s - rows + 1;
    }

    void Draw(SDL_Texture* texture) {
        overlay.Clear();
        overlay.Fill(panel, Panel);
        overlay.Outline(panel, Frame);
        if (font)
            DrawTexts();
        SDL_UpdateTexture(texture, nullptr, overlay.Pixels(), width * 4);
        SDL_Renderer* renderer = window.Renderer();
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        if (window.Texture())
            SDL_RenderCopy(renderer, window.Texture(), nullptr, nullptr);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
    }

    void DrawTexts() {
        int left = panel.x + 6, right = panel.x + panel.w - 6;
        overlay.Write(*font, left, panel.y + 3, right, title, Text);
        overlay.Write(*font, left, panel.y + 3 + row, right,
                      Tail(*font, chooser.Folder(), right - left), Dim);
        overlay.Outline({list.x - 1, list.y - 1, list.w + 2, rows * row + 2}, Frame);
        const auto& entries = chooser.Entries();
        first = std::clamp(first, 0, std::max(0, static_cast<int>(entries.size()) - rows));
        for (int i = 0; i < rows && first + i < static_cast<int>(entries.size()); ++i) {
            const auto& entry = entries[static_cast<size_t>(first + i)];
            int y = list.y + i * row;
            if (first + i == chooser.Selected())
                overlay.Fill({list.x, y, list.w, row}, Highlight);
            overlay.Write(*font, list.x + 4, y + 1, list.x + list.w - 4,
                          entry.folder ? "[" + entry.name + "]" : entry.name, Text);
        }
        int fieldY = panel.y + panel.h - 3 * row;
        overlay.Fill({left, fieldY, right - left, row + 2}, Field);
        overlay.Write(*font, left + 3, fieldY + 1, right - 3,
                      Tail(*font, "File name: " + chooser.Name() + "_", right - left - 6), Text);
        overlay.Write(*font, left, panel.y + panel.h - row - 3, right,
                      "Return: OK    Escape: Cancel    Arrows: choose", Dim);
    }

    SdlWindow& window;
    FileChooser chooser;
    std::string title;
    Overlay overlay;
    int width;
    std::shared_ptr<Font> font;
    int row;
    SDL_Rect panel, list;
    int rows;
    int first = 0;
};

} // namespace

std::string DrawnChooseFile(SdlWindow& window, const FileChoice& choice) {
    SDL_Renderer* renderer = window.Renderer();
    if (!renderer)
        return {};
    int width = 0, height = 0;
    SDL_RenderGetLogicalSize(renderer, &width, &height);
    if (width <= 0 || height <= 0)
        SDL_GetRendererOutputSize(renderer, &width, &height);
    SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture)
        return {};
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    Dialog dialog(window, choice, width, height);
    bool chosen = dialog.Run(texture);
    SDL_DestroyTexture(texture);
    return chosen ? dialog.Result() : std::string();
}

} // namespace kiv::platform::sdl
