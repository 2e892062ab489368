// The collision steps of a sprite's frame, against its map's scenery and against other
// sprites, and the queries about what they found.

#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"
#include "sprites/CollisionGeometry.h"
#include "sprites/SpriteGeometry.h"
#include "sprites/SpriteSweep.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace kiv::sweep;
using kiv::collision::SubStep;

namespace {

// At most this many map shapes are listed as touched in one frame.
constexpr size_t MostMapShapes = 15;

bool PassThrough(CollisionData* shape) {
    return (shape->Attributes() & 0x01) != 0;
}

float Clamp(float v, float lo, float hi) {
    if (!(v >= lo)) // below, or not a number
        return lo;
    return v > hi ? hi : v;
}

template <class T>
void AddOnce(std::vector<T*>& list, T* item) {
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

bool HasShapeWithId(List& shapes, unsigned int id) {
    for (node* n = shapes.Head(); !n->EOList(); n = n->Next())
        if (static_cast<unsigned int>(static_cast<CollisionData*>(n)->Id()) == id)
            return true;
    return false;
}

// The as-drawn shapes of a sprite's current frame: IDs are the same in every orientation.
bool FrameHasId(const Sprite& s, unsigned int id) {
    FrameElem* f = s.CurrentFrame();
    return f && HasShapeWithId(f->m_Collision[FrameElem::AsDrawn], id);
}

bool AnyWithId(const std::vector<CollisionData*>& shapes, unsigned int id) {
    return std::any_of(shapes.begin(), shapes.end(),
                       [id](CollisionData* c) { return static_cast<unsigned int>(c->Id()) == id; });
}

bool AnyWithMask(const std::vector<CollisionData*>& shapes, unsigned int bit,
                 const char* function) {
    if (bit < 2 || bit > 8) {
        kiv::ReportUserError(function, 97);
        return false;
    }
    unsigned int mask = 1u << (bit - 1);
    return std::any_of(shapes.begin(), shapes.end(),
                       [mask](CollisionData* c) { return (c->Attributes() & mask) != 0; });
}

} // namespace

// ---- shared pieces ----

namespace kiv::sweep {

List* ShownShapes(const Sprite& s) {
    FrameElem* f = s.CurrentFrame();
    return f ? &f->m_Collision[s.ShownRow()] : nullptr;
}

KivRect ShownCollisionBox(const Sprite& s) {
    FrameElem* f = s.CurrentFrame();
    return f ? f->m_BoundingBox[s.ShownRow()] : KivRect{0, 0, 0, 0};
}

float WorldX(const Sprite& s) {
    return sprites::MapWorldX(s) + s.m_X;
}

float WorldY(const Sprite& s) {
    return sprites::MapWorldY(s) + s.m_Y;
}

Box BoxNow(const Sprite& s) {
    return Placed(ShownCollisionBox(s), WorldX(s), WorldY(s));
}

Box BoxAfter(const Sprite& s, float t) {
    return Placed(ShownCollisionBox(s), WorldX(s) + t * s.m_TranslationX,
                  WorldY(s) + t * s.m_TranslationY);
}

Box ClampedToMap(const Box& b, const Map& map) {
    auto w = static_cast<float>(map.Width()), h = static_cast<float>(map.Height());
    return {Clamp(b.left, 0, w), Clamp(b.top, 0, h), Clamp(b.right, 0, w), Clamp(b.bottom, 0, h)};
}

Cells CellsUnder(Map& map, const Box& mapBox) {
    int size = map.SpacePartitionGridSize();
    auto cell = [size](float v, int count) {
        int i = static_cast<int>(v) / size;
        return i < count ? i : count - 1;
    };
    return {cell(mapBox.left, map.GridColumns()), cell(mapBox.right, map.GridColumns()),
            cell(mapBox.top, map.GridRows()), cell(mapBox.bottom, map.GridRows())};
}

bool SameShape(CollisionData* a, CollisionData* b) {
    if (a == b)
        return true;
    if (a->Type() != b->Type() || a->Id() != b->Id() || a->Attributes() != b->Attributes())
        return false;
    if (IsSegment(a)) {
        auto* s = static_cast<CollisionSegment*>(a);
        auto* t = static_cast<CollisionSegment*>(b);
        return s->OriginX() == t->OriginX() && s->OriginY() == t->OriginY() &&
               s->DirectionX() == t->DirectionX() && s->DirectionY() == t->DirectionY() &&
               s->MagnitudeX() == t->MagnitudeX() && s->MagnitudeY() == t->MagnitudeY();
    }
    auto* c = static_cast<CollisionCircle*>(a);
    auto* d = static_cast<CollisionCircle*>(b);
    return c->OriginX() == d->OriginX() && c->OriginY() == d->OriginY() &&
           c->Radius() == d->Radius();
}

void ForgetMapShape(node* shape) {
    for (int d = 0; gNode && d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            std::erase(s->m_MapTouched, shape);
            if (s->m_FollowedSegment == shape)
                s->m_FollowedSegment = nullptr;
        }
}

} // namespace kiv::sweep

// ---- the per-frame steps ----

void Sprite::ClearCollisionResults() {
    m_TouchedNames.clear();
    m_OwnTouched.clear();
    m_MapTouched.clear();
    m_OtherTouched.clear();
    m_TouchedSprites.clear();
    m_CollisionWithMap = false;
}

void Sprite::ResetMove() {
    m_MoveFraction = CollisionData::NoHit;
    m_CollisionWithPath = false;
    if (m_LastSegment)
        m_LastSegment = CollisionSegment();
}

namespace {

// What a hit in the map or sprite step leaves behind. `own` is the sprite's shape that hit
// (null in box mode, where `fraction` is the share of the move still allowed).
struct Hit {
    CollisionData* own;
    CollisionData* other;
    float fraction;
};

// A blocking hit: the move is cut at the hit, the inside flag of a met segment passes to the
// own segment, and a met segment is kept for reflection.
void Block(Sprite& s, const Hit& hit) {
    float f = hit.own ? hit.own->HitFraction() : hit.fraction;
    if (f <= s.m_MoveFraction)
        s.m_MoveFraction = f;
    if (!IsSegment(hit.other))
        return;
    auto* met = static_cast<CollisionSegment*>(hit.other);
    if (hit.own && IsSegment(hit.own))
        static_cast<CollisionSegment*>(hit.own)->Inside(met->Inside());
    s.m_LastSegment = *met;
}

void RecordMapHit(Sprite& s, const Hit& hit) {
    s.m_CollisionWithMap = true;
    if (!PassThrough(hit.other) && !s.m_GhostCollisionWithMap)
        Block(s, hit);
    auto& touched = s.m_MapTouched;
    bool listed = std::any_of(touched.begin(), touched.end(),
                              [&](CollisionData* c) { return SameShape(c, hit.other); });
    if (!listed && touched.size() < MostMapShapes)
        touched.push_back(hit.other);
    if (hit.own)
        s.m_OwnTouched.push_back(hit.own);
}

// A sprite's move as the map step sweeps it, its frame and positions looked up once: the box
// now and moved t of the way (in world coordinates) and, in box mode, the sub-step boxes in
// the map's coordinates: the hull of the box now and the box moved t of the way, for t = 0,
// step, 2 step, ... while t < 1 + step.
struct SweptMove {
    SweptMove(const Sprite& s, Map& map)
        : box(ShownCollisionBox(s)), x(WorldX(s)), y(WorldY(s)), tx(s.m_TranslationX),
          ty(s.m_TranslationY), mx(map.WorldPositionX()), my(map.WorldPositionY()),
          step(SubStep(s.m_Speed)), now(Placed(box, x, y)) {}

    Box Moved(float t) const { return Placed(box, x + t * tx, y + t * ty); }
    Box InMap(const Box& b) const { return {b.left - mx, b.top - my, b.right - mx, b.bottom - my}; }

    bool Has(int i) const { return T(i) < 1.0f + step; }
    float T(int i) const { return static_cast<float>(i) * step; }
    Box At(int i) const { return InMap(Hull(now, Moved(T(i)))); }

    KivRect box;
    float x, y, tx, ty, mx, my, step;
    Box now;
};

// The sides of a rectangle as the map shapes' box tests order them (left and right, top and
// bottom swapped when given the other way round).
struct Sides {
    float xMin, yMin, xMax, yMax;
};

Sides SidesOf(const Box& b) {
    return {b.left < b.right ? b.left : b.right, b.top < b.bottom ? b.top : b.bottom,
            b.left < b.right ? b.right : b.left, b.top < b.bottom ? b.bottom : b.top};
}

// Whether a segment lies wholly beyond one side of the rectangle: its box test then fails at
// its first step, for this rectangle and for every one inside it.
bool Beyond(const CollisionSegment& seg, const Sides& r) {
    const float x1 = seg.OriginX(), y1 = seg.OriginY(), x2 = seg.EndX(), y2 = seg.EndY();
    return (y1 > r.yMax && y2 > r.yMax) || (y1 < r.yMin && y2 < r.yMin) ||
           (x1 > r.xMax && x2 > r.xMax) || (x1 < r.xMin && x2 < r.xMin);
}

// The map shapes a box-mode sweep tests at each sub-step, in the order of the cells. Its room
// is kept between frames.
std::vector<CollisionData*>& SweepShapes() {
    static std::vector<CollisionData*> shapes = [] {
        std::vector<CollisionData*> v;
        v.reserve(64);
        return v;
    }();
    return shapes;
}

// The rectangle around every sub-step's box. Each side of the move moves one way only as t
// grows (the sums and products of floats keep their order), so the first and the last
// sub-step's move bound all the others.
Sides Reach(const SweptMove& move) {
    int last = 0;
    while (move.Has(last + 1))
        ++last;
    Sides first = SidesOf(move.At(0)), end = SidesOf(move.At(last));
    return {std::min(first.xMin, end.xMin), std::min(first.yMin, end.yMin),
            std::max(first.xMax, end.xMax), std::max(first.yMax, end.yMax)};
}

// The shapes of the cells that a sub-step can meet: the segments the move goes against, less
// those beyond one side of the rectangle around every sub-step's box, and the circles. Every
// sub-step then tests the same shapes in the same order as a walk of the cells would.
const std::vector<CollisionData*>& ShapesInReach(Sprite& s, Map& map, const Cells& cells,
                                                 const SweptMove& move) {
    auto& shapes = SweepShapes();
    shapes.clear();
    ForEachShape(map, cells, [&](CollisionData* shape) {
        if (!IsSegment(shape) ||
            Faces(*static_cast<CollisionSegment*>(shape), s.m_DirectionX, s.m_DirectionY))
            shapes.push_back(shape);
    });
    if (shapes.empty())
        return shapes;
    const Sides reach = Reach(move);
    // A side that is not a number rules nothing out.
    if (std::isnan(reach.xMin + reach.yMin + reach.xMax + reach.yMax))
        return shapes;
    std::erase_if(shapes, [&reach](CollisionData* shape) {
        return IsSegment(shape) && Beyond(*static_cast<CollisionSegment*>(shape), reach);
    });
    return shapes;
}

// Box mode: the box is swept a sub-step further each time; the scan ends at the first
// sub-step that cut the move.
void BoxAgainstMap(Sprite& s, Map& map, const Cells& cells, const SweptMove& move) {
    const auto& shapes = ShapesInReach(s, map, cells, move);
    if (shapes.empty())
        return;
    const float step = move.step;
    for (int i = 0; move.Has(i); ++i) {
        const float t = move.T(i);
        const Box inMap = move.At(i);
        // A slow sprite close to the end of its move stops where it is.
        float cut = s.m_Speed <= 1 && std::fabs(1.0f - t) <= step ? 0.0f : std::max(0.0f, t - step);
        for (CollisionData* shape : shapes)
            if (Touches(shape, inMap))
                RecordMapHit(s, {nullptr, shape, cut});
        if (s.m_MoveFraction < CollisionData::NoHit)
            break;
    }
}

// Shape mode: every own shape is swept against the map shapes near the move. A sprite at
// rest is swept along a segment's normal, so that it still touches what it stands on.
void ShapesAgainstMap(Sprite& s, Map& map, const Cells& cells, const Box& swept) {
    ForEachShape(map, cells,
                 [](CollisionData* shape) { shape->HitFraction(CollisionData::NoHit); });
    List* own = ShownShapes(s);
    const float wx = WorldX(s), wy = WorldY(s);
    const float mx = map.WorldPositionX(), my = map.WorldPositionY();
    for (node* n = own->Head(); !n->EOList(); n = n->Next()) {
        auto* mine = static_cast<CollisionData*>(n);
        ForEachShape(map, cells, [&](CollisionData* shape) {
            if (!Touches(shape, swept))
                return;
            float tx = s.m_TranslationX, ty = s.m_TranslationY;
            if (IsSegment(shape)) {
                auto* seg = static_cast<CollisionSegment*>(shape);
                if (!Faces(*seg, s.m_DirectionX, s.m_DirectionY))
                    return;
                if (tx == 0 && ty == 0) {
                    tx = seg->NormalX();
                    ty = seg->NormalY();
                }
            }
            if (mine->DetectCollision(shape, wx, wy, mx, my, tx, ty, s.m_Speed))
                RecordMapHit(s, {mine, shape, 0});
        });
    }
}

} // namespace

void Sprite::CheckMapCollision(Map* map) {
    Map* m = m_ZOrder == CursorZOrder ? map : m_Map;
    if (!m || !CurrentFrame())
        return;
    // The box now and after the move, in the map's coordinates and clamped to the map.
    const SweptMove move(*this, *m);
    Box swept = ClampedToMap(move.InMap(Hull(move.now, move.Moved(1))), *m);
    Cells cells = CellsUnder(*m, swept);
    if (m_CollisionType)
        BoxAgainstMap(*this, *m, cells, move);
    else
        ShapesAgainstMap(*this, *m, cells, swept);
}

namespace {

// Both sprites learn whom they touched.
void Touched(Sprite& a, Sprite& b) {
    if (!a.m_TouchedNames.contains(b.Name()))
        a.m_TouchedNames.push_back(b.Name());
    AddOnce(a.m_TouchedSprites, &b);
}

bool Ghostly(const Sprite& a, const Sprite& b) {
    return a.m_GhostCollisionWithSprite || b.m_GhostCollisionWithSprite;
}

// Box mode: the first sub-step at which the swept box overlaps the other's box.
void BoxAgainstSprite(Sprite& s, Sprite& other) {
    const float step = SubStep(s.m_Speed);
    const Box now = BoxNow(s), target = BoxNow(other);
    for (int i = 1;; ++i) {
        const float t = static_cast<float>(i) * step;
        if (!(t <= 1.01f))
            return;
        if (!Overlap(Hull(now, BoxAfter(s, t)), target))
            continue;
        if (!Ghostly(s, other)) {
            float cut = std::max(0.0f, t - step);
            if (cut < s.m_MoveFraction)
                s.m_MoveFraction = cut;
            s.m_LastSegment = CollisionSegment();
        }
        Touched(s, other);
        Touched(other, s);
        return;
    }
}

void ShapesAgainstSprite(Sprite& s, Sprite& other) {
    List* own = ShownShapes(s);
    List* theirs = ShownShapes(other);
    const float wx = WorldX(s), wy = WorldY(s), ox = WorldX(other), oy = WorldY(other);
    for (node* n = own->Head(); !n->EOList(); n = n->Next()) {
        auto* mine = static_cast<CollisionData*>(n);
        for (node* m = theirs->Head(); !m->EOList(); m = m->Next()) {
            auto* shape = static_cast<CollisionData*>(m);
            if (IsSegment(shape) &&
                !Faces(*static_cast<CollisionSegment*>(shape), s.m_DirectionX, s.m_DirectionY))
                continue;
            if (!mine->DetectCollision(shape, wx, wy, ox, oy, s.m_TranslationX, s.m_TranslationY,
                                       s.m_Speed))
                continue;
            Touched(s, other);
            Touched(other, s);
            s.m_OwnTouched.push_back(mine);
            s.m_OtherTouched.push_back(shape);
            if (!PassThrough(shape) && !Ghostly(s, other))
                Block(s, {mine, shape, 0});
        }
    }
}

} // namespace

void Sprite::CheckSpriteCollision(Sprite* other) {
    if (!other || other == this || !CurrentFrame() || !other->CurrentFrame())
        return;
    if (m_CollisionType || other->m_CollisionType)
        BoxAgainstSprite(*this, *other);
    else
        ShapesAgainstSprite(*this, *other);
}

// ---- queries about this frame ----

bool Sprite::CollisionWithMap(int id) {
    auto wanted = static_cast<unsigned int>(id);
    // The cursor's sprite may be over any map, so any ID is fair for it.
    if (m_ZOrder != CursorZOrder && !(m_Map && HasShapeWithId(m_Map->Shapes(), wanted))) {
        kiv::ReportUserError("bool Sprite::CollisionWithMapId(unsigned int)", 86, id,
                             m_Map ? m_Map->Name() : "");
        return false;
    }
    return AnyWithId(m_MapTouched, wanted);
}

bool Sprite::CollisionWithSprite(unsigned int id) {
    bool known = false;
    for (int d = 0; gNode && d < GameNode::DisplayLists && !known; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList() && !known; n = n->Next())
            known = FrameHasId(*static_cast<Sprite*>(n), id);
    if (!known) {
        kiv::ReportUserError("bool Sprite::CollisionWithSprite(unsigned int)", 87,
                             static_cast<int>(id));
        return false;
    }
    return AnyWithId(m_OtherTouched, id);
}

bool Sprite::Collision(unsigned int id) {
    if (!FrameHasId(*this, id)) {
        kiv::ReportUserError("bool Sprite::Collision(unsigned int)", 88, static_cast<int>(id));
        return false;
    }
    return AnyWithId(m_OwnTouched, id);
}

bool Sprite::CollisionWithSprite(const char* name) {
    return name ? m_TouchedNames.contains(name) : !m_TouchedNames.empty();
}

Sprite* Sprite::CollisionWithSpritePtr(const char* name) {
    for (Sprite* s : m_TouchedSprites)
        if (!name || s->m_Name == name)
            return s;
    return nullptr;
}

bool Sprite::OwnerCollisionDataFlagBit(unsigned int bit) {
    return AnyWithMask(m_OwnTouched, bit, "bool Sprite::OwnerCollisionDataFlagBit(int)");
}

bool Sprite::SpriteCollisionDataFlagBit(unsigned int bit) {
    return AnyWithMask(m_OtherTouched, bit, "bool Sprite::SpriteCollisionDataFlagBit(int)");
}

bool Sprite::MapCollisionDataFlagBit(unsigned int bit) {
    return AnyWithMask(m_MapTouched, bit, "bool Sprite::MapCollisionDataFlagBit(int)");
}
