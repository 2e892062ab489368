#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/sprites/SpriteElem.h>

#include "data/BehaviorList.h"
#include "data/PendingSprites.h"
#include "data/RecordReading.h"

#include <memory>
#include <vector>

namespace kiv {

namespace {

// One sprite of a level record, as read; applied through the sprite's own operations.
struct SpriteRecord {
    struct Item {
        int kind;
        unsigned int index;
        bool active;
    };
    String name, map;
    bool visible, unused, reflection, main, spare;
    unsigned int zOrder;
    int actor, animation, frame;
    bool peg;
    float x, y;
    bool checkMap;
    int displayList;
    float friction;
    bool activate, checkSprites, sameList, ghostSprites, ghostMap;
    std::vector<Item> behavior;
    bool path;
    unsigned int machine, pathState;
    bool showPath, shortest;
    unsigned int station;
    bool vector;
    float dirX, dirY;
    unsigned int smooth;
    float angle, smoothAngle;
    bool canned, cannedH, cannedV, doNotCut, showVector, collisionType;
    float speed;
    int variables;
    bool showBox, showShapes;
    std::vector<String> alarms;
    bool pattern;
    int patternIndex;
    bool start, loop, returnToStart, showPattern;
    bool gravity;
    float gravityPercent, gravityFriction;
    bool pause;
    int local;
};

// Playback settings that wait for the level's actor record: the sprite's animation and
// frame (checked against the actor's animations) and, for a peg-registered sprite, its
// position (placed by the frame's centre).
struct Playback {
    int id;
    int actor, animation, frame;
    bool peg;
    float x, y;
};

std::vector<Playback>& Waiting() {
    static std::vector<Playback> waiting;
    return waiting;
}

bool ActorRead(int actor) {
    return actor >= 0 && actor < SpriteElem::MaxActors && SpriteList[actor].m_AnimationCount > 0;
}

Sprite* SpriteWithId(int id) {
    for (int d = 0; gNode && d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next())
            if (static_cast<Sprite*>(n)->Id() == id)
                return static_cast<Sprite*>(n);
    return nullptr;
}

void ApplyPlayback(Sprite& s, const Playback& p) {
    s.ActorIndex(p.actor);
    s.Animation(p.animation);
    s.Frame(p.frame);
    if (p.peg) {
        s.MapPositionX(p.x);
        s.MapPositionY(p.y);
    }
}

void Apply(const SpriteRecord& r, GameNode& level) {
    auto* s = new Sprite;
    s->Name(r.name);
    s->Visible(r.visible);
    s->Unused(r.unused);
    s->Reflection(r.reflection);
    s->MainCharacter(r.main);
    if (!r.map.empty())
        s->BelongToMap(r.map);
    s->ZOrder(r.zOrder);
    s->ActorIndex(r.actor);
    // Before the level's actor record, the animation and frame cannot be checked yet.
    bool read = ActorRead(s->ActorIndex());
    if (read) {
        s->Animation(r.animation);
        s->Frame(r.frame);
    }
    s->PegRegistered(r.peg);
    s->MapPositionX(r.x);
    s->MapPositionY(r.y);
    s->CheckCollisionWithMap(r.checkMap);
    s->DisplayListNumber(r.displayList);
    s->Friction(r.friction);
    s->ActivateCollisionWithSprite(r.activate);
    s->CheckCollisionWithSprite(r.checkSprites);
    s->CheckSameDisplayList(r.sameList);
    s->GhostCollisionWithSprite(r.ghostSprites);
    s->GhostCollisionWithMap(r.ghostMap);
    for (const SpriteRecord::Item& item : r.behavior)
        AddBehaviorItem(s->GetBehavior(), item.kind, item.index, item.active);
    if (r.path) {
        s->ApplyPathStateMachine(static_cast<int>(r.machine));
        s->ChangePathState(r.pathState);
        s->ShowPath(r.showPath);
        if (r.shortest)
            s->ShortestPath(r.station);
    }
    if (r.vector)
        s->VectorDirection(r.dirX, r.dirY, r.smooth);
    else
        s->VectorAngle(r.angle, r.smoothAngle);
    s->Canned(r.canned);
    s->CannedHDirection(r.cannedH);
    s->CannedVDirection(r.cannedV);
    s->DoNotCutDirection(r.doNotCut);
    s->ShowVectorOfTranslation(r.showVector);
    s->CollisionType(r.collisionType);
    s->Speed(r.speed);
    s->VariableNumber(r.variables);
    s->ShowSpriteBoundingBox(r.showBox);
    s->ShowSpriteCollision(r.showShapes);
    for (const String& alarm : r.alarms)
        s->AddAlarm(alarm);
    if (r.pattern) {
        s->ApplyMovementPattern(r.patternIndex);
        if (r.start)
            s->StartMovementPattern(r.loop, r.returnToStart);
        s->ShowMovementPattern(r.showPattern);
    }
    s->Gravity(r.gravity, r.gravityPercent);
    s->GravityFriction(r.gravityFriction);
    s->Pause(r.pause);
    if (r.local != -1)
        s->AddLocalVariable(static_cast<unsigned int>(r.local));
    if (level.Add(s) && !read)
        Waiting().push_back({s->Id(), r.actor, r.animation, r.frame, r.peg, r.x, r.y});
}

} // namespace

void ReadSpriteRecord(File& f, GameNode& level) {
    auto r = std::make_unique<SpriteRecord>();
    r->name = GetString(f);
    r->visible = Get<bool>(f), r->unused = Get<bool>(f), r->reflection = Get<bool>(f);
    r->main = Get<bool>(f), r->spare = Get<bool>(f);
    r->map = GetString(f);
    r->zOrder = Get<unsigned int>(f);
    r->actor = Get<int>(f), r->animation = Get<int>(f), r->frame = Get<int>(f);
    r->peg = Get<bool>(f);
    r->x = GetCoordinate(f, "a sprite's position"), r->y = GetCoordinate(f, "a sprite's position");
    r->checkMap = Get<bool>(f);
    r->displayList = Get<int>(f);
    r->friction = GetCoordinate(f, "a sprite's friction");
    r->activate = Get<bool>(f), r->checkSprites = Get<bool>(f), r->sameList = Get<bool>(f);
    r->ghostSprites = Get<bool>(f), r->ghostMap = Get<bool>(f);
    int items = GetCount(f, 4);
    for (int i = 0; i < items; ++i) {
        int kind = Get<int>(f);
        if (kind < 0 || kind > 2)
            continue;
        unsigned int index = Get<unsigned int>(f);
        r->behavior.push_back({kind, index, Get<bool>(f)});
    }
    if ((r->path = Get<bool>(f))) {
        r->machine = Get<unsigned int>(f), r->pathState = Get<unsigned int>(f);
        r->showPath = Get<bool>(f);
        if ((r->shortest = Get<bool>(f)))
            r->station = Get<unsigned int>(f);
    }
    if ((r->vector = Get<bool>(f))) {
        r->dirX = GetCoordinate(f, "a sprite's direction");
        r->dirY = GetCoordinate(f, "a sprite's direction");
        r->smooth = Get<unsigned int>(f);
    } else {
        r->angle = GetCoordinate(f, "a sprite's direction");
        r->smoothAngle = GetCoordinate(f, "a sprite's direction");
    }
    r->canned = Get<bool>(f), r->cannedH = Get<bool>(f), r->cannedV = Get<bool>(f);
    r->doNotCut = Get<bool>(f), r->showVector = Get<bool>(f), r->collisionType = Get<bool>(f);
    r->speed = GetCoordinate(f, "a sprite's speed");
    r->variables = Get<int>(f);
    r->showBox = Get<bool>(f), r->showShapes = Get<bool>(f);
    int alarms = GetCount(f, 4);
    for (int i = 0; i < alarms; ++i)
        r->alarms.push_back(GetString(f));
    if ((r->pattern = Get<bool>(f))) {
        r->patternIndex = Get<int>(f);
        if ((r->start = Get<bool>(f)))
            r->loop = Get<bool>(f), r->returnToStart = Get<bool>(f);
        r->showPattern = Get<bool>(f);
    }
    r->gravity = Get<bool>(f), r->gravityPercent = GetCoordinate(f, "a sprite's gravity");
    r->gravityFriction = GetCoordinate(f, "a sprite's gravity");
    r->pause = Get<bool>(f);
    r->local = Get<int>(f);
    f.CheckNotCutShort(); // the sprite is made only from a whole record
    Apply(*r, level);
}

void WaitForActors(Sprite& s, int animation, int frame) {
    Waiting().push_back({s.Id(), s.ActorIndex(), animation, frame, false, 0, 0});
}

void ApplyWaitingPlayback() {
    for (const Playback& p : Waiting())
        if (Sprite* s = SpriteWithId(p.id))
            ApplyPlayback(*s, p);
    Waiting().clear();
}

void ForgetWaitingPlayback() {
    Waiting().clear();
}

} // namespace kiv
