#include <kiv/base/MemoryPool.h>
#include <kiv/data/Builders.h>
#include <kiv/data/CREATE.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/logic/Alarm.h>
#include <kiv/logic/PathStateMachine.h>
#include <kiv/logic/PathStateMachineTraverser.h>
#include <kiv/sound/Sound.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/sprites/SpriteElem.h>
#include <kiv/variables/Variable.h>

#include "base/LocalVariables.h"
#include "base/Messages.h"
#include "base/PoolAllocation.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "sprites/SpriteBroadPhase.h"
#include "sprites/SpriteGeometry.h"
#include "sprites/SpriteSweep.h"

#include <algorithm>
#include <cstring>

Sprite* MainCharacterSprite = nullptr;

using kiv::sprites::AnimationOf;
using kiv::sprites::FrameOf;

namespace {

CREATE registration("Sprite", Sprite::CreateObject);

MemoryPool& Pool() {
    static MemoryPool pool(sizeof(Sprite), 128, false);
    return pool;
}

unsigned int DelayOf(int actor, int animation, int frame) {
    FrameElem* f = FrameOf(actor, animation, frame);
    return f ? f->m_Delay : 0;
}

void PlaySound(AnimationElem* a) {
    if (a && a->m_SoundEnabled && a->m_Sound)
        a->m_Sound->Play();
}

// Walks the level's display lists 0 to 15, each from head to tail.
template <class Visit>
Sprite* FirstSprite(Visit visit) {
    for (int d = 0; gNode && d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next())
            if (visit(static_cast<Sprite*>(n)))
                return static_cast<Sprite*>(n);
    return nullptr;
}

ViewPort& View() {
    static ViewPort none;
    return gNode ? gNode->GetViewPort() : none;
}

} // namespace

// ---- construction, copies, pool ----

Sprite SpritePTR::dummySpritePtr;

Sprite* SpritePTR::Fallback() {
    // Logic may have moved the default sprite onto a map; it always goes back to the default.
    dummySpritePtr.m_Map = &MapPTR::dummyMapPtr;
    return &dummySpritePtr;
}

void* Sprite::operator new(std::size_t size) {
    return kiv::PoolNew(Pool(), size);
}

void Sprite::operator delete(void* block, std::size_t size) {
    kiv::PoolDelete(Pool(), block, size);
}

Sprite::Sprite()
    : m_Id(0), m_Map(nullptr), m_X(0), m_Y(0), m_ViewportX(0), m_ViewportY(0), m_ScaleX(1),
      m_ScaleY(1), m_CollisionValue(0), m_AppliedZOrder(0), m_CollisionWithMap(false),
      m_Reflection(false), m_ActorIndex(0), m_RequestedAnimation(0), m_PreviousAnimation(0),
      m_CurrentAnimation(0), m_Frame(0), m_Delay(0), m_Visible(true), m_MainCharacter(false),
      m_DeleteFlag(false), m_Friction(0), m_TranslationX(0), m_TranslationY(0), m_Speed(0),
      m_DirectionX(0), m_DirectionY(0), m_Canned(false), m_Pause(false), m_DoNotCutDirection(false),
      m_CannedVDirection(true), m_CannedHDirection(true), m_VariableNumber(0), m_AlarmCount(0),
      m_AlarmMaximum(512), m_ShownHFlip(false), m_ShownVFlip(false), m_RequestedHFlip(false),
      m_RequestedVFlip(false), m_LastHFlip(false), m_LastVFlip(false), m_FlipInitialised(false),
      m_AutoFlip(true), m_CollisionType(true), m_ShowSpriteCollision(false),
      m_ShowSpriteBoundingBox(false), m_Orientation(0), m_PreviousOrientation(0),
      m_PathReEnableCounter(0), m_ActivateCollisionWithSprite(false), m_PegRegistered(false),
      m_PreviousFrameIndex(-1), m_GhostCollisionWithSprite(false), m_GhostCollisionWithMap(false),
      m_Unused(false), m_CheckSameDisplayList(false), m_CheckCollisionWithMap(false),
      m_CheckCollisionWithSprite(false), m_ZOrder(0), m_MoveFraction(1.5f),
      m_ShowVectorOfTranslation(false), m_CannedFactorX(1), m_CannedFactorY(1), m_ShowPath(false),
      m_ShowMovementPattern(false), m_RestartSound(false), m_FollowedSegment(nullptr),
      m_PathFollowing(-1), m_PatternIndex(-1), m_Gravity(false), m_G(0.928f), m_GravitySpeed(0),
      m_GravityStartX(0), m_GravityStartY(0), m_GravityDirectionX(0), m_GravityDirectionY(0),
      m_GravityTime(0), m_ImpactSpeed(0), m_GravityFriction(0), m_Pending(false), m_SavedSpeed(0),
      m_PendingX(0), m_PendingY(0), m_PathReEnable(false), m_CollisionWithPath(false),
      m_Pattern(nullptr), m_PatternAnchors{}, m_PatternDistance(0), m_PatternVector(-1),
      m_PatternLoop(false), m_PatternReturn(false), m_PatternStartX(0), m_PatternStartY(0),
      m_LocalVariableIndex(-1), m_Traverser(nullptr), m_DisplayListNumber(0), m_CollisionSlot(-1),
      m_NetworkPlayer(false), m_NetworkActive(false) {}

Sprite::Sprite(const Sprite& other) : Sprite() {
    CopyFrom(other);
}

Sprite& Sprite::operator=(const Sprite& other) {
    if (&other != this)
        CopyFrom(other);
    return *this;
}

void Sprite::CopyFrom(const Sprite& o) {
    kiv::SpriteBroadPhase::Changed(this);
    // Everything by value first, then the members with their own copy rules.
    Behavior behavior = o.m_Behavior;
    PathStateMachineTraverser* traverser = m_Traverser;
    node* local = localVariable;
    std::vector<Variable*> variables;
    variables.swap(m_Variables);
    std::vector<Sprite*> touched;
    touched.swap(m_TouchedSprites);
    m_Behavior.Clear();
    ClearVariables();

    // Copy the plain fields: the node links and owned members are restored below.
    node* next = this->next;
    node* previous = this->previous;
    m_Id = o.m_Id;
    m_Map = o.m_Map;
    m_Name = o.m_Name;
    m_X = o.m_X, m_Y = o.m_Y;
    m_ViewportX = o.m_ViewportX, m_ViewportY = o.m_ViewportY;
    m_ScaleX = o.m_ScaleX, m_ScaleY = o.m_ScaleY;
    m_CollisionValue = o.m_CollisionValue;
    m_AppliedZOrder = o.m_AppliedZOrder;
    m_CollisionWithMap = o.m_CollisionWithMap;
    m_Reflection = o.m_Reflection;
    m_ActorIndex = o.m_ActorIndex;
    m_RequestedAnimation = o.m_RequestedAnimation;
    m_PreviousAnimation = o.m_PreviousAnimation;
    m_CurrentAnimation = o.m_CurrentAnimation;
    m_Frame = o.m_Frame;
    m_Delay = o.m_Delay;
    m_Visible = o.m_Visible, m_MainCharacter = o.m_MainCharacter;
    m_DeleteFlag = o.m_DeleteFlag;
    m_Friction = o.m_Friction;
    m_TranslationX = o.m_TranslationX, m_TranslationY = o.m_TranslationY;
    m_Speed = o.m_Speed;
    m_DirectionX = o.m_DirectionX, m_DirectionY = o.m_DirectionY;
    m_Canned = o.m_Canned, m_Pause = o.m_Pause, m_DoNotCutDirection = o.m_DoNotCutDirection;
    m_CannedVDirection = o.m_CannedVDirection, m_CannedHDirection = o.m_CannedHDirection;
    m_AlarmCount = o.m_AlarmCount, m_AlarmMaximum = o.m_AlarmMaximum;
    m_ShownHFlip = o.m_ShownHFlip, m_ShownVFlip = o.m_ShownVFlip;
    m_RequestedHFlip = o.m_RequestedHFlip, m_RequestedVFlip = o.m_RequestedVFlip;
    m_LastHFlip = o.m_LastHFlip, m_LastVFlip = o.m_LastVFlip;
    m_FlipInitialised = o.m_FlipInitialised, m_AutoFlip = o.m_AutoFlip;
    m_CollisionType = o.m_CollisionType;
    m_ShowSpriteCollision = o.m_ShowSpriteCollision;
    m_ShowSpriteBoundingBox = o.m_ShowSpriteBoundingBox;
    m_Orientation = o.m_Orientation, m_PreviousOrientation = o.m_PreviousOrientation;
    m_PathReEnableCounter = o.m_PathReEnableCounter;
    m_ActivateCollisionWithSprite = o.m_ActivateCollisionWithSprite;
    m_PegRegistered = o.m_PegRegistered;
    m_PreviousFrameIndex = o.m_PreviousFrameIndex;
    m_GhostCollisionWithSprite = o.m_GhostCollisionWithSprite;
    m_GhostCollisionWithMap = o.m_GhostCollisionWithMap;
    m_Unused = o.m_Unused, m_CheckSameDisplayList = o.m_CheckSameDisplayList;
    m_CheckCollisionWithMap = o.m_CheckCollisionWithMap;
    m_CheckCollisionWithSprite = o.m_CheckCollisionWithSprite;
    m_ZOrder = o.m_ZOrder;
    m_MoveFraction = 1.5f;
    m_LastSegment = o.m_LastSegment ? o.m_LastSegment : CollisionSegment();
    m_ShowVectorOfTranslation = o.m_ShowVectorOfTranslation;
    m_TouchedNames = o.m_TouchedNames;
    m_OwnTouched = o.m_OwnTouched;
    m_MapTouched = o.m_MapTouched;
    m_OtherTouched = o.m_OtherTouched;
    m_CannedFactorX = o.m_CannedFactorX, m_CannedFactorY = o.m_CannedFactorY;
    m_ShowPath = o.m_ShowPath, m_ShowMovementPattern = o.m_ShowMovementPattern;
    m_RestartSound = o.m_RestartSound;
    m_FollowedSegment = o.m_FollowedSegment;
    m_PathFollowing = o.m_PathFollowing;
    m_PatternIndex = o.m_PatternIndex;
    m_Gravity = o.m_Gravity;
    m_G = o.m_G, m_GravitySpeed = o.m_GravitySpeed;
    m_GravityStartX = o.m_GravityStartX, m_GravityStartY = o.m_GravityStartY;
    m_GravityDirectionX = o.m_GravityDirectionX, m_GravityDirectionY = o.m_GravityDirectionY;
    m_GravityTime = o.m_GravityTime, m_ImpactSpeed = o.m_ImpactSpeed;
    m_GravityFriction = o.m_GravityFriction;
    m_Pending = o.m_Pending, m_SavedSpeed = o.m_SavedSpeed;
    m_PendingX = o.m_PendingX, m_PendingY = o.m_PendingY;
    m_PathReEnable = o.m_PathReEnable, m_CollisionWithPath = o.m_CollisionWithPath;
    m_Pattern = o.m_Pattern;
    std::copy(std::begin(o.m_PatternAnchors), std::end(o.m_PatternAnchors), m_PatternAnchors);
    m_PatternDistance = o.m_PatternDistance, m_PatternVector = o.m_PatternVector;
    m_PatternLoop = o.m_PatternLoop, m_PatternReturn = o.m_PatternReturn;
    m_PatternStartX = o.m_PatternStartX, m_PatternStartY = o.m_PatternStartY;
    m_LocalVariableIndex = o.m_LocalVariableIndex;
    m_Alarms = o.m_Alarms;
    m_DisplayListNumber = o.m_DisplayListNumber;
    m_NetworkPlayer = o.m_NetworkPlayer, m_NetworkActive = o.m_NetworkActive;
    m_NetworkInput =
        o.m_NetworkInput ? std::make_unique<kiv::PlayerInput>(*o.m_NetworkInput) : nullptr;
    this->next = next;
    this->previous = previous;

    m_Behavior = behavior;
    delete traverser;
    m_Traverser = o.m_Traverser ? new PathStateMachineTraverser(*o.m_Traverser) : nullptr;
    delete local;
    localVariable = o.localVariable ? o.localVariable->Clone() : nullptr;
    for (Variable* v : variables)
        delete v;
    m_VariableNumber = o.m_VariableNumber;
    for (Variable* v : o.m_Variables)
        m_Variables.push_back(new Variable(*v));
    // The copy touches what the original touched, and each of those sprites touches it.
    m_TouchedSprites = o.m_TouchedSprites;
    for (Sprite* s : m_TouchedSprites)
        if (s && s != this)
            s->m_TouchedSprites.push_back(this);
}

void Sprite::ClearVariables() {
    for (Variable* v : m_Variables)
        delete v;
    m_Variables.clear();
}

Sprite::~Sprite() {
    kiv::SpriteBroadPhase::Forget(this);
    ClearQ();
    delete m_Traverser;
    delete localVariable;
    ClearVariables();
    if (MainCharacterSprite == this)
        MainCharacterSprite = nullptr;
}

node* Sprite::Clone() {
    return new Sprite(*this);
}

node* Sprite::CreateObject() {
    return new Sprite;
}

const char* Sprite::ClassName() {
    return "Sprite";
}

// ---- identity and lookup ----

Sprite* Sprite::Search(const char* name) {
    if (!name || std::strcmp(name, "KIV_CURSOR") == 0)
        return nullptr;
    if (std::strcmp(name, "KIV_CURSOR_ROSRUC_") == 0)
        return FirstSprite([](Sprite* s) { return s->m_ZOrder == CursorZOrder; });
    Sprite* found = FirstSprite([&](Sprite* s) { return s->m_Name == name; });
    if (!found)
        kiv::ReportUserError("Sprite* Sprite::Search(const char *)", 68, name);
    return found;
}

Sprite* Sprite::Search(const int id) {
    if (id < 1)
        return nullptr;
    Sprite* found = FirstSprite([&](Sprite* s) { return s->m_Id == id; });
    if (!found)
        kiv::ReportUserError("Sprite* Sprite::Search(const int)", 69, id);
    return found;
}

void Sprite::Use(const char* name) {
    Sprite* found =
        name ? FirstSprite([&](Sprite* s) { return s->m_Unused && s->m_Name == name; }) : nullptr;
    if (found)
        found->m_Unused = false;
    else
        kiv::ReportUserError("void Sprite::Use(const char *)", 68, name ? name : "");
}

void Sprite::Visible(const char* name, bool visible) {
    if (Sprite* s = Search(name))
        s->Visible(visible);
    else
        kiv::ReportUserError("void Sprite::Visible(const char *,bool)", 68, name ? name : "");
}

void Sprite::Name(const char* name) {
    if (name)
        m_Name = name;
}

void Sprite::Unused(bool on) {
    m_Unused = on;
    if (!on && m_MainCharacter)
        MainCharacterSprite = this;
}

// ---- actor and animation ----

FrameElem* Sprite::RequestedFrame() const {
    return FrameOf(m_ActorIndex, Animation(), m_Frame);
}

FrameElem* Sprite::CurrentFrame() const {
    return FrameOf(m_ActorIndex, m_CurrentAnimation, m_Frame);
}

int Sprite::ShownRow() const {
    if (m_ShownHFlip && m_ShownVFlip)
        return FrameElem::BothWays;
    if (m_ShownHFlip)
        return FrameElem::LeftRight;
    return m_ShownVFlip ? FrameElem::TopBottom : FrameElem::AsDrawn;
}

void Sprite::ActorIndex(int i) {
    kiv::SpriteBroadPhase::Changed(this);
    if (i < 0) {
        kiv::ReportUserError("void Sprite::ActorIndex(int)", 75);
        return;
    }
    if (i >= SpriteElem::MaxActors) {
        kiv::ReportUserError("void Sprite::ActorIndex(int)", 76, i);
        return;
    }
    m_ActorIndex = i;
    m_CurrentAnimation = 0;
    m_Frame = 0;
    m_Delay = DelayOf(i, 0, 0);
    m_RestartSound = true;
}

int Sprite::TotalAnimations() const {
    return m_ActorIndex >= 0 && m_ActorIndex < SpriteElem::MaxActors
               ? SpriteList[m_ActorIndex].m_AnimationCount
               : 0;
}

int Sprite::TotalFrames() const {
    AnimationElem* a = AnimationOf(m_ActorIndex, m_CurrentAnimation);
    return a ? a->m_FrameCount : 0;
}

namespace {

// The checks of an animation number shared by the animation operations.
bool ValidAnimation(const Sprite& s, int a, const char* function, int negativeMessage) {
    if (a < 0) {
        kiv::ReportUserError(function, negativeMessage);
        return false;
    }
    if (a >= s.TotalAnimations()) {
        kiv::ReportUserError(function, 72, a);
        return false;
    }
    return true;
}

} // namespace

void Sprite::Animation(int a) {
    kiv::SpriteBroadPhase::Changed(this);
    if (!ValidAnimation(*this, a, "void Sprite::Animation(int)", 71))
        return;
    m_PreviousFrameIndex = m_Frame;
    if (AnimationOf(m_ActorIndex, a)->m_FrameCount <= m_Frame)
        m_Frame = 0;
    m_RequestedAnimation = a;
    m_PreviousAnimation = m_CurrentAnimation;
    if (m_CurrentAnimation != a)
        m_Delay = DelayOf(m_ActorIndex, a, m_Frame);
}

void Sprite::Frame(int f) {
    kiv::SpriteBroadPhase::Changed(this);
    if (f < 0) {
        kiv::ReportUserError("void Sprite::Frame(int)", 73);
        return;
    }
    AnimationElem* a = AnimationOf(m_ActorIndex, Animation());
    if (!a || f >= a->m_FrameCount) {
        kiv::ReportUserError("void Sprite::Frame(int)", 74, f);
        return;
    }
    m_Frame = f;
    m_Delay = a->m_Frames[f].m_Delay;
}

bool Sprite::EndOfAnimation(int a) {
    if (!ValidAnimation(*this, a, "bool Sprite::EndOfAnimation(int)", 71))
        return false;
    return a == m_CurrentAnimation && m_Frame == TotalFrames() - 1 && m_Delay == 0;
}

void Sprite::UpdateAnimation() {
    kiv::SpriteBroadPhase::Changed(this);
    AnimationElem* a;
    if (m_RequestedAnimation != m_CurrentAnimation) {
        m_CurrentAnimation = m_RequestedAnimation;
        m_Delay = DelayOf(m_ActorIndex, m_CurrentAnimation, m_Frame);
        a = AnimationOf(m_ActorIndex, m_CurrentAnimation);
        PlaySound(a);
        m_RestartSound = false;
    } else {
        a = AnimationOf(m_ActorIndex, m_CurrentAnimation);
        if (m_RestartSound) {
            PlaySound(a);
            m_RestartSound = false;
        }
    }
    if (m_Delay != 0) {
        --m_Delay;
        return;
    }
    int frames = a ? a->m_FrameCount : 0;
    if (m_Frame >= frames - 1) {
        if (frames <= 1)
            m_Frame = 0;
        else
            m_Frame = a->m_LoopFrame >= 0 && a->m_LoopFrame < frames ? a->m_LoopFrame : frames - 1;
        if (a && a->m_LoopSound)
            PlaySound(a);
    } else {
        ++m_Frame;
    }
    m_Delay = DelayOf(m_ActorIndex, m_CurrentAnimation, m_Frame);
}

namespace {

AnimationElem* SoundAnimation(Sprite& s, int a, const char* function) {
    return ValidAnimation(s, a, function, 98) ? AnimationOf(s.ActorIndex(), a) : nullptr;
}

} // namespace

void Sprite::ChangeSFX(int animation, const char* sound) {
    AnimationElem* a = SoundAnimation(*this, animation, "void Sprite::ChangeSFX(int,const char *)");
    if (!a)
        return;
    if (Sound* s = Sound::Search(sound))
        a->m_Sound = s;
    else
        kiv::ReportUserError("void Sprite::ChangeSFX(int,const char *)", 99, sound ? sound : "");
}

void Sprite::DeleteSFX(int animation) {
    if (AnimationElem* a = SoundAnimation(*this, animation, "void Sprite::DeleteSFX(int)"))
        a->m_Sound = nullptr;
}

void Sprite::AnimationLoopSFX(int animation, bool loop) {
    if (AnimationElem* a =
            SoundAnimation(*this, animation, "void Sprite::AnimationLoopSFX(int,bool)"))
        a->m_LoopSound = loop;
}

void Sprite::AnimationSoundStatus(int animation, bool enabled) {
    if (AnimationElem* a =
            SoundAnimation(*this, animation, "void Sprite::AnimationSoundStatus(int,bool)"))
        a->m_SoundEnabled = enabled;
}

// ---- flipping ----

void Sprite::FlipSet() {
    kiv::SpriteBroadPhase::Changed(this);
    FrameElem* f = RequestedFrame();
    bool canH = f && f->m_FlipHorizontally, canV = f && f->m_FlipVertically;
    if (!canH)
        m_ShownHFlip = false;
    else if (m_DirectionX < 0)
        m_ShownHFlip = true;
    else if (m_DirectionX > 0)
        m_ShownHFlip = false;
    if (!canV)
        m_ShownVFlip = false;
    else if (m_DirectionY < 0)
        m_ShownVFlip = true;
    else if (m_DirectionY > 0)
        m_ShownVFlip = false;
    if (!m_AutoFlip) {
        m_ShownHFlip = m_RequestedHFlip;
        m_ShownVFlip = m_RequestedVFlip;
    }
}

void Sprite::HandleLastFlipPR() {
    m_LastHFlip = m_ShownHFlip;
    m_LastVFlip = m_ShownVFlip;
}

// ---- drawing ----

bool Sprite::InViewport() {
    FrameElem* f = RequestedFrame();
    int w = f ? f->m_Width : 0, h = f ? f->m_Height : 0;
    return m_ViewportX + w >= 0 && m_ViewportY + h >= 0 &&
           static_cast<float>(m_ViewportY) <= View().Height() &&
           static_cast<float>(m_ViewportX) <= View().Width();
}

void Sprite::PlaceOnScreen() {
    float mapX = 0, mapY = 0;
    if (m_Map && m_Map->Type() != Map::Wrapped) {
        mapX = m_Map->WorldPositionX();
        mapY = m_Map->WorldPositionY();
    }
    m_ViewportX = static_cast<int>(mapX + m_X - View().WorldXPos());
    m_ViewportY = static_cast<int>(mapY + m_Y - View().WorldYPos());
}

void Sprite::DisplaySprite() {
    if (kiv::GamePaused)
        return;
    FrameElem* f = CurrentFrame();
    if (m_Visible && f && InViewport()) {
        int slot = FrameElem::SurfaceAsDrawn;
        if (m_ShownHFlip && m_ShownVFlip && f->m_FlipHorizontally && f->m_FlipVertically)
            slot = FrameElem::SurfaceBoth;
        else if (m_ShownVFlip && f->m_FlipVertically)
            slot = FrameElem::SurfaceTopBottom;
        else if (m_ShownHFlip && f->m_FlipHorizontally)
            slot = FrameElem::SurfaceLeftRight;
        unsigned int flags =
            f->m_Transparent ? static_cast<unsigned int>(kiv::Surface::UseColorKey) : 0u;
        for (int attempt = 0; attempt < 2; ++attempt) {
            kiv::Surface* back = kiv::BackBuffer();
            kiv::Surface* image = f->m_Surfaces[slot];
            if (!back || !image)
                break;
            KivRect whole = {0, 0, std::min(f->m_Width, image->Width()),
                             std::min(f->m_Height, image->Height())};
            if (back->Blit(m_ViewportX, m_ViewportY, *image, whole, flags) !=
                kiv::Surface::Result::Lost)
                break;
            kiv::RestoreGraphics();
        }
    }
    // The debug drawings, whether or not the sprite was drawn.
    if (m_ShowSpriteCollision)
        ShowSpriteCollision(COLORREF{0xFF00});
    if (m_ShowSpriteBoundingBox)
        ShowSpriteBoundingBox(COLORREF{0xFFFFFF});
    DisplayPath(m_ShowPath, 255);
}

void Sprite::ShowSpriteCollision(COLORREF colour) {
    List* shapes = kiv::sweep::ShownShapes(*this);
    if (!shapes || !pDraw)
        return;
    float x = kiv::sweep::WorldX(*this), y = kiv::sweep::WorldY(*this);
    for (node* n = shapes->Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (shape->Type() == CollisionData::SegmentType) {
            auto* s = static_cast<CollisionSegment*>(shape);
            pDraw->Line(x + s->OriginX(), y + s->OriginY(), x + s->EndX(), y + s->EndY(), colour);
        } else {
            auto* c = static_cast<CollisionCircle*>(shape);
            pDraw->Circle(x + c->OriginX(), y + c->OriginY(), c->Radius(), colour);
        }
    }
}

void Sprite::ShowSpriteBoundingBox(COLORREF colour) {
    if (!CurrentFrame() || !pDraw)
        return;
    kiv::sweep::Box b = kiv::sweep::BoxNow(*this);
    pDraw->Line(b.left, b.top, b.right, b.top, colour);
    pDraw->Line(b.right, b.top, b.right, b.bottom, colour);
    pDraw->Line(b.right, b.bottom, b.left, b.bottom, colour);
    pDraw->Line(b.left, b.bottom, b.left, b.top, colour);
}

// ---- maps and alarms ----

void Sprite::BelongToMap(const char* name) {
    kiv::SpriteBroadPhase::Changed(this);
    const char* function = "void Sprite::BelongToMap(const char *)";
    Map* map = Map::Search(name);
    if (!map) {
        kiv::ReportUserError(function, 82, name ? name : "", m_Name.operator const char*());
        return;
    }
    if (map->Type() == Map::Wrapped) {
        kiv::ReportUserError(function, 81, name, m_Name.operator const char*());
        return;
    }
    m_Map = map;
    m_AlarmCount -= static_cast<int>(m_Alarms.size());
    m_Alarms.clear();
}

const char* Sprite::BelongToMap() const {
    return m_Map ? m_Map->Name() : nullptr;
}

void Sprite::BelongToMapPtr(Map* map) {
    kiv::SpriteBroadPhase::Changed(this);
    if (!map) {
        kiv::ReportUserError("void Sprite::BelongToMap(Map *)", 83);
        return;
    }
    m_Map = map;
}

bool Sprite::AddAlarm(const char* name) {
    if (!m_Map || !name)
        return false;
    for (node* n = m_Map->Alarms().Head(); !n->EOList(); n = n->Next()) {
        auto* alarm = static_cast<Alarm*>(n);
        if (std::strcmp(alarm->Name(), name) == 0) {
            m_Alarms.push_back(alarm);
            ++m_AlarmCount;
            return true;
        }
    }
    return false;
}

// ---- local variables ----

void Sprite::VariableNumber(int n) {
    // No game keeps more local variables on a sprite; a larger number is damaged data.
    constexpr int MostVariables = 1 << 16;
    if (n < 0 || n > MostVariables)
        return;
    m_VariableNumber = n;
    while (static_cast<int>(m_Variables.size()) > n) {
        delete m_Variables.back();
        m_Variables.pop_back();
    }
    while (static_cast<int>(m_Variables.size()) < n)
        m_Variables.push_back(new Variable);
}

Variable* Sprite::LocalVariable(int i) {
    return i >= 0 && i < static_cast<int>(m_Variables.size()) ? m_Variables[static_cast<size_t>(i)]
                                                              : nullptr;
}

void Sprite::AddLocalVariable(unsigned int index) {
    if (kiv::AddLocalVariable(localVariable, index))
        m_LocalVariableIndex = static_cast<int>(index);
    else
        kiv::ReportUserError("void Sprite::AddLocalVariable(unsigned int index)", 1, index);
}

void Sprite::UpdateLocalVariables() {
    for (Variable* v : m_Variables)
        v->GetBehavior().Update(v);
}

// ---- copies and per-frame results ----

Sprite* Sprite::CreateSprite() {
    auto* copy = new Sprite(*this);
    copy->m_NetworkPlayer = copy->m_NetworkActive = false;
    copy->Keyboard_Reset();
    copy->Mouse_Reset();
    if (!gNode || !gNode->Add(copy))
        return nullptr;
    copy->m_RestartSound = true;
    copy->m_MainCharacter = false;
    return copy;
}

// ---- hot spots ----

namespace {

// Hot spot n of the frame shown, or null after the user error (numbers run 0 to 4).
const KivPoint* ShownHotSpot(Sprite& s, int n, const char* function) {
    if (n < 0 || n > 4) {
        kiv::ReportUserError(function, 84, 4);
        return nullptr;
    }
    FrameElem* f = s.RequestedFrame();
    return f ? &f->m_HotSpots[s.ShownRow()][n] : nullptr;
}

} // namespace

float Sprite::HotSpotX(int n) {
    const KivPoint* p = ShownHotSpot(*this, n, "float Sprite::HotSpotX(int)");
    if (!p)
        return 0;
    return static_cast<float>(p->x) - (m_PegRegistered ? static_cast<float>(FrameCenterX()) : 0);
}

float Sprite::HotSpotY(int n) {
    const KivPoint* p = ShownHotSpot(*this, n, "float Sprite::HotSpotY(int)");
    if (!p)
        return 0;
    return static_cast<float>(p->y) - (m_PegRegistered ? static_cast<float>(FrameCenterY()) : 0);
}

KivPoint Sprite::HotSpot(int n) {
    const KivPoint* p = ShownHotSpot(*this, n, "KivPoint Sprite::HotSpot(int)");
    if (!p)
        return {0, 0};
    if (!m_PegRegistered)
        return *p;
    return {p->x - FrameCenterX(), p->y - FrameCenterY()};
}

// ---- alarms ----

void Sprite::HandleAlarms() {
    FrameElem* f = CurrentFrame();
    if (!f || m_Alarms.empty())
        return;
    const KivRect& b = f->m_BoundingBox[ShownRow()];
    auto x = static_cast<float>(static_cast<int>(m_X)),
         y = static_cast<float>(static_cast<int>(m_Y));
    float left = x + static_cast<float>(b.left), top = y + static_cast<float>(b.top);
    float right = x + static_cast<float>(b.right), bottom = y + static_cast<float>(b.bottom);
    for (Alarm* alarm : m_Alarms) {
        alarm->m_Sprite = nullptr;
        if (!alarm->Active() || alarm->Shapes().Count() == 0)
            continue;
        bool touched = false;
        for (node* n = alarm->Shapes().Head(); !n->EOList() && !touched; n = n->Next()) {
            auto* shape = static_cast<CollisionData*>(n);
            if (shape->Type() == CollisionData::SegmentType) {
                auto* s = static_cast<CollisionSegment*>(shape);
                // A sprite heading along the segment's normal passes through it.
                touched = s->TouchesRectangle(left, top, right, bottom) &&
                          s->NormalX() * -m_DirectionX + s->NormalY() * -m_DirectionY >= 0;
            } else {
                touched = shape->TouchesRectangle(left, top, right, bottom);
            }
        }
        if (!touched) {
            if (alarm->m_OnceState != 0)
                alarm->m_OnceState = 1;
            continue;
        }
        if (alarm->m_OnceState == 2)
            continue;
        if (alarm->m_OnceState == 1)
            alarm->m_OnceState = 2;
        alarm->m_Sprite = this;
        alarm->GetBehavior().Update(alarm);
    }
}
