#include <kiv/data/File.h>
#include <kiv/game/Game.h>
#include <kiv/input/KivCursor.h>

#include "data/BehaviorList.h"
#include "data/RecordReading.h"
#include "input/CursorRecord.h"

#include <optional>

namespace kiv {

namespace {

// What the cursor's sprite is made from once the level's actors are known.
struct PendingCursor {
    unsigned int actor, animation, frame;
    bool collisionType;
    bool placed;
    unsigned int x, y;
    bool show;
};

std::optional<PendingCursor>& Pending() {
    static std::optional<PendingCursor> pending;
    return pending;
}

// A stored position, truncated toward zero; one that cannot be a screen position gives 0.
unsigned int Coordinate(float v) {
    return v > 0 && v < 2147483648.0f ? static_cast<unsigned int>(v) : 0;
}

} // namespace

void ReadCursorRecord(File& f) {
    Pending().reset();
    if (!Get<bool>(f))
        return;
    delete pKivCursor;
    pKivCursor = NewKivCursor();
    PendingCursor p{};
    p.actor = Get<unsigned int>(f);
    p.animation = Get<unsigned int>(f);
    p.frame = Get<unsigned int>(f);
    p.collisionType = Get<bool>(f);
    p.placed = !Get<bool>(f);
    if (p.placed) {
        p.x = Coordinate(Get<float>(f));
        p.y = Coordinate(Get<float>(f));
    }
    ReadBehaviorList(f, pKivCursor->GetBehavior());
    p.show = Get<bool>(f);
    int local = Get<int>(f);
    if (local != -1)
        pKivCursor->AddLocalVariable(static_cast<unsigned int>(local));
    Pending() = p;
}

void AddPendingCursor() {
    std::optional<PendingCursor> p = Pending();
    Pending().reset();
    if (!p || !pKivCursor)
        return;
    pKivCursor->AddSpriteCursor(p->actor, p->animation, p->frame, p->collisionType);
    if (p->placed)
        pKivCursor->ViewportPosition(p->x, p->y, false);
    if (myGame)
        myGame->ShowCursor(p->show);
}

void DiscardPendingCursor() {
    Pending().reset();
}

} // namespace kiv
