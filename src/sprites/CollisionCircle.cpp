#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>

#include "base/PoolAllocation.h"
#include "sprites/CollisionGeometry.h"

using namespace kiv::collision;

namespace {

CREATE registration("CollisionCircle", &CollisionCircle::CreateObject);

} // namespace

namespace kiv::collision {

MemoryPool& CirclePool() {
    // Never destroyed: shapes held by static objects may be released after it would be.
    static MemoryPool* pool = new MemoryPool(sizeof(CollisionCircle), 256, false);
    return *pool;
}

} // namespace kiv::collision

CollisionCircle::CollisionCircle() : CollisionCircle(0.0f, 0.0f, 0.0f, 0, 0) {}

CollisionCircle::CollisionCircle(float x, float y, float radius_, int id_,
                                 unsigned char attributes_)
    : centreX(x), centreY(y), radius(radius_), id(id_), contactNormalX(NoContactNormal),
      contactNormalY(NoContactNormal), hitFraction(NoHit), attributes(attributes_) {}

CollisionCircle::CollisionCircle(const CollisionCircle& other) = default;
CollisionCircle& CollisionCircle::operator=(const CollisionCircle& other) = default;
CollisionCircle::~CollisionCircle() = default;

node* CollisionCircle::CreateObject() {
    return new CollisionCircle;
}

node* CollisionCircle::Clone() {
    return new CollisionCircle(*this);
}

void CollisionCircle::Save(File& file) {
    file.Write(centreX);
    file.Write(centreY);
    file.Write(radius);
    file.Write(id);
    file.Write(contactNormalX);
    file.Write(contactNormalY);
    file.Write(hitFraction);
    file.Write(attributes);
}

void CollisionCircle::Load(File& file) {
    file.Read(centreX);
    file.Read(centreY);
    file.Read(radius);
    file.Read(id);
    file.Read(contactNormalX);
    file.Read(contactNormalY);
    file.Read(hitFraction);
    file.Read(attributes);
}

const char* CollisionCircle::ClassName() {
    return "CollisionCircle";
}

int CollisionCircle::Type() {
    return CircleType;
}

CollisionCircle CollisionCircle::Mirror(bool leftRight, bool topBottom, int width,
                                        int height) const {
    // A circle's centre is mirrored about the frame's middle without the pixel offset that
    // segment ends get.
    float x = leftRight ? static_cast<float>(width) - centreX : centreX;
    float y = topBottom ? static_cast<float>(height) - centreY : centreY;
    return CollisionCircle(x, y, radius, id, attributes);
}

CollisionData* CollisionCircle::Mirrored(bool leftRight, bool topBottom, int width,
                                         int height) const {
    return new CollisionCircle(Mirror(leftRight, topBottom, width, height));
}

bool CollisionCircle::CircleTouchesRectangle(float x, float y, float radius, float rx1, float ry1,
                                             float rx2, float ry2) {
    float xMin = rx1 < rx2 ? rx1 : rx2;
    float xMax = rx1 < rx2 ? rx2 : rx1;
    float yMin = ry1 < ry2 ? ry1 : ry2;
    float yMax = ry1 < ry2 ? ry2 : ry1;
    if (xMin <= x && x <= xMax && yMin <= y && y <= yMax)
        return true;
    float nearX = x < xMin ? xMin : (x > xMax ? xMax : x);
    float nearY = y < yMin ? yMin : (y > yMax ? yMax : y);
    return Distance(x, y, nearX, nearY) <= radius;
}

bool CollisionCircle::TouchesRectangle(float x1, float y1, float x2, float y2) const {
    return CircleTouchesRectangle(centreX, centreY, radius, x1, y1, x2, y2);
}

bool CollisionCircle::DetectCollision(CollisionCircle* other, float ox, float oy, float px,
                                      float py, float tx, float ty, float n) {
    if (!other)
        return false;
    other->contactNormalX = NoContactNormal;
    other->contactNormalY = NoContactNormal;
    hitFraction = NoHit;

    const float step = SubStep(n);
    float ux, uy;
    UnitVector(tx, ty, ux, uy);
    const float startX = centreX + ox, startY = centreY + oy;
    const float kx = other->centreX + px, ky = other->centreY + py;
    const float reach = radius + other->radius;

    for (int i = 1;; ++i) {
        const float t = static_cast<float>(i) * step;
        if (!(t <= 1.0f))
            break;
        const float mx = startX + t * tx, my = startY + t * ty;
        const float distance = Distance(mx, my, kx, ky);
        if (!(reach >= distance))
            continue;

        // The contact point on this circle's rim towards the other centre.
        float cx = mx, cy = my;
        if (distance != 0.0f) {
            const float share = radius / distance;
            cx = mx + (kx - mx) * share;
            cy = my + (ky - my) * share;
        }
        float normalX = 0.0f, normalY = 1.0f;
        const float length = Distance(cx, cy, kx, ky);
        if (length != 0.0f) {
            normalX = (cx - kx) / length;
            normalY = (cy - ky) / length;
        }
        hitFraction = t - step;
        // Only a move into the other circle leaves a contact normal on it.
        if (normalX * ux + normalY * uy < 0.0f) {
            other->contactNormalX = normalX;
            other->contactNormalY = normalY;
        }
        return true;
    }
    return false;
}

bool CollisionCircle::DetectCollision(CollisionSegment* other, float ox, float oy, float px,
                                      float py, float tx, float ty, float n) {
    if (!other)
        return false;
    other->contactNormalX = NoContactNormal;
    other->contactNormalY = NoContactNormal;
    hitFraction = NoHit;

    const float step = SubStep(n);
    float ux, uy;
    UnitVector(tx, ty, ux, uy);
    const float ax = other->originX + px, ay = other->originY + py;
    const float bx = other->EndX() + px, by = other->EndY() + py;
    const float startX = centreX + ox, startY = centreY + oy;
    const float facing = other->normalX * ux + other->normalY * uy;

    const float limit = 1.0f + step;
    for (int i = 1;; ++i) {
        const float t = static_cast<float>(i) * step;
        if (!(t < limit))
            break;
        const float qx = startX + t * tx, qy = startY + t * ty;
        float nearX, nearY;
        const Nearest where =
            NearestPoint(ax, ay, bx, by, qx, qy, radius, EndsAt::Inner, nearX, nearY);
        if (where == Nearest::None)
            continue;
        const float distance = Distance(qx, qy, nearX, nearY);
        if (!(distance <= radius))
            continue;

        if (where == Nearest::Inner) {
            // Sliding along the segment does not cut the move.
            if (facing != 0.0f)
                hitFraction = t - step;
            return true;
        }
        float mx = 0.0f, my = 0.0f;
        if (distance != 0.0f) {
            mx = (qx - nearX) / distance;
            my = (qy - nearY) / distance;
        }
        if (mx * ux + my * uy < 0.0f) {
            // Moving into the end point: the segment learns the tangent there.
            other->contactNormalX = my;
            other->contactNormalY = -mx;
            hitFraction = t - step;
        } else if (facing != -1.0f) {
            // Touching an end while moving away from it cuts the move too, except for a move
            // running exactly against the segment's normal, which slips past the end.
            hitFraction = t - step;
        }
        return true;
    }
    return false;
}

void* CollisionCircle::operator new(std::size_t size) {
    return kiv::PoolNew(CirclePool(), size);
}

void CollisionCircle::operator delete(void* block, std::size_t size) {
    kiv::PoolDelete(CirclePool(), block, size);
}
