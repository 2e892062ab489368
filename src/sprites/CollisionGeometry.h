#pragma once

// Arithmetic shared by the swept tests of segments and circles. Everything is single
// precision, in the order written here, so that results do not depend on the optimiser.

#include <kiv/base/MemoryPool.h>

#include <cmath>

namespace kiv::collision {

// The most sub-steps a sweep takes: the caller passes the mover's speed, and an absurd
// speed must not turn one test into billions of samples.
constexpr float SmallestStep = 1.0f / 65536.0f;

// Share of the move per sub-step: 1 / n, a single step when n is 0 or the step would be
// above 1 (and for a negative or NaN count, which would otherwise never end the sweep).
// Sweeps take t = i * step rather than adding the step up: ten additions of 0.1f come to
// just above 1, and the last sample, at the end of the move, would be skipped.
inline float SubStep(float n) {
    float step = n == 0.0f ? 1.0f : 1.0f / n;
    if (!(step > 0.0f) || step > 1.0f)
        return 1.0f;
    return step < SmallestStep ? SmallestStep : step;
}

// Unit vector of (x, y), or (0, 0) for the null vector.
inline void UnitVector(float x, float y, float& ux, float& uy) {
    float length = std::sqrt(x * x + y * y);
    if (length == 0.0f) {
        ux = 0.0f;
        uy = 0.0f;
    } else {
        ux = x / length;
        uy = y / length;
    }
}

// One edge of a convex polygon for the clipping: its start and its outward normal.
struct Edge {
    float x, y;
    float normalX, normalY;
};

// The edge from (x1, y1) to (x2, y2), its normal made as a segment's is: the unit direction
// turned a quarter to the right on the screen; a point has a zero normal.
inline Edge EdgeBetween(float x1, float y1, float x2, float y2) {
    float dx, dy;
    UnitVector(x2 - x1, y2 - y1, dx, dy);
    return Edge{x1, y1, -dy, dx};
}

// Clips the segment S + u·D (u in [0, 1]) against the polygon of `count` edges; false when it
// misses. On a hit `endInside` is set when the clipping left one end of the segment in place
// (an end lies inside the polygon); otherwise it is left as it was.
bool ClipSegment(float sx, float sy, float dx, float dy, const Edge* edges, int count,
                 bool& endInside);

// Where the nearest point of the segment A-B to a centre Q lies, for a circle of the given
// radius. Just beyond an end, within the radius of it, the end is the nearest point; farther
// away there is no contact at this step.
enum class Nearest { None, Start, End, Inner };

// Which rule places s exactly at 0 or 1: the segment-moving test counts them as ends, the
// circle-moving test as inner points.
enum class EndsAt { Ends, Inner };

inline Nearest NearestPoint(float ax, float ay, float bx, float by, float qx, float qy,
                            float radius, EndsAt rule, float& px, float& py) {
    float abx = bx - ax;
    float aby = by - ay;
    float s = -1.0f;
    float reach = 0.0f; // the radius as a share of the segment's length
    if (!(ax == bx && ay == by)) {
        float lengthSquared = abx * abx + aby * aby;
        s = ((qx - ax) * abx + (qy - ay) * aby) / lengthSquared;
        reach = radius / std::sqrt(lengthSquared);
    }
    bool atStart, atEnd, inner;
    if (rule == EndsAt::Ends) {
        atStart = -reach <= s && s <= 0.0f;
        atEnd = 1.0f <= s && s <= 1.0f + reach;
        inner = 0.0f < s && s < 1.0f;
    } else {
        atStart = -reach <= s && s < 0.0f;
        atEnd = 1.0f < s && s <= 1.0f + reach;
        inner = 0.0f <= s && s <= 1.0f;
    }
    if (atStart) {
        px = ax;
        py = ay;
        return Nearest::Start;
    }
    if (atEnd) {
        px = bx;
        py = by;
        return Nearest::End;
    }
    if (inner) {
        px = ax + abx * s;
        py = ay + aby * s;
        return Nearest::Inner;
    }
    return Nearest::None;
}

inline float Distance(float x1, float y1, float x2, float y2) {
    float dx = x1 - x2;
    float dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

// The block pools the shapes' operator new and delete draw from.
MemoryPool& SegmentPool();
MemoryPool& CirclePool();

} // namespace kiv::collision
