#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/input/KivCursor.h>
#include <kiv/input/Mouse.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/sprites/SpriteElem.h>

#include "base/LocalVariables.h"
#include "base/Messages.h"
#include "graphics/Display.h"

#include <algorithm>

KivCursor* pKivCursor = nullptr;

namespace {

CREATE registration("KivCursor", KivCursor::CreateObject);

// The cursor's sprite lives in the last display list, above everything else.
constexpr int CursorDisplayList = 15;

float ViewWorldX() {
    return gNode ? gNode->GetViewPort().WorldXPos() : 0;
}
float ViewWorldY() {
    return gNode ? gNode->GetViewPort().WorldYPos() : 0;
}

// The largest screen position of an axis the viewport shows: its size less one.
unsigned int Limit(float size, unsigned int wanted) {
    return size >= 1 ? static_cast<unsigned int>(size) - 1 : wanted;
}

} // namespace

KivCursor* NewKivCursor() {
    return new KivCursor;
}

KivCursor::KivCursor()
    : m_Name("KIV_CURSOR"), m_Sprite(nullptr),
      m_ViewportX(static_cast<unsigned int>(kiv::ModeWidth / 2)),
      m_ViewportY(static_cast<unsigned int>(kiv::ModeHeight / 2)), m_CollisionType(false),
      m_ActorIndex(DefaultActorIndex), m_LocalVariableIndex(-1) {}

KivCursor::~KivCursor() {
    delete localVariable;
    if (pKivCursor == this)
        pKivCursor = nullptr;
}

node* KivCursor::CreateObject() {
    return new KivCursor;
}

const char* KivCursor::ClassName() {
    return "KivCursor";
}

void KivCursor::DefaultActor() {
    SpriteElem& actor = SpriteList[DefaultActorIndex];
    actor.Animations(1);
    AnimationElem& animation = actor.m_Animations[0];
    animation.Frames(1);
    FrameElem& f = animation.m_Frames[0];
    f.m_ImageName = "TEXTSCURSOR";
    f.m_Width = 10;
    f.m_Height = 19;
    f.m_TransparentColor = 0xFFFFFF;
    f.m_Transparent = true;
    f.m_HotSpots[FrameElem::AsDrawn][0] = {5, 9};
    f.m_BoundingBox[FrameElem::AsDrawn] = {0, 0, 8, 8};
    f.AddCollisionData(CollisionCircle(4, 4, 3, 0, 0));
}

void KivCursor::AddSpriteCursor(unsigned int actorIndex, unsigned int animation, unsigned int frame,
                                bool collisionType) {
    AddSpriteCursor(actorIndex, collisionType);
    if (m_Sprite) {
        m_Sprite->Animation(static_cast<int>(animation));
        m_Sprite->Frame(static_cast<int>(frame));
    }
}

void KivCursor::AddSpriteCursor(unsigned int actorIndex, bool collisionType) {
    if (!gNode)
        return;
    unsigned int actor = actorIndex;
    if (actor == DefaultActorAlias)
        actor = DefaultActorIndex;
    // Every level switch releases the actors; the arrow is made again when a level uses it.
    if (actor == DefaultActorIndex && SpriteList[DefaultActorIndex].m_AnimationCount == 0)
        DefaultActor();

    Sprite s;
    s.Name("KIV_CURSOR");
    s.DisplayListNumber(CursorDisplayList);
    s.CheckSameDisplayList(true);
    s.ZOrder(Sprite::CursorZOrder);
    // The cursor notices what it passes over and never blocks anything. Its own sprite
    // checks need it active as well; other sprites never test it, as it belongs to no map.
    s.GhostCollisionWithSprite(true);
    s.GhostCollisionWithMap(true);
    s.ActivateCollisionWithSprite(true);
    s.CheckCollisionWithSprite(true);
    s.CheckCollisionWithMap(true);
    s.ShowSpriteCollision(false);
    s.ShowSpriteBoundingBox(false);
    LocateMouse();
    s.MapPosition(ViewWorldX() + static_cast<float>(m_ViewportX),
                  ViewWorldY() + static_cast<float>(m_ViewportY));
    s.CollisionType(collisionType);
    s.Unused(true); // hidden until the game shows its cursor
    s.ActorIndex(static_cast<int>(actor));
    gNode->Add(s);

    m_Sprite = Sprite::Search("KIV_CURSOR_ROSRUC_");
    m_ActorIndex = actorIndex;
    m_CollisionType = collisionType;
    pKivCursor = this;
}

void KivCursor::Animation(unsigned int a) {
    if (m_Sprite)
        m_Sprite->Animation(static_cast<int>(a));
}

unsigned int KivCursor::Animation() {
    return m_Sprite ? static_cast<unsigned int>(m_Sprite->Animation()) : 0;
}

void KivCursor::Frame(unsigned int f) {
    if (m_Sprite)
        m_Sprite->Frame(static_cast<int>(f));
}

unsigned int KivCursor::Frame() {
    return m_Sprite ? static_cast<unsigned int>(m_Sprite->Frame()) : 0;
}

void KivCursor::Delay(unsigned int d) {
    if (m_Sprite)
        m_Sprite->Delay(d);
}

unsigned int KivCursor::Delay() {
    return m_Sprite ? m_Sprite->Delay() : 0;
}

// The cursor's sprite answers from this frame's collision results; being the cursor, it is
// asked about any collision ID without checking that its map has one.
bool KivCursor::CollisionWithSprite(const char* name) {
    return m_Sprite && m_Sprite->CollisionWithSprite(name);
}

bool KivCursor::CollisionWithMap() {
    return m_Sprite && m_Sprite->CollisionWithMap();
}

bool KivCursor::CollisionWithMap(int id) {
    return m_Sprite && m_Sprite->CollisionWithMap(id);
}

void KivCursor::ShowCollisionData(bool on) {
    if (m_Sprite)
        m_Sprite->ShowSpriteCollision(on);
}

void KivCursor::ShowBoundingBox(bool on) {
    if (m_Sprite)
        m_Sprite->ShowSpriteBoundingBox(on);
}

// The sprite goes to the position asked for.
void KivCursor::PlaceX(unsigned int x, bool move) {
    m_ViewportX = std::min(x, Limit(gNode ? gNode->GetViewPort().Width() : 0, x));
    if (m_Sprite)
        m_Sprite->MapPositionX(ViewWorldX() + static_cast<float>(x), move);
}

void KivCursor::PlaceY(unsigned int y, bool move) {
    m_ViewportY = std::min(y, Limit(gNode ? gNode->GetViewPort().Height() : 0, y));
    if (m_Sprite)
        m_Sprite->MapPositionY(ViewWorldY() + static_cast<float>(y), move);
}

// The sprite is drawn at the cursor's screen position, which the motion step leaves alone,
// and the mouse is placed there.
void KivCursor::Follow() {
    if (m_Sprite) {
        m_Sprite->m_ViewportX = static_cast<int>(m_ViewportX);
        m_Sprite->m_ViewportY = static_cast<int>(m_ViewportY);
    }
    LocateMouse();
}

void KivCursor::LocateMouse() {
    if (pMouse)
        pMouse->Locate(m_ViewportX, m_ViewportY);
}

void KivCursor::ViewportPositionX(unsigned int x, bool move) {
    PlaceX(x, move);
    Follow();
}

void KivCursor::ViewportPositionY(unsigned int y, bool move) {
    PlaceY(y, move);
    Follow();
}

void KivCursor::ViewportPosition(unsigned int x, unsigned int y, bool move) {
    PlaceX(x, move);
    PlaceY(y, move);
    Follow();
}

bool KivCursor::IsTriggeredOnSprite(const char* name, unsigned char b) {
    return CollisionWithSprite(name) && pMouse && pMouse->IsTriggered(b);
}

bool KivCursor::IsPressedOnSprite(const char* name, unsigned char b) {
    return CollisionWithSprite(name) && pMouse && pMouse->IsPressed(b);
}

bool KivCursor::IsTriggeredOnMap(int id, unsigned char b) {
    return CollisionWithMap(id) && pMouse && pMouse->IsTriggered(b);
}

bool KivCursor::IsPressedOnMap(int id, unsigned char b) {
    return CollisionWithMap(id) && pMouse && pMouse->IsPressed(b);
}

bool KivCursor::InRect(KivRect r) {
    return pMouse && pMouse->InRect(&r);
}

void KivCursor::__InternalCursorFct() {
    if (!pMouse)
        return;
    auto x = pMouse->WorldX() - static_cast<int>(ViewWorldX());
    auto y = pMouse->WorldY() - static_cast<int>(ViewWorldY());
    ViewportPosition(static_cast<unsigned int>(x), static_cast<unsigned int>(y), true);
}

void KivCursor::AddLocalVariable(unsigned int index) {
    if (!kiv::AddLocalVariable(localVariable, index))
        kiv::ReportUserError("void KivCursor::AddLocalVariable(unsigned int index)", 1, index);
    else
        m_LocalVariableIndex = static_cast<int>(index);
}

void KivCursor::Save(File& f) {
    m_Name.Save(f);
    f.Write(m_CollisionType);
    f.Write(m_ActorIndex);
    m_Behavior.Save(f);
    f.Write(m_ViewportX);
    f.Write(m_ViewportY);
    f.Write(m_LocalVariableIndex);
    f.Write(localVariable);
}

void KivCursor::Load(File& f) {
    LoadRecord(f, true);
}

void KivCursor::LoadRecord(File& f, bool makeSprite) {
    m_Name.Load(f);
    f.Read(m_CollisionType);
    f.Read(m_ActorIndex);
    m_Behavior.Load(f);
    f.Read(m_ViewportX);
    f.Read(m_ViewportY);
    // A level read back from a save already holds the cursor's sprite; otherwise a fresh one
    // shows the first frame of the actor's first animation.
    if ((m_Sprite = Sprite::Search("KIV_CURSOR_ROSRUC_")))
        pKivCursor = this;
    else if (makeSprite)
        AddSpriteCursor(m_ActorIndex, 0, 0, m_CollisionType);
    f.Read(m_LocalVariableIndex);
    delete localVariable;
    localVariable = f.ReadOwned<node>();
}
