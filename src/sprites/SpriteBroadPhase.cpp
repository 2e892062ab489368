#include "sprites/SpriteBroadPhase.h"

#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/Sprite.h>

#include "sprites/CollisionGeometry.h"
#include "sprites/SpriteSweep.h"

#include <algorithm>
#include <cmath>

namespace kiv {

namespace {

SpriteBroadPhase* running = nullptr;
bool enabled = true;

// Grids are kept to a size that its sprites fill: at most this many cells a sprite (and a
// few for a level of a handful) and this many a side.
constexpr int CellsPerSprite = 4;
constexpr int FewestCells = 64;
constexpr int MostCellsASide = 1024;

// Bounds are widened by this much, and by a share of the coordinates' size, so that the
// rounding of positions taken through the map's world position never drops a candidate.
constexpr float Margin = 2;
constexpr float RoundingShare = 1e-5f;

// The box test samples the move up to t = 1.01; the shape sweeps reach past the move by
// three sub-steps at most, their far side nudged by up to a pixel each way.
constexpr float BoxReach = 1.02f;
constexpr float NudgeReach = 1;

constexpr float Far = INFINITY;

bool Finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

} // namespace

// ---- what sprites report ----

SpriteBroadPhase::Slot* SpriteBroadPhase::SlotOf(Sprite* s) {
    if (!running || !s || s->m_CollisionSlot < 0 ||
        s->m_CollisionSlot >= static_cast<int>(running->slots.size()))
        return nullptr;
    Slot& slot = running->slots[static_cast<size_t>(s->m_CollisionSlot)];
    return slot.sprite == s ? &slot : nullptr;
}

void SpriteBroadPhase::ChangedInSlot(Sprite* s) {
    Slot* slot = SlotOf(s);
    if (!slot || slot->dirty)
        return;
    slot->dirty = true;
    running->dirty.push_back(s->m_CollisionSlot);
}

void SpriteBroadPhase::Joined() {
    if (running)
        running->rebuild = true;
}

void SpriteBroadPhase::Forget(Sprite* s) {
    if (Slot* slot = SlotOf(s)) {
        slot->sprite = nullptr;
        ++slot->version;
    }
}

void SpriteBroadPhase::Enabled(bool on) {
    enabled = on;
}

bool SpriteBroadPhase::Enabled() {
    return enabled;
}

// ---- the pass ----

void SpriteBroadPhase::Begin(Map* passMap) {
    map = passMap;
    running = enabled ? this : nullptr;
    // The grid is made when the pass first asks for candidates, from the sprites as they are
    // then: a pass in which no sprite collides with sprites never walks them twice.
    slots.clear();
    dirty.clear();
    rebuild = true;
}

void SpriteBroadPhase::End() {
    running = nullptr;
    map = nullptr;
}

namespace {

struct Extent {
    float left = Far, top = Far, right = -Far, bottom = -Far;
    double size = 0;
    int count = 0;
};

} // namespace

void SpriteBroadPhase::Rebuild() {
    rebuild = false;
    slots.clear();
    dirty.clear();
    for (int d = 0; gNode && d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            s->m_CollisionSlot = static_cast<int>(slots.size());
            slots.push_back({s, d, 0, false, false, {}, {}, NoCells});
        }
    // Measure where the map's sprites are, to size the grid. The others are measured when
    // they come onto the map.
    Extent e;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (slots[i].sprite->m_Map != map)
            continue;
        Measure(static_cast<int>(i));
        const Slot& s = slots[i];
        if (s.unbounded || s.box.left > s.box.right)
            continue;
        e.left = std::min(e.left, s.box.left);
        e.top = std::min(e.top, s.box.top);
        e.right = std::max(e.right, s.box.right);
        e.bottom = std::max(e.bottom, s.box.bottom);
        e.size += std::max(s.box.right - s.box.left, s.box.bottom - s.box.top);
        ++e.count;
    }
    originX = e.count ? e.left : 0;
    originY = e.count ? e.top : 0;
    cell = e.count ? static_cast<float>(std::max(16.0, 2 * e.size / e.count)) : 64;
    const double width = e.count ? e.right - e.left : 0, height = e.count ? e.bottom - e.top : 0;
    const long long most = std::max(FewestCells, CellsPerSprite * e.count);
    for (;;) {
        columns = static_cast<int>(std::min<double>(MostCellsASide, width / cell + 1));
        rows = static_cast<int>(std::min<double>(MostCellsASide, height / cell + 1));
        if (static_cast<long long>(columns) * rows <= most)
            break;
        cell *= 2;
    }
    heads.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), -1);
    entries.clear();
    everywhere.clear();
    seen.assign(slots.size(), 0);
    query = 0;
    for (size_t i = 0; i < slots.size(); ++i)
        Enter(static_cast<int>(i), Covered(slots[i]));
}

namespace {

// The smallest rectangle holding a rectangle given in any order.
void Hold(float& left, float& top, float& right, float& bottom, float x1, float y1, float x2,
          float y2) {
    left = std::min({left, x1, x2});
    right = std::max({right, x1, x2});
    top = std::min({top, y1, y2});
    bottom = std::max({bottom, y1, y2});
}

// The box of the sprite's shown frame, and the rectangle around its shapes (left > right when
// it has none), with the sprite at (x, y).
template <class Bounds>
Bounds BoxAround(const Sprite& s, float x, float y) {
    Bounds v{Far, Far, -Far, -Far};
    sweep::Box b = sweep::Placed(sweep::ShownCollisionBox(s), x, y);
    Hold(v.left, v.top, v.right, v.bottom, b.left, b.top, b.right, b.bottom);
    return v;
}

template <class Bounds>
Bounds ShapesAround(const Sprite& s, float x, float y) {
    Bounds v{Far, Far, -Far, -Far};
    List* shapes = sweep::ShownShapes(s);
    for (node* n = shapes ? shapes->Head() : nullptr; n && !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (sweep::IsSegment(shape)) {
            auto* g = static_cast<CollisionSegment*>(shape);
            Hold(v.left, v.top, v.right, v.bottom, x + g->OriginX(), y + g->OriginY(),
                 x + g->EndX(), y + g->EndY());
        } else {
            auto* c = static_cast<CollisionCircle*>(shape);
            float r = std::fabs(c->Radius());
            Hold(v.left, v.top, v.right, v.bottom, x + c->OriginX() - r, y + c->OriginY() - r,
                 x + c->OriginX() + r, y + c->OriginY() + r);
        }
    }
    return v;
}

float Slack(float a, float b, float c, float d, float mapX, float mapY) {
    float size = std::max({std::fabs(a), std::fabs(b), std::fabs(c), std::fabs(d)}) +
                 std::fabs(mapX) + std::fabs(mapY);
    return Margin + size * RoundingShare;
}

} // namespace

void SpriteBroadPhase::Measure(int i) {
    Slot& slot = slots[static_cast<size_t>(i)];
    Sprite& s = *slot.sprite;
    slot.box = slot.shapes = {Far, Far, -Far, -Far};
    slot.unbounded = false;
    if (!s.CurrentFrame())
        return; // without a frame the sprite touches nothing
    slot.box = BoxAround<Bounds>(s, s.m_X, s.m_Y);
    slot.shapes = ShapesAround<Bounds>(s, s.m_X, s.m_Y);
    const float mx = map ? map->WorldPositionX() : 0, my = map ? map->WorldPositionY() : 0;
    for (Bounds* bounds : {&slot.box, &slot.shapes}) {
        Bounds& v = *bounds;
        if (v.left > v.right) // no shapes
            continue;
        if (!Finite(v.left, v.top, v.right, v.bottom)) {
            slot.unbounded = true;
            continue;
        }
        float slack = Slack(v.left, v.top, v.right, v.bottom, mx, my);
        v = {v.left - slack, v.top - slack, v.right + slack, v.bottom + slack};
    }
}

SpriteBroadPhase::Cells SpriteBroadPhase::Covered(const Slot& slot) const {
    if (slot.sprite->m_Map != map || slot.unbounded || slot.box.left > slot.box.right)
        return NoCells;
    Bounds all = slot.box;
    if (slot.shapes.left <= slot.shapes.right)
        Hold(all.left, all.top, all.right, all.bottom, slot.shapes.left, slot.shapes.top,
             slot.shapes.right, slot.shapes.bottom);
    return CellRange(all);
}

void SpriteBroadPhase::Enter(int i, const Cells& cells) {
    Slot& slot = slots[static_cast<size_t>(i)];
    slot.cells = cells;
    if (slot.unbounded && slot.sprite->m_Map == map)
        everywhere.push_back({i, slot.version, -1});
    else
        Insert(i, cells);
}

SpriteBroadPhase::Cells SpriteBroadPhase::CellRange(const Bounds& b) const {
    auto index = [this](float v, float origin, int count) {
        float f = (v - origin) / cell;
        if (!(f >= 0))
            return 0;
        return f >= static_cast<float>(count - 1) ? count - 1 : static_cast<int>(f);
    };
    return {index(b.left, originX, columns), index(b.right, originX, columns),
            index(b.top, originY, rows), index(b.bottom, originY, rows)};
}

void SpriteBroadPhase::Insert(int slot, const Cells& cells) {
    const std::uint32_t version = slots[static_cast<size_t>(slot)].version;
    for (int r = cells.r0; r <= cells.r1; ++r)
        for (int c = cells.c0; c <= cells.c1; ++c) {
            int& head = heads[static_cast<size_t>(r) * static_cast<size_t>(columns) +
                              static_cast<size_t>(c)];
            entries.push_back({slot, version, head});
            head = static_cast<int>(entries.size()) - 1;
        }
}

void SpriteBroadPhase::Refresh() {
    if (rebuild) {
        Rebuild();
        return;
    }
    for (int i : dirty) {
        Slot& slot = slots[static_cast<size_t>(i)];
        slot.dirty = false;
        if (!slot.sprite)
            continue;
        Measure(i);
        Cells cells = Covered(slot);
        // Still in the cells it was entered in: those entries lead to the new bounds.
        if (cells.c0 <= cells.c1 && cells == slot.cells)
            continue;
        ++slot.version;
        Enter(i, cells);
    }
    dirty.clear();
}

// ---- the candidates of a mover ----

namespace {

bool Meets(float l1, float t1, float r1, float b1, float l2, float t2, float r2, float b2) {
    return l1 <= r1 && l2 <= r2 && l1 <= r2 && l2 <= r1 && t1 <= b2 && t2 <= b1;
}

} // namespace

bool SpriteBroadPhase::MayTouch(const Sprite& mover, const Bounds& boxQuery,
                                const Bounds& shapeQuery, const Slot& target) const {
    if (target.unbounded)
        return true;
    auto meets = [](const Bounds& q, const Bounds& t) {
        return Meets(q.left, q.top, q.right, q.bottom, t.left, t.top, t.right, t.bottom);
    };
    // A mover that collides by its box makes every test a box test. Otherwise the target's
    // own choice decides; both are tried rather than reading it from the target.
    if (mover.m_CollisionType)
        return meets(boxQuery, target.box);
    return meets(boxQuery, target.box) || meets(shapeQuery, target.shapes);
}

const std::vector<int>& SpriteBroadPhase::Gather(Sprite& mover) {
    Refresh();
    found.clear();
    if (!mover.CurrentFrame())
        return found; // without a frame the sprite touches nothing
    // The mover in the pass map's coordinates (the cursor's sprite belongs to no map).
    const float mx = map ? map->WorldPositionX() : 0, my = map ? map->WorldPositionY() : 0;
    const float x = sweep::WorldX(mover) - mx, y = sweep::WorldY(mover) - my;
    const float tx = mover.m_TranslationX, ty = mover.m_TranslationY;
    // Box mode: the box swept along the move.
    Bounds boxQ = BoxAround<Bounds>(mover, x, y);
    boxQ = {boxQ.left + std::min(0.0f, BoxReach * tx), boxQ.top + std::min(0.0f, BoxReach * ty),
            boxQ.right + std::max(0.0f, BoxReach * tx),
            boxQ.bottom + std::max(0.0f, BoxReach * ty)};
    // Shape mode: the shapes swept as far as the sub-steps reach.
    Bounds shapeQ = ShapesAround<Bounds>(mover, x, y);
    const float reach = 1 + 3 * collision::SubStep(mover.m_Speed) + 0.01f;
    if (shapeQ.left <= shapeQ.right)
        shapeQ = {shapeQ.left + std::min(0.0f, reach * (tx - NudgeReach)),
                  shapeQ.top + std::min(0.0f, reach * (ty - NudgeReach)),
                  shapeQ.right + std::max(0.0f, reach * (tx + NudgeReach)),
                  shapeQ.bottom + std::max(0.0f, reach * (ty + NudgeReach))};
    bool bounded = Finite(boxQ.left, boxQ.top, boxQ.right, boxQ.bottom) &&
                   (shapeQ.left > shapeQ.right ||
                    Finite(shapeQ.left, shapeQ.top, shapeQ.right, shapeQ.bottom));
    if (!bounded) {
        // A mover that is nowhere to be measured tries everyone, in order.
        for (size_t i = 0; i < slots.size(); ++i)
            if (slots[i].sprite)
                found.push_back(static_cast<int>(i));
        return found;
    }
    for (Bounds* q : {&boxQ, &shapeQ}) {
        if (q->left > q->right)
            continue;
        float slack = Slack(q->left, q->top, q->right, q->bottom, mx, my) +
                      (std::fabs(tx) + std::fabs(ty)) * RoundingShare;
        *q = {q->left - slack, q->top - slack, q->right + slack, q->bottom + slack};
    }

    ++query;
    auto take = [&](const Entry& e) {
        Slot& t = slots[static_cast<size_t>(e.slot)];
        if (e.version != t.version || seen[static_cast<size_t>(e.slot)] == query || !t.sprite)
            return;
        seen[static_cast<size_t>(e.slot)] = query;
        if (MayTouch(mover, boxQ, shapeQ, t))
            found.push_back(e.slot);
    };
    Bounds all = boxQ;
    if (shapeQ.left <= shapeQ.right)
        Hold(all.left, all.top, all.right, all.bottom, shapeQ.left, shapeQ.top, shapeQ.right,
             shapeQ.bottom);
    const Cells cells = CellRange(all);
    for (int r = cells.r0; r <= cells.r1; ++r)
        for (int c = cells.c0; c <= cells.c1; ++c)
            for (int e = heads[static_cast<size_t>(r) * static_cast<size_t>(columns) +
                               static_cast<size_t>(c)];
                 e != -1; e = entries[static_cast<size_t>(e)].next)
                take(entries[static_cast<size_t>(e)]);
    for (const Entry& e : everywhere)
        take(e);
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace kiv
