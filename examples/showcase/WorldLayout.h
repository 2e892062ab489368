#pragma once

// The shape of the showcase's playground, shared by the art generator that draws it and by
// the game logic that walks on it.
#include <algorithm>
#include <cmath>

namespace showcase {

constexpr int WorldWidth = 2560;
constexpr int WorldHeight = 960;
constexpr int Platforms = 9;
constexpr int PlatformWidth = 128;

// Height of the grass at world column x: flat at both ends, rolling hills between.
inline int GroundY(int x) {
    double hills = std::clamp(std::min(x - 320, WorldWidth - 320 - x) / 200.0, 0.0, 1.0);
    return WorldHeight - 96 - static_cast<int>(24 * std::sin(x / 140.0) * hills);
}

struct Platform {
    int x, y;
};

inline Platform PlatformAt(int k) {
    return {220 + k * 190, WorldHeight - 230 - (k % 3) * 90};
}

// Stone pillars standing on the ground: walls the hero cannot run through, tops it can
// stand on.
constexpr int Pillars = 2;
constexpr int PillarWidth = 40;
constexpr int PillarHeight = 100;

inline int PillarX(int k) {
    return 1240 + k * 860;
}

// The top of pillar k; it stands on the ground under its left edge.
inline int PillarTop(int k) {
    return GroundY(PillarX(k)) - PillarHeight;
}

} // namespace showcase
