#pragma once

#include "graphics/Surface.h"

namespace kiv {

// A one-pixel line from (x0, y0) to (x1, y1), clipped to the surface; the end point is drawn
// only when `withEnd` is set.
void DrawLine(Surface& surface, int x0, int y0, int x1, int y1, std::uint32_t pixel,
              bool withEnd = true);
// The outline of the ellipse inscribed in the box [left, right) × [top, bottom).
void DrawEllipse(Surface& surface, int left, int top, int right, int bottom, std::uint32_t pixel);

} // namespace kiv
