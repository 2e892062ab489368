// A scrolling text's arrows under the game cursor: a click on the down arrow scrolls it.
#include "GameRun.h"

#include <map>

namespace {

const char* Description = R"({
  "file": "arrows.kiv",
  "mode": {"width": 160, "height": 120, "bitsPerPixel": 32},
  "game": {"levels": [{"id": 1, "name": "Arrows", "firstLoad": 0, "file": "arrows.lvl",
    "level": {
      "viewport": {"width": 160, "height": 120},
      "cursor": {"actor": 1000, "show": true},
      "texts": [{"name": "story", "fontName": "DejaVu Sans", "height": 12, "color": 16777215,
        "frame": {"left": 20, "top": 20, "right": 140, "bottom": 100},
        "displayType": "verticalScrolling", "vDeltaScroll": 1, "vScrollTriggered": true,
        "arrowsSize": 10, "value": "one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen sixteen seventeen eighteen nineteen twenty"}]
    }}]}
})";

class TextArrows : public kiv::test::GameRun {
protected:
    void SetUp() override {
        GameRun::SetUp();
        UseCompiledGame(Description, [] { UseLevelReaders(); });
    }
    // A sum over the text's upper rows, away from the arrows and the cursor.
    std::uint64_t TextPicture() {
        std::uint64_t sum = 0;
        for (int y = 20; y < 80; ++y)
            for (int x = 20; x < 140; ++x)
                sum = sum * 31 + platform->presenter.ColorAt(x, y);
        return sum;
    }
};

} // namespace

TEST_F(TextArrows, AClickOnTheDownArrowScrollsAndOneElsewhereDoesNot) {
    // The cursor starts at the screen's centre (80, 60); the down arrow lies just right of
    // the frame's centre in the strip at its bottom (y 90 to 99).
    platform->ReadScript("5 mouse move 5 35\n12 mouse click left\n20 mouse move -60 0\n"
                         "22 mouse click left\n");
    std::map<int, std::uint64_t> seen;
    platform->onPass = [&](std::uint32_t frame) { seen[int(frame) - 1] = TextPicture(); };
    ASSERT_EQ(Run("--frames=30"), 0);
    EXPECT_NE(seen[10], 0u);
    EXPECT_NE(seen[16], seen[10]); // scrolled by one line
    EXPECT_EQ(seen[28], seen[16]); // a click beside the arrows changes nothing
}
