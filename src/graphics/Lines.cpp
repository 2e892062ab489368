#include "graphics/Lines.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kiv {

namespace {

// Liang-Barsky clipping of the line to [0, w) × [0, h), in doubles; false when it misses.
bool Clip(double& x0, double& y0, double& x1, double& y1, int w, int h) {
    double t0 = 0, t1 = 1, dx = x1 - x0, dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0, w - 1 - x0, y0, h - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double r = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 += t0 * dx;
    y0 += t0 * dy;
    return true;
}

} // namespace

void DrawLine(Surface& surface, int x0, int y0, int x1, int y1, std::uint32_t pixel, bool withEnd) {
    // Bresenham over the whole line; a line far outside is first cut to the surface so that
    // its length cannot cost more than the surface's size.
    long long span = std::max(std::llabs(static_cast<long long>(x1) - x0),
                              std::llabs(static_cast<long long>(y1) - y0));
    if (span > 4LL * (surface.Width() + surface.Height())) {
        double a = x0, b = y0, c = x1, d = y1;
        if (!Clip(a, b, c, d, surface.Width(), surface.Height()))
            return;
        DrawLine(surface, static_cast<int>(std::lround(a)), static_cast<int>(std::lround(b)),
                 static_cast<int>(std::lround(c)), static_cast<int>(std::lround(d)), pixel, true);
        return;
    }
    long long dx = std::llabs(static_cast<long long>(x1) - x0);
    long long dy = -std::llabs(static_cast<long long>(y1) - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    long long error = dx + dy;
    for (;;) {
        bool end = x0 == x1 && y0 == y1;
        if (end && !withEnd)
            break;
        surface.PutPixel(x0, y0, pixel);
        if (end)
            break;
        long long twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void DrawEllipse(Surface& surface, int left, int top, int right, int bottom, std::uint32_t pixel) {
    if (right <= left || bottom <= top)
        return;
    if (static_cast<long long>(right) - left > 16LL * (surface.Width() + surface.Height()) ||
        static_cast<long long>(bottom) - top > 16LL * (surface.Width() + surface.Height()))
        return; // too large to show any of its outline meaningfully; nothing drawn
    // Centre and radii of the box's pixel area: the outline runs through pixel centres.
    double cx = (left + right - 1) / 2.0, cy = (top + bottom - 1) / 2.0;
    double rx = (right - left - 1) / 2.0, ry = (bottom - top - 1) / 2.0;
    if (rx <= 0 || ry <= 0) {
        DrawLine(surface, left, top, right - 1, bottom - 1, pixel);
        return;
    }
    // Sample the outline densely enough that neighbouring points touch.
    int steps = static_cast<int>(std::ceil(4 * (rx + ry))) + 8;
    for (int i = 0; i < steps; ++i) {
        double a = 2 * M_PI * i / steps;
        surface.PutPixel(static_cast<int>(std::lround(cx + rx * std::cos(a))),
                         static_cast<int>(std::lround(cy + ry * std::sin(a))), pixel);
    }
}

} // namespace kiv
