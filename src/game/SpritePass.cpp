#include "game/SpritePass.h"

#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/input/KivCursor.h>
#include <kiv/logic/Alarm.h>
#include <kiv/logic/PathStateMachineTraverser.h>
#include <kiv/sprites/Sprite.h>

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

// Step 5 of a sprite's frame: its logic and movement pattern (the cursor's sprite first
// follows the mouse, on its first pass). False when the logic deleted it.
bool RunLogic(Sprite* s, bool cursorFirst) {
    s->UpdateLocalVariables();
    if (PathStateMachineTraverser* t = s->Traverser(); t && t->Enabled())
        t->Go(s);
    if (cursorFirst && pKivCursor)
        pKivCursor->__InternalCursorFct();
    s->GetBehavior().Update(s);
    s->UpdateMovementPattern();
    return !s->DeleteFlag();
}

// Step 6: animation, motion and collision, once for the cursor.
void Move(Sprite* s, bool cursor, bool first) {
    bool once = !cursor || first;
    if (once)
        s->UpdateAnimation();
    s->GetTranslation();
    if (s->PegRegistered() && once)
        s->PegRegistered(1);
    s->HandleAlarms();
    if (once)
        s->ClearCollisionResults();
    if (s->ZOrder() != s->AppliedZOrder())
        Queue().emplace_back(s, s->ZOrder());
    if (once) {
        s->UpdateTranslation();
        s->UpdateSprite();
    }
}

} // namespace

void UpdateSprites(Map* map, bool& cursorDone) {
    for (int d = 0; d < GameNode::DisplayLists; ++d) {
        List& list = gNode->DisplayList(d);
        for (node* n = list.Head(); !n->EOList();) {
            auto* s = static_cast<Sprite*>(n);
            node* next = n->Next();
            bool cursor = s->ZOrder() == Sprite::CursorZOrder;
            bool first = cursor && !cursorDone;
            if (s->Unused()) {
                s->PlaceOnScreen();
                s->ClearCollisionResults();
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
                Move(s, cursor, first);
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

void ApplyZOrderQueue() {
    for (auto [sprite, z] : Queue()) {
        List& list = gNode->DisplayList(sprite->DisplayListNumber());
        sprite->AppliedZOrder(z);
        list.remove(sprite);
        node* before = list.Head();
        while (!before->EOList() && static_cast<Sprite*>(before)->AppliedZOrder() < z)
            before = before->Next();
        list.add(sprite, before);
    }
    Queue().clear();
}

void ClearZOrderQueue() {
    Queue().clear();
}

} // namespace kiv
