#pragma once

// The pieces the collision steps, the trials and the path checks of sprites share: boxes
// swept along a move, the map's grid cells under a box, the shapes a sprite collides with.

#include <kiv/base/List.h>
#include <kiv/base/Types.h>
#include <kiv/sprites/CollisionSegment.h>

class Map;
class Sprite;

namespace kiv::sweep {

// A rectangle in floats: left, top, right, bottom.
struct Box {
    float left, top, right, bottom;
};

inline Box Placed(const KivRect& r, float x, float y) {
    return {x + static_cast<float>(r.left), y + static_cast<float>(r.top),
            x + static_cast<float>(r.right), y + static_cast<float>(r.bottom)};
}

// The smallest box holding both.
inline Box Hull(const Box& a, const Box& b) {
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

// Overlap without touching: each box's left is below the other's right, and so for tops.
inline bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A segment counts only against a move that goes against its normal; a sprite without a
// direction meets every segment.
inline bool Faces(const CollisionSegment& s, float dx, float dy) {
    return s.NormalX() * -dx + s.NormalY() * -dy >= 0;
}

inline bool IsSegment(CollisionData* shape) {
    return shape->Type() == CollisionData::SegmentType;
}

// Whether the map shape (in map coordinates) meets a box given in map coordinates.
inline bool Touches(CollisionData* shape, const Box& b) {
    return shape->TouchesRectangle(b.left, b.top, b.right, b.bottom);
}

// The shapes and the box of the frame a sprite collides with: its current frame in the
// orientation shown. Null and an empty box without a frame.
List* ShownShapes(const Sprite& s);
KivRect ShownCollisionBox(const Sprite& s);

// The sprite's world position: its map's world position plus its own.
float WorldX(const Sprite& s);
float WorldY(const Sprite& s);

// The box of the shown frame at the sprite's world position, and after t of its
// translation.
Box BoxNow(const Sprite& s);
Box BoxAfter(const Sprite& s, float t);

// The grid cells of a map under a box given in map coordinates, the box first clamped to
// the map: columns c0 to c1, rows r0 to r1. Empty (c1 < c0) for a box without a position.
struct Cells {
    int c0, c1, r0, r1;
};
Box ClampedToMap(const Box& b, const Map& map);
Cells CellsUnder(Map& map, const Box& mapBox);

// Calls visit(shape) for every shape in the cells, column by column.
template <class Visit>
void ForEachShape(Map& map, const Cells& cells, Visit visit);

// The same shape, whichever cell its copy came from.
bool SameShape(CollisionData* a, CollisionData* b);

// A map is about to delete one of its shapes (or a cell's copy): no sprite of the level
// refers to it any longer, as a touched shape or as the scenery it follows.
void ForgetMapShape(node* shape);

} // namespace kiv::sweep

#include <kiv/graphics/Map.h>

template <class Visit>
void kiv::sweep::ForEachShape(Map& map, const Cells& cells, Visit visit) {
    for (int c = cells.c0; c <= cells.c1; ++c)
        for (int r = cells.r0; r <= cells.r1; ++r)
            if (List* cell = map.CellAt(c, r))
                for (node* n = cell->Head(); !n->EOList(); n = n->Next())
                    visit(static_cast<CollisionData*>(n));
}
