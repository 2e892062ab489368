#include "platform/sdl/DrawnQuestions.h"

#include "platform/sdl/DrawnDialog.h"

#include <algorithm>

namespace kiv::platform::sdl {

namespace {

constexpr int Margin = 6;

// A panel as wide as three quarters of the picture and `h` high, in the middle.
SDL_Rect Centred(int width, int height, int h) {
    int w = width * 3 / 4;
    h = std::min(height, h);
    return {(width - w) / 2, (height - h) / 2, w, h};
}

class ButtonsDialog : public DrawnDialog {
public:
    ButtonsDialog(SdlWindow& w, const std::string& title, const std::string& text,
                  const std::vector<std::string>& buttonLabels, int focus)
        : DrawnDialog(w, title), labels(buttonLabels), chosen(focus) {
        int inner = width * 3 / 4 - 2 * Margin;
        lines = Wrap(text, inner);
        int buttonsHigh = PlaceButtons(inner);
        int lineCount = static_cast<int>(lines.size());
        panel = Centred(width, height, 2 * Margin + (3 + lineCount) * row + buttonsHigh);
        for (SDL_Rect& b : buttons) { // from places below the text to places on the picture
            b.x += panel.x + Margin;
            b.y += panel.y + panel.h - Margin - buttonsHigh;
        }
    }

    int Chosen() const { return chosen; }

private:
    // Buttons side by side, as wide as their labels, on as many rows as they need; returns
    // the height of those rows.
    int PlaceButtons(int inner) {
        int x = 0, y = 0;
        for (const std::string& label : labels) {
            int w = std::min(inner, TextWidth(label) + 16);
            if (x > 0 && x + w > inner) {
                x = 0;
                y += row + 6;
            }
            buttons.push_back({x, y, w, row + 4});
            x += w + 8;
        }
        return y + row + 6;
    }

    bool Key(SDL_Keycode key, bool& answered) override {
        int count = static_cast<int>(labels.size());
        switch (key) {
        case SDLK_ESCAPE:
            return true;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
            return (answered = true);
        case SDLK_LEFT:
        case SDLK_UP:
            chosen = (chosen + count - 1) % count;
            return false;
        case SDLK_RIGHT:
        case SDLK_DOWN:
        case SDLK_TAB:
            chosen = (chosen + 1) % count;
            return false;
        default:
            return false;
        }
    }

    bool Click(int x, int y, int, bool& answered) override {
        for (size_t i = 0; i < buttons.size(); ++i) {
            const SDL_Rect& b = buttons[i];
            if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) {
                chosen = static_cast<int>(i);
                return (answered = true);
            }
        }
        return false;
    }

    void DrawContents() override {
        int left = panel.x + Margin, right = panel.x + panel.w - Margin;
        for (size_t i = 0; i < lines.size(); ++i)
            Write(left, panel.y + 3 + static_cast<int>(i + 2) * row, right, lines[i], Text);
        for (size_t i = 0; i < buttons.size(); ++i) {
            const SDL_Rect& b = buttons[i];
            Fill(b, static_cast<int>(i) == chosen ? Highlight : Field);
            Outline(b, Frame);
            Write(b.x + 8, b.y + 3, b.x + b.w - 4, labels[i], Text);
        }
    }

    std::vector<std::string> labels;
    std::vector<std::string> lines;
    std::vector<SDL_Rect> buttons;
    int chosen;
};

class TextDialog : public DrawnDialog {
public:
    TextDialog(SdlWindow& w, const std::string& title, const std::string& ask,
               const std::string& start)
        : DrawnDialog(w, title), question(ask), text(start) {
        panel = Centred(width, height, 2 * Margin + 6 * row);
    }

    const std::string& Answer() const { return text; }

private:
    void Typed(const char* typed) override { text += typed; }

    bool Key(SDL_Keycode key, bool& answered) override {
        switch (key) {
        case SDLK_ESCAPE:
            return true;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return (answered = !text.empty());
        case SDLK_BACKSPACE:
            // A whole character of the UTF-8 that typing gives, not a byte of it.
            while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
                text.pop_back();
            if (!text.empty())
                text.pop_back();
            return false;
        default:
            return false;
        }
    }

    void DrawContents() override {
        int left = panel.x + Margin, right = panel.x + panel.w - Margin;
        Write(left, panel.y + 3 + 2 * row, right, question, Text);
        int fieldY = panel.y + 3 + 3 * row;
        Fill({left, fieldY, right - left, row + 2}, Field);
        Write(left + 3, fieldY + 1, right - 3, Tail(text + "_", right - left - 6), Text);
        Write(left, panel.y + 3 + 5 * row, right, "Return: OK    Escape: Cancel", Dim);
    }

    std::string question;
    std::string text;
};

} // namespace

int DrawnButtons(SdlWindow& window, const std::string& title, const std::string& text,
                 const std::vector<std::string>& labels, int focus, int cancel) {
    if (labels.empty())
        return cancel;
    ButtonsDialog dialog(window, title, text, labels,
                         std::clamp(focus, 0, static_cast<int>(labels.size()) - 1));
    return dialog.Run() ? dialog.Chosen() : cancel;
}

bool DrawnAskText(SdlWindow& window, const std::string& title, const std::string& question,
                  std::string& text) {
    TextDialog dialog(window, title, question, text);
    if (!dialog.Run())
        return false;
    text = dialog.Answer();
    return true;
}

} // namespace kiv::platform::sdl
