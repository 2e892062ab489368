#pragma once

#include <kiv/base/Types.h>

#include "graphics/Surface.h"

#include <cmath>
#include <memory>
#include <string>

class File;

namespace kiv {

// One image of the map-image cache, shared by maps with the same file and colour key.
struct MapImage {
    std::string file;
    std::unique_ptr<Surface> surface;
    COLORREF key;
    int references;
};

// The tiling state of a wrapped map. Its 264-byte record is part of saved games, so it is
// written field by field at fixed offsets.
struct WrapBlock {
    KivRect window; // A: the window onto the tiled plane
    KivRect wrap;   // B: the area the pieces are cut against
    KivRect clip;   // C: modes 3 and 4 only
    KivRect scratch;
    KivRect p[4]; // pieces relative to the window
    KivRect q[4]; // pieces in the wrap area's coordinates
    KivRect initialWindow;
    std::int32_t windowWidth, wrapWidth, windowHeight, wrapHeight;
    std::int32_t displayLeft, displayTop;
    std::int32_t scratchInts[2];
    std::int32_t viewportX, viewportY; // used this frame
    std::int32_t creationX, creationY; // viewport at creation, truncated
    bool screenFixed;
    std::uint8_t mode; // 1 to 4
    std::uint32_t pieces;

    void Save(File& file) const;
    void Load(File& file);
};

// Floats to pixels: to the nearest integer, halves towards zero (2.5 -> 2, -2.5 -> -2).
inline int Round(float v) {
    return static_cast<int>(v >= 0 ? std::ceil(v - 0.5f) : std::floor(v + 0.5f));
}

inline KivRect Intersect(const KivRect& a, const KivRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

inline bool Empty(const KivRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

inline KivRect Moved(const KivRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace kiv
