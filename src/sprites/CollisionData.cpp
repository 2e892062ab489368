#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionData.h>
#include <kiv/sprites/CollisionSegment.h>

CollisionData::~CollisionData() = default;

bool CollisionData::DetectCollision(CollisionData* other, float ox, float oy, float px, float py,
                                    float tx, float ty, float n) {
    if (!other)
        return false;
    const bool otherIsSegment = other->Type() == SegmentType;
    if (Type() == SegmentType) {
        auto* self = static_cast<CollisionSegment*>(this);
        if (otherIsSegment)
            return self->DetectCollision(static_cast<CollisionSegment*>(other), ox, oy, px, py, tx,
                                         ty, n);
        return self->DetectCollision(static_cast<CollisionCircle*>(other), ox, oy, px, py, tx, ty,
                                     n);
    }
    auto* self = static_cast<CollisionCircle*>(this);
    if (otherIsSegment)
        return self->DetectCollision(static_cast<CollisionSegment*>(other), ox, oy, px, py, tx, ty,
                                     n);
    return self->DetectCollision(static_cast<CollisionCircle*>(other), ox, oy, px, py, tx, ty, n);
}
