#include "graphics/SystemPalette.h"

namespace kiv {

namespace {

constexpr COLORREF Rgb(int r, int g, int b) {
    return r | g << 8 | b << 16;
}

constexpr COLORREF LowStatic[10] = {
    Rgb(0, 0, 0),     Rgb(128, 0, 0),   Rgb(0, 128, 0),     Rgb(128, 128, 0),   Rgb(0, 0, 128),
    Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192), Rgb(192, 220, 192), Rgb(166, 202, 240)};
constexpr COLORREF HighStatic[10] = {Rgb(255, 251, 240), Rgb(160, 160, 164), Rgb(128, 128, 128),
                                     Rgb(255, 0, 0),     Rgb(0, 255, 0),     Rgb(255, 255, 0),
                                     Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255),
                                     Rgb(255, 255, 255)};

} // namespace

Palette SystemPalette() {
    Palette p;
    for (int i = 0; i < 10; ++i) {
        p.entries[i] = LowStatic[i];
        p.entries[246 + i] = HighStatic[i];
    }
    int at = 10;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.entries[at++] = Rgb(r * 51, g * 51, b * 51);
    for (int i = 0; at < 246; ++i)
        p.entries[at++] = Rgb(8 + i * 12, 8 + i * 12, 8 + i * 12);
    return p;
}

} // namespace kiv
