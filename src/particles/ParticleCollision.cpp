// A particle against the collision shapes of its map: the shapes of the grid cells under
// its square are tested against the square swept by this frame's step.
#include <kiv/graphics/Map.h>
#include <kiv/particles/Particle.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>

#include "particles/ParticleConstants.h"

#include <algorithm>
#include <cmath>

namespace {

// A square this close to a shape touches it: after being pulled back onto a shape, rounding
// must not lift a resting particle off it.
constexpr float Touch = 0.01f;

// The grid cell trunc(v) / cell of a side of the square, the side first clamped to
// [lowest, highest]. A side that is NaN takes `lowest`.
int CellOf(float v, float lowest, float highest, int cell) {
    float clamped = v > lowest ? std::min(v, highest) : lowest;
    return static_cast<int>(clamped) / cell;
}

} // namespace

void Particle::CollisionWithMap(Map* map, float stepLength) {
    if (!map)
        return;
    m_CollisionWithMap = false;
    m_ContactCount = 0;
    int cell = map->SpacePartitionGridSize();
    if (cell <= 0)
        return;
    // The square clamped to the map: left and top at least 0, right and bottom at most the
    // map's size. A square that went off the map still reaches the cells along the edge it
    // crossed, widened by one. Sides farther off the map than two cells name cells beyond
    // the grid either way: they are clamped there, which keeps their truncation in range.
    const float width = static_cast<float>(map->Width()),
                height = static_cast<float>(map->Height());
    const float margin = 2.0f * static_cast<float>(cell);
    int c0 = std::max(CellOf(m_World.left, 0, width + margin, cell) - 1, 0);
    int c1 = std::min(CellOf(m_World.right, -margin, width, cell) + 1, map->GridColumns() - 1);
    int r0 = std::max(CellOf(m_World.top, 0, height + margin, cell) - 1, 0);
    int r1 = std::min(CellOf(m_World.bottom, -margin, height, cell) + 1, map->GridRows() - 1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            List* shapes = map->CellAt(c, r);
            for (node* n = shapes ? shapes->Head() : nullptr; n && !n->EOList(); n = n->Next()) {
                auto* shape = static_cast<CollisionData*>(n);
                if (shape->Type() == CollisionData::SegmentType)
                    HitSegment(*static_cast<CollisionSegment*>(shape), stepLength);
                else
                    HitCircle(*static_cast<CollisionCircle*>(shape), stepLength);
            }
        }
}

FRECT Particle::Swept() const {
    // The step on the map, whose Y axis points down.
    float dx = m_StepX, dy = -m_StepY;
    FRECT r;
    r.left = std::min(m_World.left, m_World.left - dx) - Touch;
    r.right = std::max(m_World.right, m_World.right - dx) + Touch;
    r.top = std::min(m_World.top, m_World.top - dy) - Touch;
    r.bottom = std::max(m_World.bottom, m_World.bottom - dy) + Touch;
    return r;
}

void Particle::HitSegment(const CollisionSegment& s, float stepLength) {
    FRECT box = Swept();
    if (!CollisionSegment::SegmentTouchesRectangle(s.OriginX(), s.OriginY(), s.EndX(), s.EndY(),
                                                   box.left, box.top, box.right, box.bottom))
        return;
    // How far the square's leading corner went past the segment's line.
    float nx = s.NormalX(), ny = s.NormalY();
    float x = nx > 0 ? m_World.right : m_World.left;
    float y = ny > 0 ? m_World.bottom : m_World.top;
    float depth = nx * (x - s.OriginX()) + ny * (y - s.OriginY());
    if (depth >= -Touch)
        Respond(nx, ny, std::max(depth, 0.0f), stepLength, s.Id());
}

void Particle::HitCircle(const CollisionCircle& c, float stepLength) {
    FRECT box = Swept();
    if (!CollisionCircle::CircleTouchesRectangle(c.OriginX(), c.OriginY(), c.Radius(), box.left,
                                                 box.top, box.right, box.bottom))
        return;
    // The square's point nearest to the centre; the normal points from it into the circle.
    float px = std::clamp(c.OriginX(), m_World.left, m_World.right);
    float py = std::clamp(c.OriginY(), m_World.top, m_World.bottom);
    float mx = c.OriginX() - px, my = c.OriginY() - py;
    float distance = std::sqrt(mx * mx + my * my);
    float nx = 0, ny = 1; // the centre inside the square: pushed back the way it came
    if (distance != 0) {
        nx = mx / distance;
        ny = my / distance;
    } else if (m_DirectionX != 0 || m_DirectionY != 0) {
        nx = m_DirectionX;
        ny = -m_DirectionY;
    }
    float depth = c.Radius() - distance;
    if (depth >= -Touch)
        Respond(nx, ny, std::max(depth, 0.0f), stepLength, c.Id());
}

void Particle::Respond(float nx, float ny, float depth, float stepLength, int id) {
    float dx = m_DirectionX, dy = -m_DirectionY; // on the map
    float facing = nx * dx + ny * dy;
    if (facing < 0) // moving away from the shape's front
        return;
    if (dx == 0 && dy == 0 && ny <= 0) // nothing rests on a shape facing up or sideways
        return;
    m_CollisionWithMap = true;
    float back = facing > 0 ? std::min(depth / facing, stepLength) : 0.0f;
    m_X -= m_DirectionX * back;
    m_Y -= m_DirectionY * back;
    m_World.left -= m_DirectionX * back;
    m_World.right -= m_DirectionX * back;
    m_World.top += m_DirectionY * back;
    m_World.bottom += m_DirectionY * back;
    m_ContactNormalX = nx;
    m_ContactNormalY = ny;
    m_ContactDepth = back;
    ++m_ContactCount;
    m_ContactId = id;
    if (!m_Reflection) {
        Velocity(0);
        return;
    }
    float along = dx * nx + dy * ny;
    m_DirectionX = dx - 2 * along * nx;
    m_DirectionY = -(dy - 2 * along * ny);
    float angle = std::atan2(m_DirectionY, m_DirectionX);
    if (angle < 0)
        angle += kiv::particles::FullTurn;
    float speed = std::max(VelocityT(Txy(m_X, m_Y)) - m_Friction, 0.0f);
    Angle(angle * kiv::particles::RadiansToDegrees);
    Velocity(speed);
    if (speed != 0)
        m_Time = 1;
}
