#include "game/SpritePass.h"

#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/input/KivCursor.h>
#include <kiv/logic/Alarm.h>
#include <kiv/logic/PathStateMachineTraverser.h>
#include <kiv/sprites/Sprite.h>

#include "sprites/SpriteBroadPhase.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace kiv {

namespace {

// Pending z-order changes: (sprite, new z-order). Its room is kept between frames.
std::vector<std::pair<Sprite*, unsigned int>>& Queue() {
    static std::vector<std::pair<Sprite*, unsigned int>> queue = [] {
        std::vector<std::pair<Sprite*, unsigned int>> q;
        q.reserve(256);
        return q;
    }();
    return queue;
}

// Destroys a sprite whose delete flag is set, after the alarms and sprites that point at it
// have let go of it.
void RemoveSprite(Sprite* s, List& list) {
    for (Alarm* alarm : s->Alarms())
        if (alarm->m_Sprite == s)
            alarm->m_Sprite = nullptr;
    for (Sprite* other : s->m_TouchedSprites)
        if (other && other != s)
            std::erase(other->m_TouchedSprites, s);
    auto& queue = Queue();
    std::erase_if(queue, [&](const auto& entry) { return entry.first == s; });
    if (pKivCursor && pKivCursor->CursorSprite() == s)
        pKivCursor->ForgetSprite();
    list.del(s);
}

// Step 5 of a sprite's frame: a network player's input, its logic and movement pattern (the
// cursor's sprite first follows the mouse, on its first pass). False when the logic deleted
// it.
bool RunLogic(Sprite* s, bool cursorFirst) {
    if (s->IsActiveNetworkPlayer())
        s->HandleQ();
    s->UpdateLocalVariables();
    if (PathStateMachineTraverser* t = s->Traverser(); t && t->Enabled())
        t->Go(s);
    if (cursorFirst && pKivCursor)
        pKivCursor->__InternalCursorFct();
    s->GetBehavior().Update(s);
    s->UpdateMovementPattern();
    return !s->DeleteFlag();
}

SpriteBroadPhase& BroadPhase() {
    static SpriteBroadPhase phase;
    return phase;
}

// The pass's broad phase runs while the pass does, however the pass is left.
struct PassOf {
    explicit PassOf(Map* map) { BroadPhase().Begin(map); }
    ~PassOf() { BroadPhase().End(); }
    PassOf(const PassOf&) = delete;
    PassOf& operator=(const PassOf&) = delete;
};

// Every other sprite of the map that takes part in sprite collisions, in display lists 0
// to 15 (the sprite's own list only when it checks it), as the broad phase finds them or,
// with the broad phase off, all of them.
void CollideWithSprites(Sprite* s, Map* map) {
    auto test = [s, map](Sprite* other, int list) {
        if (other == s || !other->ActivateCollisionWithSprite() || other->Unused() ||
            other->BelongToMapPtr() != map)
            return;
        if (list == s->DisplayListNumber() && !s->CheckSameDisplayList())
            return;
        s->CheckSpriteCollision(other);
    };
    if (SpriteBroadPhase::Enabled()) {
        BroadPhase().ForEachCandidate(*s, test);
        return;
    }
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next())
            test(static_cast<Sprite*>(n), d);
}

// Step 6: animation, motion and the collision steps. The cursor's sprite collides on every
// map's pass, with that map; its animation, motion and the clearing of its results come once.
void Move(Sprite* s, Map* map, bool cursor, bool first) {
    bool once = !cursor || first;
    if (once)
        s->UpdateAnimation();
    s->GetTranslation();
    if (s->PegRegistered() && once)
        s->PegRegistered(1);
    s->HandleAlarms();
    if (once)
        s->ClearCollisionResults();
    s->ResetMove();
    if (s->CheckCollisionWithMap())
        s->CheckMapCollision(map);
    s->UpdatePSM();
    if (s->ZOrder() != s->AppliedZOrder())
        Queue().emplace_back(s, s->ZOrder());
    if (s->CheckCollisionWithSprite() && s->ActivateCollisionWithSprite())
        CollideWithSprites(s, map);
    if (once) {
        s->UpdateTranslation();
        s->UpdateSprite();
    }
}

// The display lists are sorted by z-order, not by where their sprites lie in memory, so
// walking one is a chain of cache misses once the level's sprites outgrow the caches: the
// next sprite is fetched while this one runs. (The end of a list is the list's own sentinel;
// a prefetch past it reads nothing.)
void FetchAhead(const node* n) {
    const char* bytes = reinterpret_cast<const char*>(n);
    for (std::size_t offset = 0; offset < sizeof(Sprite); offset += 64)
        __builtin_prefetch(bytes + offset);
}

} // namespace

void UpdateSprites(Map* map, bool& cursorDone) {
    PassOf pass(map);
    for (int d = 0; d < GameNode::DisplayLists; ++d) {
        List& list = gNode->DisplayList(d);
        for (node* n = list.Head(); !n->EOList();) {
            auto* s = static_cast<Sprite*>(n);
            node* next = n->Next();
            FetchAhead(next);
            bool cursor = s->ZOrder() == Sprite::CursorZOrder;
            bool first = cursor && !cursorDone;
            if (s->Unused()) {
                s->PlaceOnScreen();
                s->ClearCollisionResults();
                s->ResetMove();
                n = next;
                continue;
            }
            if (s->BelongToMapPtr() != map && !cursor) {
                n = next;
                continue;
            }
            if (!s->Pause()) {
                if (s->DeleteFlag() || !RunLogic(s, first)) {
                    RemoveSprite(s, list);
                    n = next;
                    continue;
                }
                Move(s, map, cursor, first);
            } else {
                s->PlaceOnScreen();
            }
            if (!cursor)
                s->DisplaySprite();
            if (!cursor || first)
                s->HandleLastFlipPR();
            if (!s->Pause() && s->PendingMove())
                s->FinishPendingMove();
            if (cursor)
                cursorDone = true;
            n = next;
        }
    }
}

namespace {

// One sprite's move in the re-sort: its display list, its new z-order and the place of its
// last change in the queue (its earlier changes are overtaken by that one).
struct ZMove {
    Sprite* sprite;
    int list;
    unsigned int z;
    std::size_t order;
};

std::vector<ZMove>& Moves() {
    static std::vector<ZMove> moves = [] {
        std::vector<ZMove> m;
        m.reserve(256);
        return m;
    }();
    return moves;
}

} // namespace

namespace {

// The changes one by one: each moved sprite goes before the first sprite of its list whose
// z-order is at least its new one, as the list stands then.
void ApplyOneByOne() {
    for (auto [sprite, z] : Queue()) {
        List& list = gNode->DisplayList(sprite->DisplayListNumber());
        sprite->AppliedZOrder(z);
        list.remove(sprite);
        node* before = list.Head();
        while (!before->EOList() && static_cast<Sprite*>(before)->AppliedZOrder() < z)
            before = before->Next();
        list.add(sprite, before);
    }
}

bool Sorted(List& list) {
    unsigned int last = 0;
    for (node* n = list.Head(); !n->EOList(); n = n->Next()) {
        unsigned int z = static_cast<Sprite*>(n)->AppliedZOrder();
        if (z < last)
            return false;
        last = z;
    }
    return true;
}

// The same result in one walk of each list, when the lists the changes touch are sorted (as
// they are unless a sprite took another's z-order by assignment): each change then puts its
// sprite at the first place of its new z-order, so the moved sprites can be taken out and
// put back together: before the first remaining sprite of at least their z-order, in
// ascending z-order, the later change first among equal ones. Re-sorting every sprite costs
// the lists' length and a sort rather than a walk per change.
void ApplyTogether() {
    auto& moves = Moves();
    moves.clear();
    for (std::size_t i = 0; i < Queue().size(); ++i) {
        auto [sprite, z] = Queue()[i];
        moves.push_back({sprite, sprite->DisplayListNumber(), z, i});
    }
    // A sprite changed twice keeps its last change.
    std::sort(moves.begin(), moves.end(), [](const ZMove& a, const ZMove& b) {
        return a.sprite != b.sprite ? a.sprite < b.sprite : a.order > b.order;
    });
    moves.erase(std::unique(moves.begin(), moves.end(),
                            [](const ZMove& a, const ZMove& b) { return a.sprite == b.sprite; }),
                moves.end());
    std::sort(moves.begin(), moves.end(), [](const ZMove& a, const ZMove& b) {
        if (a.list != b.list)
            return a.list < b.list;
        return a.z != b.z ? a.z < b.z : a.order > b.order;
    });
    for (auto first = moves.begin(); first != moves.end();) {
        auto last = std::find_if(first, moves.end(),
                                 [list = first->list](const ZMove& m) { return m.list != list; });
        List& list = gNode->DisplayList(first->list);
        for (auto m = first; m != last; ++m) {
            m->sprite->AppliedZOrder(m->z);
            list.remove(m->sprite);
        }
        node* before = list.Head();
        for (auto m = first; m != last; ++m) {
            while (!before->EOList() && static_cast<Sprite*>(before)->AppliedZOrder() < m->z)
                before = before->Next();
            list.add(m->sprite, before);
        }
        first = last;
    }
}

} // namespace

void ApplyZOrderQueue() {
    bool checked[GameNode::DisplayLists] = {};
    bool sorted = true;
    for (auto [sprite, z] : Queue()) {
        int d = sprite->DisplayListNumber();
        if (d >= 0 && d < GameNode::DisplayLists && !checked[d]) {
            checked[d] = true;
            sorted = sorted && Sorted(gNode->DisplayList(d));
        }
    }
    if (sorted)
        ApplyTogether();
    else
        ApplyOneByOne();
    Queue().clear();
}

void ClearZOrderQueue() {
    Queue().clear();
}

} // namespace kiv
