#include "variables/TextDrawing.h"

#include <kiv/base/Random.h>

#include "graphics/Lines.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

namespace kiv {

bool TextSeedPending = true;

namespace {

// One span of a row filled with a pixel value of `Bytes` bytes (little-endian).
template <int Bytes>
void FillSpan(std::uint8_t* p, int n, std::uint32_t pixel) {
    if constexpr (Bytes == 1) {
        std::memset(p, static_cast<int>(pixel & 0xFF), static_cast<size_t>(n));
    } else if constexpr (Bytes == 2) {
        auto v = static_cast<std::uint16_t>(pixel);
        for (int i = 0; i < n; ++i)
            std::memcpy(p + 2 * i, &v, 2);
    } else if constexpr (Bytes == 3) {
        const std::uint8_t b0 = pixel & 0xFF, b1 = (pixel >> 8) & 0xFF, b2 = (pixel >> 16) & 0xFF;
        for (int i = 0; i < n; ++i, p += 3) {
            p[0] = b0;
            p[1] = b1;
            p[2] = b2;
        }
    } else {
        for (int i = 0; i < n; ++i)
            std::memcpy(p + 4 * i, &pixel, 4);
    }
}

template <int Bytes>
void DrawRuns(Surface& s, const platform::Glyph& g, int x, int y, std::uint32_t pixel) {
    const int w = s.Width(), h = s.Height();
    for (const platform::GlyphRun& run : g.runs) {
        int row = y + run.y;
        if (row < 0 || row >= h)
            continue;
        int x0 = std::max(x + run.x0, 0);
        int x1 = std::min(x + run.x1, w);
        if (x0 < x1)
            FillSpan<Bytes>(s.Row(row) + static_cast<std::ptrdiff_t>(x0) * Bytes, x1 - x0, pixel);
    }
}

} // namespace

void DrawGlyph(Surface& surface, const platform::Glyph& glyph, int x, int y, std::uint32_t pixel) {
    switch (surface.Format().BytesPerPixel()) {
    case 1:
        DrawRuns<1>(surface, glyph, x, y, pixel);
        break;
    case 2:
        DrawRuns<2>(surface, glyph, x, y, pixel);
        break;
    case 3:
        DrawRuns<3>(surface, glyph, x, y, pixel);
        break;
    default:
        DrawRuns<4>(surface, glyph, x, y, pixel);
        break;
    }
}

void DrawOutline(Surface& surface, const KivRect& r, std::uint32_t pixel) {
    // Each side leaves out its end point, which the next side starts from.
    DrawLine(surface, r.left, r.top, r.right, r.top, pixel, false);
    DrawLine(surface, r.right, r.top, r.right, r.bottom, pixel, false);
    DrawLine(surface, r.right, r.bottom, r.left, r.bottom, pixel, false);
    DrawLine(surface, r.left, r.bottom, r.left, r.top, pixel, false);
}

Random& TextGenerator() {
    static Random generator;
    return generator;
}

int TextRandom(int n) {
    if (TextSeedPending) {
        TextGenerator().Seed(static_cast<int>(platform::Current().GetClock().Milliseconds()));
        TextSeedPending = false;
    }
    int r = static_cast<int>(TextGenerator().Next() * static_cast<float>(n));
    return std::min(r, n - 1);
}

} // namespace kiv
