#pragma once

// A ray cast from a sprite's hot spot to the edge of the viewport's world rectangle, with the
// corridor 6 pixels wide around it that decides which segments lie across it. Rays look
// for scenery and sprites, and path following looks for the segment under a sprite.

#include <kiv/base/Types.h>

#include "sprites/CollisionGeometry.h"

class CollisionSegment;
class Sprite;

namespace kiv::sweep {

struct RayCorridor {
    float hx, hy; // the start: the hot spot at the sprite's position
    float ux, uy; // the unit direction
    KivPoint end; // where the ray leaves the viewport's world rectangle
    collision::Edge edges[4];
};

// The distance along a ray that means "nothing found".
constexpr float NoRayDistance = 10000;

// The ray from hot spot `hotSpot` of the sprite's frame (shown orientation) along the unit
// vector (ux, uy); drawn in `colour` when `show` is set.
RayCorridor CastRay(Sprite& s, unsigned int hotSpot, float ux, float uy, bool show,
                    COLORREF colour);

// Whether the segment, moved by (ox, oy), lies across the corridor.
bool Crosses(const RayCorridor& ray, const CollisionSegment& segment, float ox, float oy);

// The distance along the ray to the line of a segment (moved by (ox, oy)) that lies across
// it. A segment parallel to the ray is measured with its normal nudged, turned first to the
// side of the ray's own normal. `facingOnly`: a segment that does not face the ray (or
// hardly) is at NoRayDistance.
float DistanceAlong(const RayCorridor& ray, CollisionSegment& segment, float ox, float oy,
                    bool facingOnly);

} // namespace kiv::sweep
