#pragma once

#include <kiv/base/Handle.h>
#include <kiv/base/List.h>
#include <kiv/base/String.h>
#include <kiv/base/StringList.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>
#include <kiv/input/KeyEntry.h>
#include <kiv/logic/Behavior.h>
#include <kiv/sprites/CollisionSegment.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Alarm;
class FrameElem;
class Map;
class MovementPattern;
class PathStateMachineTraverser;
class Variable;

namespace kiv {

// A network player's mouse as its messages left it: the fields of the game's mouse that
// logic asks about.
struct PlayerMouse {
    std::int32_t frameCounter;
    std::int32_t lastTrigger[3]; // frame of a click waiting for its second; 0 for none
    bool doubleClicked[3];
    std::int32_t viewportX, viewportY, worldX, worldY, relX, relY, wheel;
    KeyEntry buttons[3];
    bool movedX, movedY, wheelMoved;
};

// A network player's keyboard and mouse, as its messages left them.
struct PlayerInput {
    KeyEntry keys[256];
    PlayerMouse mouse;
};

// One item of a network player's input queue: its kind and a copy of its bytes.
struct QueuedInput {
    unsigned char kind;
    std::vector<unsigned char> data;
};

} // namespace kiv

// One actor placed on a level: a position on its map, the animation it plays, its motion,
// its collision state, its logic and its local variables. The level keeps sprites in 16
// display lists and runs each once per frame (see the frame loop).
class KIV_API Sprite : public node {
public:
    // The z-order that marks the cursor's sprite.
    enum { CursorZOrder = 17381 };

    Sprite();
    Sprite(const Sprite& other);
    Sprite& operator=(const Sprite& other);
    ~Sprite() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    static node* CreateObject();

    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size);

    // ---- identity and lookup ----
    static Sprite* Search(const char* name);
    static Sprite* Search(const int id);
    static void Use(const char* name);
    static void Visible(const char* name, bool visible);
    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    void Name(const char* name);
    const char* Name() const { return m_Name; }
    void Visible(bool on) { m_Visible = on; }
    bool Visible() const { return m_Visible; }
    void MainCharacter(bool on) { m_MainCharacter = on; }
    bool MainCharacter() const { return m_MainCharacter; }
    void DeleteFlag(bool on) { m_DeleteFlag = on; }
    bool DeleteFlag() const { return m_DeleteFlag; }
    void Pause(bool on) { m_Pause = on; }
    bool Pause() const { return m_Pause; }
    void Unused(bool on);
    bool Unused() const { return m_Unused; }
    void ScaleX(float s) { m_ScaleX = s; }
    float ScaleX() const { return m_ScaleX; }
    void ScaleY(float s) { m_ScaleY = s; }
    float ScaleY() const { return m_ScaleY; }
    void ZOrder(unsigned int z) { m_ZOrder = z; }
    unsigned int ZOrder() const { return m_ZOrder; }
    // The z-order the sprite's display list is sorted by (applied at the end of a frame).
    unsigned int AppliedZOrder() const { return m_AppliedZOrder; }
    void AppliedZOrder(unsigned int z) { m_AppliedZOrder = z; }
    void DisplayListNumber(int n) { m_DisplayListNumber = n; }
    int DisplayListNumber() const { return m_DisplayListNumber; }
    Behavior& GetBehavior() { return m_Behavior; }

    // ---- actor and animation ----
    void ActorIndex(int i);
    int ActorIndex() const { return m_ActorIndex; }
    void Animation(int a);
    int Animation() const { return m_RequestedAnimation < 0 ? 0 : m_RequestedAnimation; }
    int TotalAnimations() const;
    int TotalFrames() const;
    void Frame(int f);
    int Frame() const { return m_Frame; }
    bool EndOfAnimation(int a);
    void Delay(unsigned int d) { m_Delay = d; }
    unsigned int Delay() const { return m_Delay; }
    void UpdateAnimation();
    void ChangeSFX(int animation, const char* sound);
    void DeleteSFX(int animation);
    void AnimationLoopSFX(int animation, bool loop);
    void AnimationSoundStatus(int animation, bool enabled);

    // ---- flipping ----
    void HFlip(bool on) { m_RequestedHFlip = on; }
    bool HFlip() const { return m_ShownHFlip; }
    void VFlip(bool on) { m_RequestedVFlip = on; }
    bool VFlip() const { return m_ShownVFlip; }
    void AutoFlip(bool on) { m_AutoFlip = on; }
    bool AutoFlip() const { return m_AutoFlip; }
    void FlipSet();
    void HandleLastFlipPR();

    // ---- drawing and placement ----
    void DisplaySprite();
    bool InViewport();
    bool InWorld();
    int Width() const;
    int Height() const;
    // Recomputes the screen position from the map position (for sprites not updated).
    void PlaceOnScreen();

    // ---- belonging to a map ----
    void BelongToMap(const char* name);
    const char* BelongToMap() const;
    void BelongToMapPtr(Map* map);
    Map* BelongToMapPtr() const { return m_Map; }
    bool AddAlarm(const char* name);
    void AlarmMaximum(int n) { m_AlarmMaximum = n > 0 ? n : 0; }
    int AlarmMaximum() const { return m_AlarmMaximum; }
    int AlarmCount() const { return m_AlarmCount; }
    std::vector<Alarm*>& Alarms() { return m_Alarms; }

    // ---- local variables ----
    void VariableNumber(int n);
    int VariableNumber() const { return m_VariableNumber; }
    Variable* LocalVariable(int i);
    void AddLocalVariable(unsigned int index);
    // Runs the behaviors of the sprite's own variables.
    void UpdateLocalVariables();

    // ---- copies ----
    Sprite* CreateSprite();

    // ---- motion ----
    void Speed(float s);
    float Speed() const { return m_Speed; }
    void SpeedInc(float d, float max);
    void SpeedDec(float d, float min);
    void SpeedX(float s) { Speed(s); }
    float SpeedX() const { return m_Speed; }
    void SpeedY(float s) { Speed(s); }
    float SpeedY() const { return m_Speed; }
    void SpeedXInc(float d, float max) { SpeedInc(d, max); }
    void SpeedXDec(float d, float min) { SpeedDec(d, min); }
    void SpeedYInc(float d, float max) { SpeedInc(d, max); }
    void SpeedYDec(float d, float min) { SpeedDec(d, min); }
    bool SpeedGreater(float f) const { return m_Speed > f; }
    bool SpeedGreaterEqual(float f) const { return m_Speed >= f; }
    bool SpeedLess(float f) const { return m_Speed < f; }
    bool SpeedLessEqual(float f) const { return m_Speed <= f; }
    void Friction(float percent);
    float Friction() const { return m_Friction; }
    void GravityFriction(float f);
    float GravityFriction() const { return m_GravityFriction; }
    void Gravity(bool on, float percent);
    bool Gravity() const { return m_Gravity; }
    void Reflection(bool on) { m_Reflection = on; }
    bool Reflection() const { return m_Reflection; }

    void VectorDirection(float x, float y, unsigned int smooth);
    int VectorAngle();
    void VectorAngle(float angle, float smoothAngle);
    void Follow(Sprite* target, unsigned int ownHotSpot, unsigned int targetHotSpot,
                unsigned int smooth);
    void Follow(const String& name, unsigned int ownHotSpot, unsigned int targetHotSpot,
                unsigned int smooth);
    float DirectionX() const { return m_DirectionX; }
    float DirectionY() const { return m_DirectionY; }
    float TranslationX() const { return m_TranslationX; }
    float TranslationY() const { return m_TranslationY; }

    void Canned(bool on) { m_Canned = on; }
    bool Canned() const { return m_Canned; }
    void CannedDirection(unsigned int d);
    unsigned int CannedDirection() const;
    void CannedHDirection(bool on) { m_CannedHDirection = on; }
    bool CannedHDirection() const { return m_CannedHDirection; }
    void CannedVDirection(bool on) { m_CannedVDirection = on; }
    bool CannedVDirection() const { return m_CannedVDirection; }
    void DoNotCutDirection(bool on) { m_DoNotCutDirection = on; }
    bool DoNotCutDirection() const { return m_DoNotCutDirection; }

    void WorldPositionX(float x, bool move = false);
    void WorldPositionY(float y, bool move = false);
    void WorldPosition(float x, float y, bool move = false);
    void MapPositionX(float x, bool move = false);
    void MapPositionY(float y, bool move = false);
    void MapPosition(float x, float y, bool move = false);
    void WorldPositionXInc(float d, float max, bool move = false);
    void WorldPositionYInc(float d, float max, bool move = false);
    void WorldPositionXDec(float d, float min, bool move = false);
    void WorldPositionYDec(float d, float min, bool move = false);
    void MapPositionXInc(float d, float max, bool move = false);
    void MapPositionYInc(float d, float max, bool move = false);
    void MapPositionXDec(float d, float min, bool move = false);
    void MapPositionYDec(float d, float min, bool move = false);
    void MainCharWorldPosition(float x, float y);
    float WorldPositionX();
    float WorldPositionY();
    float MapPositionX();
    float MapPositionY();
    float LeftPosition() const { return m_X; }
    float TopPosition() const { return m_Y; }
    int ViewportX();
    int ViewportY();

    void ApplyMovementPattern(int i);
    void StartMovementPattern(bool loop);
    void StartMovementPattern(bool loop, bool returnToStart);
    void StopMovementPattern();
    bool ApplyingMovementPattern() const { return m_PatternVector != -1; }
    void MovementPatternLoop(bool on) { m_PatternLoop = on; }
    bool MovementPatternLoop() const { return m_PatternLoop; }
    const char* MovementPatternName() const;
    void ShowMovementPattern(bool on) { m_ShowMovementPattern = on; }
    bool ShowMovementPattern() const { return m_ShowMovementPattern; }
    bool EndOfMovementPattern() const;

    void PegRegistered(bool on) { m_PegRegistered = on; }
    bool PegRegistered() const { return m_PegRegistered; }
    // The per-frame peg step: keeps the frame centre still when a peg-registered frame
    // becomes the one shown.
    void PegRegistered(int step);

    // Per-frame motion steps, in the order the frame loop runs them.
    void UpdateMovementPattern();
    void GetTranslation();
    void UpdateTranslation();
    void UpdateSprite();
    // Ends a one-shot move after the sprite was drawn.
    void FinishPendingMove();
    bool PendingMove() const { return m_Pending; }

    // ---- collision switches (the collision steps use them) ----
    void CollisionType(bool on) { m_CollisionType = on; }
    bool CollisionType() const { return m_CollisionType; }
    void CheckCollisionWithMap(bool on) { m_CheckCollisionWithMap = on; }
    bool CheckCollisionWithMap() const { return m_CheckCollisionWithMap; }
    void CheckCollisionWithSprite(bool on) { m_CheckCollisionWithSprite = on; }
    bool CheckCollisionWithSprite() const { return m_CheckCollisionWithSprite; }
    void ActivateCollisionWithSprite(bool on) { m_ActivateCollisionWithSprite = on; }
    bool ActivateCollisionWithSprite() const { return m_ActivateCollisionWithSprite; }
    void CheckSameDisplayList(bool on) { m_CheckSameDisplayList = on; }
    bool CheckSameDisplayList() const { return m_CheckSameDisplayList; }
    void CheckSameType(bool on) { m_CheckSameDisplayList = on; }
    bool CheckSameType() const { return m_CheckSameDisplayList; }
    void GhostCollisionWithMap(bool on) { m_GhostCollisionWithMap = on; }
    bool GhostCollisionWithMap() const { return m_GhostCollisionWithMap; }
    void GhostCollisionWithSprite(bool on) { m_GhostCollisionWithSprite = on; }
    bool GhostCollisionWithSprite() const { return m_GhostCollisionWithSprite; }
    void GhostCollision(bool on) { m_GhostCollisionWithMap = m_GhostCollisionWithSprite = on; }
    bool GhostCollision() const { return m_GhostCollisionWithMap || m_GhostCollisionWithSprite; }
    void ShowSpriteCollision(bool on) { m_ShowSpriteCollision = on; }
    void ShowSpriteBoundingBox(bool on) { m_ShowSpriteBoundingBox = on; }
    void ShowVectorOfTranslation(bool on) { m_ShowVectorOfTranslation = on; }
    void ShowPath(bool on) { m_ShowPath = on; }
    bool ShowPath() const { return m_ShowPath; }
    // Debug drawing at the sprite's world position: its current shapes, its box, its
    // translation.
    void ShowSpriteCollision(COLORREF colour);
    void ShowSpriteBoundingBox(COLORREF colour);
    void ShowVectorOfTranslation(COLORREF colour);

    // ---- collisions: the per-frame steps ----
    // Against the scenery of the sprite's map (the cursor's sprite: of `map`), through the
    // map's grid cells under the move. Hits are recorded; a blocking hit cuts the move.
    void CheckMapCollision(Map* map);
    // Against one other sprite: boxes when either sprite collides by box, shapes otherwise.
    void CheckSpriteCollision(Sprite* other);
    // Clears this frame's results: touched sprites and shapes, the map collision flag.
    void ClearCollisionResults();
    // Before the collision steps: nothing cuts the move yet, no path or segment was met.
    void ResetMove();
    float MoveFraction() const { return m_MoveFraction; }
    void MoveFraction(float f) { m_MoveFraction = f; }

    // ---- collisions: what this frame's steps found ----
    bool CollisionWithMap() const { return m_CollisionWithMap; }
    void CollisionWithMap(bool on) { m_CollisionWithMap = on; }
    void ResetMapCollisionFlag() { m_CollisionWithMap = false; }
    // A touched map shape has that collision ID (the ID must be one of the map's).
    bool CollisionWithMap(int id);
    // A touched shape of another sprite has that ID (the ID must be on some sprite's frame).
    bool CollisionWithSprite(unsigned int id);
    // A sprite of that name was touched; any sprite for a null name.
    bool CollisionWithSprite(const char* name);
    // The touched sprite of that name (the first touched for a null name), or null.
    Sprite* CollisionWithSpritePtr(const char* name);
    // One of the sprite's own shapes with that ID touched something.
    bool Collision(unsigned int id);
    // Attribute bit 2 to 8 set in a touched shape: own, other sprites', map's.
    bool OwnerCollisionDataFlagBit(unsigned int bit);
    bool SpriteCollisionDataFlagBit(unsigned int bit);
    bool MapCollisionDataFlagBit(unsigned int bit);

    // ---- looking ahead: trials that record and change nothing ----
    // Directions: 0 RIGHT, 1 LEFT, 2 DOWN, 3 UP. An id of -1 means any map shape.
    bool LookAheadCollisionWithMap(unsigned int direction, unsigned int distance, int id);
    Sprite* LookAheadCollisionWithSprite(unsigned int direction, unsigned int distance,
                                         const char* name);
    // kind 0: sprites, 1: the map, 2: sprites, then the map.
    bool LookAheadCollision(unsigned int direction, unsigned int distance, unsigned int kind);
    // The box swept by (tx, ty), segments facing the direction (dx, dy).
    bool TempCheckCollisionWithMap(float dx, float dy, float tx, float ty);
    bool TempCheckCollisionWithMap(float dx, float dy, float tx, float ty, int id);
    Sprite* TempCheckCollisionWithSprite(float dx, float dy, float tx, float ty, const char* name);

    // ---- rays from a hot spot to the edge of the viewport's world rectangle ----
    bool SpriteToMapRay(unsigned int hotSpot, float dx, float dy, unsigned int id, bool show,
                        COLORREF colour);
    Sprite* SpriteToSpriteRay(unsigned int hotSpot, float dx, float dy, unsigned int id, bool show,
                              COLORREF colour);
    // Where the ray from (x, y) along (dx, dy) leaves the viewport's world rectangle.
    KivPoint RayViewportDest(float x, float y, float dx, float dy);

    // ---- following the scenery: the direction of the segment found by a ray ----
    // Right and Left cast the ray DOWN (2) or UP (3); Up and Down cast it RIGHT (0) or
    // LEFT (1).
    void FollowPathRight(unsigned int id, unsigned int rayDirection, unsigned int hotSpot,
                         bool show, COLORREF colour);
    void FollowPathLeft(unsigned int id, unsigned int rayDirection, unsigned int hotSpot, bool show,
                        COLORREF colour);
    void FollowPathUp(unsigned int id, unsigned int rayDirection, unsigned int hotSpot, bool show,
                      COLORREF colour);
    void FollowPathDown(unsigned int id, unsigned int rayDirection, unsigned int hotSpot, bool show,
                        COLORREF colour);

    // ---- path state machines ----
    PathStateMachineTraverser* Traverser() const { return m_Traverser; }
    void ApplyPathStateMachine(int i);
    void ChangePathState(unsigned int state);
    void ShortestPath(unsigned int station);
    void StopShortestPath();
    bool EndOfShortestPath();
    void EnablePath(bool on);
    bool EnablePath();
    // With true, the traverser's nearest station; with false, the station nearest to hot
    // spot 0.
    int NearestStationNumber(bool own);
    bool CollisionWithPath() const { return m_CollisionWithPath; }
    // Re-enables a switched-off path once the sprite meets one of its segments again.
    void UpdatePSM();
    bool TestPSMCollision();
    // Draws the network of the sprite's path machine.
    void DisplayPath(bool show, COLORREF colour);

    // ---- alarms ----
    // Sets off the watched alarms whose shapes the sprite's box touches this frame.
    void HandleAlarms();

    // ---- hot spots (0 to 4) of the frame shown, relative to the sprite's position ----
    float HotSpotX(int n);
    float HotSpotY(int n);
    KivPoint HotSpot(int n);

    // ---- queries about other sprites ----
    float Distance(Sprite* other);
    float DistanceX(Sprite* other);
    float DistanceY(Sprite* other);
    float DifferenceX(Sprite* other);
    float DifferenceY(Sprite* other);
    bool Left(Sprite* other);
    bool Right(Sprite* other);
    bool Up(Sprite* other);
    bool Down(Sprite* other);
    bool SameHFlip(Sprite* other);
    bool SameVFlip(Sprite* other);
    int FrameCenterX();
    int FrameCenterY();

    // ---- the geometry shown: frame, orientation row and surface ----
    // The frame of the requested animation at the current frame index; null without one.
    FrameElem* RequestedFrame() const;
    // The frame of the current animation at the current frame index; null without one.
    FrameElem* CurrentFrame() const;
    // The orientation row of the flips shown (as drawn, left-right, top-bottom, both).
    int ShownRow() const;

    // ---- network players: their input, as their messages bring it ----
    bool IsActiveNetworkPlayer() const { return m_NetworkPlayer && m_NetworkActive; }
    // Queues a copy of one received item (kind 9 keys, kind 10 mouse records).
    void AddToQ(unsigned char kind, unsigned char* data, unsigned int length);
    // Once a frame: applies the queued items to the copies of the keyboard and the mouse.
    void HandleQ();
    void ClearQ();
    void Keyboard_Reset();
    void Mouse_Reset();
    // The copies the queries read: a sprite whose messages were never applied has nothing
    // pressed.
    const kiv::PlayerInput& Input() const;
    bool Keyboard_IsPressed(unsigned char k) const { return Input().keys[k].pressed; }
    bool Keyboard_IsNotPressed(unsigned char k) const { return !Input().keys[k].pressed; }
    bool Keyboard_IsTriggered(unsigned char k) const { return Input().keys[k].triggered; }
    bool Keyboard_IsNotTriggered(unsigned char k) const { return !Input().keys[k].triggered; }
    unsigned int Keyboard_TapCounter(unsigned char k);
    unsigned int Keyboard_HoldCounter(unsigned char k) const { return Input().keys[k].framesHeld; }
    bool Keyboard_Nothing() const { return !Keyboard_Any(); }
    bool Keyboard_Any() const;
    bool Keyboard_GetKey(unsigned char& k) const;
    bool Mouse_IsPressed(unsigned char b) const;
    bool Mouse_IsNotPressed(unsigned char b) const { return !Mouse_IsPressed(b); }
    bool Mouse_IsTriggered(unsigned char b) const;
    bool Mouse_IsNotTriggered(unsigned char b) const { return !Mouse_IsTriggered(b); }
    unsigned int Mouse_TapCounter(unsigned char b);
    unsigned int Mouse_HoldCounter(unsigned char b) const;
    bool Mouse_IsDoubleClicked(unsigned char b) const;
    int Mouse_ViewportX() const { return Input().mouse.viewportX; }
    int Mouse_ViewportY() const { return Input().mouse.viewportY; }
    int Mouse_WorldX() const { return Input().mouse.worldX; }
    int Mouse_WorldY() const { return Input().mouse.worldY; }
    int Mouse_RelX() const { return Input().mouse.movedX ? Input().mouse.relX : 0; }
    int Mouse_RelY() const { return Input().mouse.movedY ? Input().mouse.relY : 0; }
    int Mouse_Wheel() const;
    bool Mouse_IsMoving() const { return Input().mouse.movedX || Input().mouse.movedY; }
    bool Mouse_Nothing() const { return !Mouse_Any(); }
    bool Mouse_Any() const;
    bool Mouse_GetKey(unsigned char& b) const;
    bool Mouse_InRect(KivRect* r) const;

    // Fields, in the order the rest of the runtime relies on.
    int m_Id;
    Map* m_Map;
    String m_Name;
    float m_X, m_Y;
    int m_ViewportX, m_ViewportY;
    float m_ScaleX, m_ScaleY;
    float m_CollisionValue;
    unsigned int m_AppliedZOrder;
    bool m_CollisionWithMap;
    bool m_Reflection;

    int m_ActorIndex;
    int m_RequestedAnimation;
    int m_PreviousAnimation;
    int m_CurrentAnimation;
    int m_Frame;
    unsigned int m_Delay;

    bool m_Visible, m_MainCharacter, m_DeleteFlag;
    float m_Friction;
    float m_TranslationX, m_TranslationY;
    float m_Speed;
    float m_DirectionX, m_DirectionY;
    bool m_Canned, m_Pause, m_DoNotCutDirection, m_CannedVDirection, m_CannedHDirection;
    int m_VariableNumber;
    int m_AlarmCount;
    int m_AlarmMaximum;

    bool m_ShownHFlip, m_ShownVFlip, m_RequestedHFlip, m_RequestedVFlip;
    bool m_LastHFlip, m_LastVFlip, m_FlipInitialised, m_AutoFlip;

    bool m_CollisionType, m_ShowSpriteCollision, m_ShowSpriteBoundingBox;
    int m_Orientation, m_PreviousOrientation;
    int m_PathReEnableCounter;
    bool m_ActivateCollisionWithSprite, m_PegRegistered;
    int m_PreviousFrameIndex;
    bool m_GhostCollisionWithSprite, m_GhostCollisionWithMap, m_Unused, m_CheckSameDisplayList;
    bool m_CheckCollisionWithMap, m_CheckCollisionWithSprite;
    unsigned int m_ZOrder;
    float m_MoveFraction;
    CollisionSegment m_LastSegment;
    bool m_ShowVectorOfTranslation;

    // This frame's collision results.
    kiv::StringList m_TouchedNames;
    std::vector<CollisionData*> m_OwnTouched;
    std::vector<CollisionData*> m_MapTouched;
    std::vector<CollisionData*> m_OtherTouched;

    float m_CannedFactorX, m_CannedFactorY;
    bool m_ShowPath, m_ShowMovementPattern, m_RestartSound;
    CollisionSegment* m_FollowedSegment;
    int m_PathFollowing;
    int m_PatternIndex;

    bool m_Gravity;
    float m_G, m_GravitySpeed, m_GravityStartX, m_GravityStartY, m_GravityDirectionX,
        m_GravityDirectionY;
    int m_GravityTime;
    float m_ImpactSpeed;
    float m_GravityFriction;

    bool m_Pending;
    float m_SavedSpeed, m_PendingX, m_PendingY;

    std::vector<Sprite*> m_TouchedSprites;
    bool m_PathReEnable, m_CollisionWithPath;

    MovementPattern* m_Pattern;
    float m_PatternAnchors[4];
    float m_PatternDistance;
    int m_PatternVector;
    bool m_PatternLoop, m_PatternReturn;
    float m_PatternStartX, m_PatternStartY;

    int m_LocalVariableIndex;
    std::vector<Alarm*> m_Alarms;
    std::vector<Variable*> m_Variables;
    PathStateMachineTraverser* m_Traverser;
    int m_DisplayListNumber;
    Behavior m_Behavior;

    // The sprite's place in the collision broad phase of the running sprite pass; -1 when
    // it has none. Kept with the fields the pass reads, ahead of the large input copies.
    int m_CollisionSlot;

    bool m_NetworkPlayer, m_NetworkActive;
    // Made when the player's messages are first applied: kept out of the sprite, which the
    // frame reads through for every sprite, since few sprites are network players.
    std::unique_ptr<kiv::PlayerInput> m_NetworkInput;
    // Filled by the network, guarded by one lock. The first m_QueueCount items are queued;
    // the others keep their buffers for the next frames.
    std::vector<kiv::QueuedInput> m_Queue;
    std::size_t m_QueueCount = 0;

private:
    void CopyFrom(const Sprite& other);
    void ClearVariables();
};

// A sprite that is never null: an unknown name gives a shared, empty default sprite (which
// belongs to a shared default map).
class KIV_API SpritePTR : public kiv::Handle<Sprite, SpritePTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static Sprite* Fallback();
    static Sprite dummySpritePtr;
};

// The sprite the viewport follows: the level's main character, or null.
extern KIV_API Sprite* MainCharacterSprite;
