// Looking ahead: trial collision tests that logic makes to see what a move would meet. They
// record nothing and leave the sprite where it was.

#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"
#include "sprites/SpriteSweep.h"

using namespace kiv::sweep;

namespace {

// Unit vectors of the directions 0 RIGHT, 1 LEFT, 2 DOWN, 3 UP.
constexpr float UnitX[4] = {1, -1, 0, 0};
constexpr float UnitY[4] = {0, 0, 1, -1};

// How far the probe of a look-ahead reaches beyond the shifted sprite.
constexpr float ProbeLength = 3;

// The sprite's box after the trial move (tx, ty), hulled with its box now.
Box TrialBox(const Sprite& s, float tx, float ty) {
    return Hull(BoxNow(s), Placed(ShownCollisionBox(s), WorldX(s) + tx, WorldY(s) + ty));
}

bool MapTrial(Sprite& s, float dx, float dy, float tx, float ty, const int* id) {
    Map* map = s.m_Map;
    if (!map || !s.CurrentFrame())
        return false;
    Box b = TrialBox(s, tx, ty);
    const float mx = map->WorldPositionX(), my = map->WorldPositionY();
    Box inMap = ClampedToMap({b.left - mx, b.top - my, b.right - mx, b.bottom - my}, *map);
    bool found = false;
    ForEachShape(*map, CellsUnder(*map, inMap), [&](CollisionData* shape) {
        if (found || (id && shape->Id() != *id))
            return;
        if (IsSegment(shape) && !Faces(*static_cast<CollisionSegment*>(shape), dx, dy))
            return;
        found = Touches(shape, inMap);
    });
    return found;
}

bool ShapesMeet(Sprite& s, Sprite& other, float dx, float dy, float tx, float ty) {
    List* own = ShownShapes(s);
    List* theirs = ShownShapes(other);
    for (node* n = own->Head(); !n->EOList(); n = n->Next())
        for (node* m = theirs->Head(); !m->EOList(); m = m->Next()) {
            auto* shape = static_cast<CollisionData*>(m);
            if (IsSegment(shape) && !Faces(*static_cast<CollisionSegment*>(shape), dx, dy))
                continue;
            if (static_cast<CollisionData*>(n)->DetectCollision(
                    shape, WorldX(s), WorldY(s), WorldX(other), WorldY(other), tx, ty, s.m_Speed))
                return true;
        }
    return false;
}

// Shifts the sprite by `distance` in the direction for the length of a trial; the position
// is restored exactly afterwards.
template <class Trial>
auto Shifted(Sprite& s, unsigned int direction, unsigned int distance, Trial trial) {
    const float x = s.m_X, y = s.m_Y;
    const auto d = static_cast<float>(distance);
    s.m_X += UnitX[direction] * d;
    s.m_Y += UnitY[direction] * d;
    auto found = trial(UnitX[direction], UnitY[direction], ProbeLength * UnitX[direction],
                       ProbeLength * UnitY[direction]);
    s.m_X = x;
    s.m_Y = y;
    return found;
}

bool ValidDirection(unsigned int direction, const char* function) {
    if (direction <= 3)
        return true;
    kiv::ReportUserError(function, 103);
    return false;
}

} // namespace

bool Sprite::TempCheckCollisionWithMap(float dx, float dy, float tx, float ty) {
    return MapTrial(*this, dx, dy, tx, ty, nullptr);
}

bool Sprite::TempCheckCollisionWithMap(float dx, float dy, float tx, float ty, int id) {
    return MapTrial(*this, dx, dy, tx, ty, &id);
}

Sprite* Sprite::TempCheckCollisionWithSprite(float dx, float dy, float tx, float ty,
                                             const char* name) {
    if (!gNode || !CurrentFrame())
        return nullptr;
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* other = static_cast<Sprite*>(n);
            if (other == this || other->m_Unused || !other->CurrentFrame() ||
                (name && other->m_Name != name))
                continue;
            bool met = m_CollisionType || other->m_CollisionType
                           ? Overlap(TrialBox(*this, tx, ty), BoxNow(*other))
                           : ShapesMeet(*this, *other, dx, dy, tx, ty);
            if (met)
                return other;
        }
    return nullptr;
}

bool Sprite::LookAheadCollisionWithMap(unsigned int direction, unsigned int distance, int id) {
    if (!ValidDirection(direction,
                        "bool Sprite::LookAheadCollisionWithMap(unsigned int,unsigned int,int)"))
        return false;
    return Shifted(*this, direction, distance, [&](float dx, float dy, float tx, float ty) {
        return id == -1 ? TempCheckCollisionWithMap(dx, dy, tx, ty)
                        : TempCheckCollisionWithMap(dx, dy, tx, ty, id);
    });
}

Sprite* Sprite::LookAheadCollisionWithSprite(unsigned int direction, unsigned int distance,
                                             const char* name) {
    if (!ValidDirection(direction, "Sprite * Sprite::LookAheadCollisionWithSprite(unsigned "
                                   "int,unsigned int,const char *)"))
        return nullptr;
    return Shifted(*this, direction, distance, [&](float dx, float dy, float tx, float ty) {
        return TempCheckCollisionWithSprite(dx, dy, tx, ty, name);
    });
}

bool Sprite::LookAheadCollision(unsigned int direction, unsigned int distance, unsigned int kind) {
    switch (kind) {
    case 0:
        return LookAheadCollisionWithSprite(direction, distance, nullptr) != nullptr;
    case 1:
        return LookAheadCollisionWithMap(direction, distance, -1);
    case 2:
        return LookAheadCollisionWithSprite(direction, distance, nullptr) ||
               LookAheadCollisionWithMap(direction, distance, -1);
    default:
        return false;
    }
}
