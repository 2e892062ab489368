#include <kiv/data/File.h>
#include <kiv/game/Game.h>
#include <kiv/input/KivCursor.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/sprites/SpriteElem.h>

#include "data/BehaviorList.h"
#include "data/PendingSprites.h"
#include "data/RecordReading.h"
#include "input/CursorRecord.h"

namespace kiv {

namespace {

// A stored position, truncated toward zero; one that cannot be a screen position gives 0.
unsigned int Coordinate(float v) {
    return v > 0 && v < 2147483648.0f ? static_cast<unsigned int>(v) : 0;
}

bool ActorRead(unsigned int actor) {
    return actor < SpriteElem::MaxActors && SpriteList[actor].m_AnimationCount > 0;
}

} // namespace

void ReadCursorRecord(File& f) {
    ForgetWaitingPlayback();
    if (!Get<bool>(f))
        return;
    delete pKivCursor;
    pKivCursor = NewKivCursor();
    auto actor = Get<unsigned int>(f);
    auto animation = Get<unsigned int>(f);
    auto frame = Get<unsigned int>(f);
    bool collisionType = Get<bool>(f);
    bool placed = !Get<bool>(f);
    unsigned int x = 0, y = 0;
    if (placed) {
        x = Coordinate(Get<float>(f));
        y = Coordinate(Get<float>(f));
    }
    f.CheckNotCutShort(); // the sprite is made only from a whole record
    // The built-in arrow is always there; another actor may come later in the level file.
    if (actor == KivCursor::DefaultActorIndex || actor == KivCursor::DefaultActorAlias ||
        ActorRead(actor)) {
        pKivCursor->AddSpriteCursor(actor, animation, frame, collisionType);
    } else {
        pKivCursor->AddSpriteCursor(actor, collisionType);
        if (Sprite* s = pKivCursor->CursorSprite())
            WaitForActors(*s, static_cast<int>(animation), static_cast<int>(frame));
    }
    if (placed)
        pKivCursor->ViewportPosition(x, y, false);
    ReadBehaviorList(f, pKivCursor->GetBehavior());
    bool show = Get<bool>(f); // read whether or not there is a game to show it in
    if (myGame)
        myGame->ShowCursor(show);
    int local = Get<int>(f);
    if (local != -1)
        pKivCursor->AddLocalVariable(static_cast<unsigned int>(local));
}

} // namespace kiv
