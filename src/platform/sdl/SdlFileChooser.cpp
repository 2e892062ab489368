#include "platform/sdl/SdlFileChooser.h"

#include "platform/FileChooser.h"
#include "platform/sdl/DrawnDialog.h"

#include <algorithm>

namespace kiv::platform::sdl {

namespace {

class FileDialog : public DrawnDialog {
public:
    FileDialog(SdlWindow& w, const FileChoice& c)
        : DrawnDialog(w, std::string(c.save ? "Save As" : "Open") + " - " + c.filterName),
          chooser(c) {
        panel = {width / 16, height / 16, width - width / 8, height - height / 8};
        list = {panel.x + 6, panel.y + 2 * row + 6, panel.w - 12, panel.h - 5 * row - 12};
        rows = std::max(1, list.h / row);
    }

    const std::string& Result() const { return chooser.Result(); }

private:
    void Typed(const char* text) override { chooser.Type(text); }
    void Wheel(int steps) override { first = std::max(0, first - steps); }

    bool Key(SDL_Keycode key, bool& chosen) override {
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

    bool Click(int x, int y, int clicks, bool& chosen) override {
        if (x < list.x || x >= list.x + list.w || y < list.y || y >= list.y + rows * row)
            return false;
        int index = first + (y - list.y) / row;
        if (index >= static_cast<int>(chooser.Entries().size()))
            return false;
        chooser.Select(index);
        return clicks >= 2 && (chosen = chooser.Confirm());
    }

    // Scrolls the list so that the selected entry shows.
    void Reveal() {
        int s = chooser.Selected();
        if (s >= 0 && s < first)
            first = s;
        else if (s >= first + rows)
            first = s - rows + 1;
    }

    void DrawContents() override {
        int left = panel.x + 6, right = panel.x + panel.w - 6;
        Write(left, panel.y + 3 + row, right, Tail(chooser.Folder(), right - left), Dim);
        Outline({list.x - 1, list.y - 1, list.w + 2, rows * row + 2}, Frame);
        const auto& entries = chooser.Entries();
        first = std::clamp(first, 0, std::max(0, static_cast<int>(entries.size()) - rows));
        for (int i = 0; i < rows && first + i < static_cast<int>(entries.size()); ++i) {
            const auto& entry = entries[static_cast<size_t>(first + i)];
            int y = list.y + i * row;
            if (first + i == chooser.Selected())
                Fill({list.x, y, list.w, row}, Highlight);
            Write(list.x + 4, y + 1, list.x + list.w - 4,
                  entry.folder ? "[" + entry.name + "]" : entry.name, Text);
        }
        int fieldY = panel.y + panel.h - 3 * row;
        Fill({left, fieldY, right - left, row + 2}, Field);
        Write(left + 3, fieldY + 1, right - 3,
              Tail("File name: " + chooser.Name() + "_", right - left - 6), Text);
        Write(left, panel.y + panel.h - row - 3, right,
              "Return: OK    Escape: Cancel    Arrows: choose", Dim);
    }

    FileChooser chooser;
    SDL_Rect list;
    int rows;
    int first = 0;
};

} // namespace

std::string DrawnChooseFile(SdlWindow& window, const FileChoice& choice) {
    FileDialog dialog(window, choice);
    return dialog.Run() ? dialog.Result() : std::string();
}

} // namespace kiv::platform::sdl
