#pragma once

#include "graphics/Surface.h"

#include <cstdint>

namespace kiv {

// Fills parts of a surface in one pixel value, as the window system fills rectangles and
// regions: rectangles hold [left, right) × [top, bottom), and a region's rectangle given
// with its sides reversed is put in order first.
class Cover {
public:
    Cover(Surface& surface, std::uint32_t pixel) : surface(surface), pixel(pixel) {}

    void Rect(const KivRect& r);
    void All();
    // The whole surface except the rectangle.
    void AllBut(const KivRect& hole);
    // The whole surface except the ellipse inscribed in the box.
    void AllButEllipse(const KivRect& box);

private:
    Surface& surface;
    std::uint32_t pixel;
};

// Whether pixel (x, y) belongs to the ellipse inscribed in the box: its centre lies inside
// the ellipse or on it.
bool InsideEllipse(const KivRect& box, int x, int y);

} // namespace kiv
