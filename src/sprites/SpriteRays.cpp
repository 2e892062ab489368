// Rays cast from a sprite's hot spot: what scenery or which sprite lies across them, and
// where they leave the viewport.

#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/ViewPort.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"
#include "sprites/RayCorridor.h"
#include "sprites/SpriteGeometry.h"
#include "sprites/SpriteSweep.h"

#include <cmath>

using namespace kiv::sweep;

namespace {

constexpr float CorridorHalfWidth = 3;

// The nudge that gives a segment lying along the ray a measurable distance.
constexpr float NudgeX = 0.3f, NudgeY = -0.3f;

KivPoint Truncated(float x, float y) {
    return {static_cast<int>(x), static_cast<int>(y)};
}

} // namespace

KivPoint Sprite::RayViewportDest(float x, float y, float dx, float dy) {
    ViewPort* view = kiv::sprites::LevelView();
    if ((dx == 0 && dy == 0) || !view)
        return Truncated(x, y);
    // The share of (dx, dy) that takes the ray to each side it heads for; a ray that starts
    // outside the rectangle ends where it starts.
    auto along = [](float from, float d, float low, float high) {
        if (d > 0)
            return (high - from) / d;
        if (d < 0)
            return (low - from) / d;
        return INFINITY;
    };
    float tx = along(x, dx, view->WorldXPos(), view->WorldRightPos());
    float ty = along(y, dy, view->WorldYPos(), view->WorldBottomPos());
    float t = tx < ty ? tx : ty;
    if (!(t > 0))
        t = 0;
    return Truncated(x + t * dx, y + t * dy);
}

namespace kiv::sweep {

RayCorridor CastRay(Sprite& s, unsigned int hotSpot, float ux, float uy, bool show,
                    COLORREF colour) {
    RayCorridor ray{};
    KivPoint h{0, 0};
    if (FrameElem* f = s.RequestedFrame())
        h = f->m_HotSpots[s.ShownRow()][hotSpot];
    ray.hx = static_cast<float>(h.x) + s.m_X;
    ray.hy = static_cast<float>(h.y) + s.m_Y;
    ray.ux = ux;
    ray.uy = uy;
    ray.end = s.RayViewportDest(ray.hx, ray.hy, ux, uy);
    // The corridor: from one side point across to the other, out to the edge along the ray,
    // across, and back.
    KivPoint p1 = Truncated(ray.hx + CorridorHalfWidth * uy, ray.hy - CorridorHalfWidth * ux);
    KivPoint p2 = Truncated(ray.hx - CorridorHalfWidth * uy, ray.hy + CorridorHalfWidth * ux);
    auto x = [](const KivPoint& p) { return static_cast<float>(p.x); };
    auto y = [](const KivPoint& p) { return static_cast<float>(p.y); };
    KivPoint e1 = s.RayViewportDest(x(p1), y(p1), ux, uy);
    KivPoint e2 = s.RayViewportDest(x(p2), y(p2), ux, uy);
    ray.edges[0] = collision::EdgeBetween(x(p1), y(p1), x(p2), y(p2));
    ray.edges[1] = collision::EdgeBetween(x(p2), y(p2), x(e2), y(e2));
    ray.edges[2] = collision::EdgeBetween(x(e2), y(e2), x(e1), y(e1));
    ray.edges[3] = collision::EdgeBetween(x(e1), y(e1), x(p1), y(p1));
    if (show && pDraw)
        pDraw->Line(ray.hx, ray.hy, x(ray.end), y(ray.end), colour);
    return ray;
}

bool Crosses(const RayCorridor& ray, const CollisionSegment& segment, float ox, float oy) {
    bool endInside = false;
    return collision::ClipSegment(
        segment.OriginX() + ox, segment.OriginY() + oy, segment.DirectionX() * segment.MagnitudeX(),
        segment.DirectionY() * segment.MagnitudeY(), ray.edges, 4, endInside);
}

float DistanceAlong(const RayCorridor& ray, CollisionSegment& segment, float ox, float oy,
                    bool facingOnly) {
    float nx = segment.NormalX(), ny = segment.NormalY();
    float x = segment.OriginX(), y = segment.OriginY();
    if (nx * ray.ux + ny * ray.uy == 0) {
        // Lying along the ray: measured from the side of the ray's own normal, nudged.
        if (nx * -ray.uy + ny * ray.ux < 0) {
            CollisionSegment turned = CollisionSegment::OppositeSegmentDirection(segment);
            nx = turned.NormalX();
            ny = turned.NormalY();
            x = turned.OriginX();
            y = turned.OriginY();
        }
        nx += NudgeX;
        ny += NudgeY;
    }
    float across = nx * ray.ux + ny * ray.uy;
    if (facingOnly && !(-across > 0.01f))
        return NoRayDistance;
    return (nx * (x + ox - ray.hx) + ny * (y + oy - ray.hy)) / across;
}

} // namespace kiv::sweep

namespace {

// The hot spot a ray starts from: numbers above 4 are reported and 4 is used.
unsigned int RayHotSpot(unsigned int hotSpot, const char* function) {
    if (hotSpot <= 4)
        return hotSpot;
    kiv::ReportUserError(function, 89, static_cast<int>(hotSpot));
    return 4;
}

// The nearest segment with that ID across the ray, among `shapes` moved by (ox, oy); `best`
// is lowered to its distance. True when one was nearer than `best`.
bool NearestAcross(const RayCorridor& ray, List& shapes, unsigned int id, float ox, float oy,
                   float& best) {
    bool nearer = false;
    for (node* n = shapes.Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (!IsSegment(shape) || static_cast<unsigned int>(shape->Id()) != id)
            continue;
        auto* segment = static_cast<CollisionSegment*>(shape);
        if (!Crosses(ray, *segment, ox, oy))
            continue;
        float d = DistanceAlong(ray, *segment, ox, oy, true);
        if (d < best) {
            best = d;
            nearer = true;
        }
    }
    return nearer;
}

// The nearest map segment with that ID across the ray: its distance, NoRayDistance for none.
float NearestInMap(Sprite& s, const RayCorridor& ray, unsigned int id) {
    float best = NoRayDistance;
    if (s.m_Map)
        NearestAcross(ray, s.m_Map->Shapes(), id, 0, 0, best);
    return best;
}

} // namespace

bool Sprite::SpriteToMapRay(unsigned int hotSpot, float dx, float dy, unsigned int id, bool show,
                            COLORREF colour) {
    hotSpot = RayHotSpot(
        hotSpot,
        "bool Sprite::SpriteToMapRay(unsigned int,float,float,unsigned int,bool,COLORREF)");
    float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
        return false;
    RayCorridor ray = CastRay(*this, hotSpot, dx / length, dy / length, show, colour);
    return NearestInMap(*this, ray, id) < NoRayDistance;
}

Sprite* Sprite::SpriteToSpriteRay(unsigned int hotSpot, float dx, float dy, unsigned int id,
                                  bool show, COLORREF colour) {
    hotSpot = RayHotSpot(
        hotSpot,
        "Sprite* Sprite::SpriteToSpriteRay(unsigned int,float,float,unsigned int,bool,COLORREF)");
    float length = std::sqrt(dx * dx + dy * dy);
    if (length == 0 || !gNode)
        return nullptr;
    RayCorridor ray = CastRay(*this, hotSpot, dx / length, dy / length, show, colour);
    // Scenery with the same ID hides the sprites behind it.
    float best = NearestInMap(*this, ray, id);
    Sprite* found = nullptr;
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* other = static_cast<Sprite*>(n);
            List* shapes = other == this ? nullptr : ShownShapes(*other);
            if (shapes && NearestAcross(ray, *shapes, id, other->m_X, other->m_Y, best))
                found = other;
        }
    return found;
}
