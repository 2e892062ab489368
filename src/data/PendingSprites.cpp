#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/sprites/Sprite.h>

#include "data/BehaviorList.h"
#include "data/PendingSprites.h"
#include "data/RecordReading.h"
#include "input/CursorRecord.h"

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

std::vector<std::unique_ptr<SpriteRecord>>& Pending() {
    static std::vector<std::unique_ptr<SpriteRecord>> pending;
    return pending;
}

void Apply(const SpriteRecord& r, GameNode& level) {
    Sprite s;
    s.Name(r.name);
    s.Visible(r.visible);
    s.Unused(r.unused);
    s.Reflection(r.reflection);
    s.MainCharacter(r.main);
    if (!r.map.empty())
        s.BelongToMap(r.map);
    s.ZOrder(r.zOrder);
    s.ActorIndex(r.actor);
    s.Animation(r.animation);
    s.Frame(r.frame);
    s.PegRegistered(r.peg);
    s.MapPositionX(r.x);
    s.MapPositionY(r.y);
    s.CheckCollisionWithMap(r.checkMap);
    s.DisplayListNumber(r.displayList);
    s.Friction(r.friction);
    s.ActivateCollisionWithSprite(r.activate);
    s.CheckCollisionWithSprite(r.checkSprites);
    s.CheckSameDisplayList(r.sameList);
    s.GhostCollisionWithSprite(r.ghostSprites);
    s.GhostCollisionWithMap(r.ghostMap);
    for (const SpriteRecord::Item& item : r.behavior)
        AddBehaviorItem(s.GetBehavior(), item.kind, item.index, item.active);
    if (r.path) {
        s.ApplyPathStateMachine(static_cast<int>(r.machine));
        s.ChangePathState(r.pathState);
        s.ShowPath(r.showPath);
        if (r.shortest)
            s.ShortestPath(r.station);
    }
    if (r.vector)
        s.VectorDirection(r.dirX, r.dirY, r.smooth);
    else
        s.VectorAngle(r.angle, r.smoothAngle);
    s.Canned(r.canned);
    s.CannedHDirection(r.cannedH);
    s.CannedVDirection(r.cannedV);
    s.DoNotCutDirection(r.doNotCut);
    s.ShowVectorOfTranslation(r.showVector);
    s.CollisionType(r.collisionType);
    s.Speed(r.speed);
    s.VariableNumber(r.variables);
    s.ShowSpriteBoundingBox(r.showBox);
    s.ShowSpriteCollision(r.showShapes);
    for (const String& alarm : r.alarms)
        s.AddAlarm(alarm);
    if (r.pattern) {
        s.ApplyMovementPattern(r.patternIndex);
        if (r.start)
            s.StartMovementPattern(r.loop, r.returnToStart);
        s.ShowMovementPattern(r.showPattern);
    }
    s.Gravity(r.gravity, r.gravityPercent);
    s.GravityFriction(r.gravityFriction);
    s.Pause(r.pause);
    if (r.local != -1)
        s.AddLocalVariable(static_cast<unsigned int>(r.local));
    level.Add(s);
}

} // namespace

void ReadSpriteRecord(File& f) {
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
    Pending().push_back(std::move(r));
}

void AddPendingSprites(GameNode& level) {
    AddPendingCursor(); // the cursor's sprite comes first, as the level record has it
    for (const auto& r : Pending())
        Apply(*r, level);
    Pending().clear();
}

void DiscardPendingSprites() {
    Pending().clear();
    DiscardPendingCursor();
}

} // namespace kiv
