#include "platform/sdl/DrawnDialog.h"

#include "platform/sdl/SdlPlatform.h"

#include <algorithm>

namespace kiv::platform::sdl {

namespace {

constexpr std::uint32_t Panel = 0xF0202830;

} // namespace

// The dialog is drawn in software into an overlay as large as the game's picture, which the
// renderer blends over the game's last frame.
DrawnDialog::DrawnDialog(SdlWindow& w, std::string caption) : window(w), title(std::move(caption)) {
    SDL_Renderer* renderer = window.Renderer();
    if (!renderer)
        return;
    SDL_RenderGetLogicalSize(renderer, &width, &height);
    if (width <= 0 || height <= 0)
        SDL_GetRendererOutputSize(renderer, &width, &height);
    if (width <= 0 || height <= 0)
        return;
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (!texture)
        return;
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    pixels.resize(static_cast<size_t>(width) * height);
    font = FontCatalog::Instance().Open("DejaVu Sans", std::max(10, height / 34), 400, false);
    if (font)
        row = font->Height() + 2;
    panel = {0, 0, width, height};
}

DrawnDialog::~DrawnDialog() {
    if (texture)
        SDL_DestroyTexture(texture);
}

bool DrawnDialog::Run() {
    if (!texture)
        return false;
    // Typing is left as the game had it: stopping it would also drop what is typed next.
    bool typing = SDL_IsTextInputActive();
    if (!typing)
        SDL_StartTextInput();
    bool done = false, answered = false;
    while (!done) {
        Draw();
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 250))
            done = Handle(e, answered);
    }
    if (!typing)
        SDL_StopTextInput();
    return answered;
}

bool DrawnDialog::Handle(const SDL_Event& e, bool& answered) {
    switch (e.type) {
    case SDL_QUIT: {
        SDL_Event again = e; // the game closes once the dialog is gone
        SDL_PushEvent(&again);
        return true;
    }
    case SDL_TEXTINPUT:
        Typed(e.text.text);
        return false;
    case SDL_KEYDOWN:
        return Key(e.key.keysym.sym, answered);
    case SDL_MOUSEBUTTONDOWN:
        return e.button.button == SDL_BUTTON_LEFT &&
               Click(e.button.x, e.button.y, e.button.clicks, answered);
    case SDL_MOUSEWHEEL:
        Wheel(e.wheel.y);
        return false;
    default:
        return false;
    }
}

void DrawnDialog::Draw() {
    std::fill(pixels.begin(), pixels.end(), 0u);
    Fill(panel, Panel);
    Outline(panel, Frame);
    if (font) {
        Write(panel.x + 6, panel.y + 3, panel.x + panel.w - 6, title, Text);
        DrawContents();
    }
    SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4);
    SDL_Renderer* renderer = window.Renderer();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (window.Texture())
        SDL_RenderCopy(renderer, window.Texture(), nullptr, nullptr);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void DrawnDialog::Fill(SDL_Rect r, std::uint32_t colour) {
    for (int y = std::max(r.y, 0); y < std::min(r.y + r.h, height); ++y)
        for (int x = std::max(r.x, 0); x < std::min(r.x + r.w, width); ++x)
            pixels[static_cast<size_t>(y) * width + x] = colour;
}

void DrawnDialog::Outline(SDL_Rect r, std::uint32_t colour) {
    Fill({r.x, r.y, r.w, 1}, colour);
    Fill({r.x, r.y + r.h - 1, r.w, 1}, colour);
    Fill({r.x, r.y, 1, r.h}, colour);
    Fill({r.x + r.w - 1, r.y, 1, r.h}, colour);
}

void DrawnDialog::Write(int x, int y, int right, const std::string& text, std::uint32_t colour) {
    for (char c : text) {
        auto code = static_cast<unsigned char>(c);
        const Glyph& g = font->GetGlyph(code >= 32 && code < 127 ? code : '?');
        if (x + g.advance > right)
            return;
        for (const GlyphRun& run : g.runs)
            Fill({x + run.x0, y + run.y, run.x1 - run.x0, 1}, colour);
        x += g.advance;
    }
}

int DrawnDialog::TextWidth(const std::string& text) const {
    return font ? font->TextWidth(text.c_str()) : 0;
}

std::string DrawnDialog::Tail(const std::string& text, int room) const {
    if (TextWidth(text) <= room)
        return text;
    for (size_t cut = 1; cut < text.size(); ++cut) {
        std::string shorter = "..." + text.substr(cut);
        if (TextWidth(shorter) <= room)
            return shorter;
    }
    return "";
}

std::vector<std::string> DrawnDialog::Wrap(const std::string& text, int room) const {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string line;
        for (size_t i = start; i < end;) {
            size_t space = std::min(text.find(' ', i), end);
            std::string word = text.substr(i, space - i);
            std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && TextWidth(longer) > room) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
            i = space + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace kiv::platform::sdl
