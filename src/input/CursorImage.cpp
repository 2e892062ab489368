#include "input/CursorImage.h"

#include <strings.h>

namespace kiv {

namespace {

// The arrow of the built-in cursor, its tip at the top-left corner: 'B' black outline, 'G'
// light grey inside, '.' white, the frame's transparent colour.
constexpr const char* Arrow[19] = {
    "B.........", "BB........", "BGB.......", "BGGB......", "BGGGB.....",
    "BGGGGB....", "BGGGGGB...", "BGGGGGGB..", "BGGGGGGGB.", "BGGGGGGGGB",
    "BGGGGGBBBB", "BGGBGGB...", "BGB.BGGB..", "BB..BGGB..", "B....BGGB.",
    ".....BGGB.", "......BGGB", "......BGGB", ".......BB.",
};

std::uint32_t Argb(char c) {
    switch (c) {
    case 'B':
        return 0xFF000000u;
    case 'G':
        return 0xFFC0C0C0u;
    default:
        return 0xFFFFFFFFu;
    }
}

} // namespace

bool DrawBuiltInImage(const char* name, platform::Image& out) {
    if (!name || strcasecmp(name, "TEXTSCURSOR") != 0)
        return false;
    out.width = 10;
    out.height = 19;
    out.argb.clear();
    for (const char* row : Arrow)
        for (int x = 0; x < out.width; ++x)
            out.argb.push_back(Argb(row[x]));
    return true;
}

} // namespace kiv
