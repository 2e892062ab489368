// Where sprites are: setting and reading positions, one-shot moves, the main character's
// step with the viewport's scrolling, peg registration, and the last motion step of a frame.

#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/ViewPort.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/sprites/SpriteElem.h>

#include "sprites/SpriteBroadPhase.h"
#include "sprites/SpriteGeometry.h"

#include <cmath>

using namespace kiv::sprites;

namespace {

// The colour of the translation vector when it is shown.
constexpr COLORREF TranslationColour = 0xFFFF;

// The geometry row for the given flips, chosen as ShownRow() chooses it.
FrameElem::Row RowFor(bool h, bool v) {
    if (h && v)
        return FrameElem::BothWays;
    if (h)
        return FrameElem::LeftRight;
    return v ? FrameElem::TopBottom : FrameElem::AsDrawn;
}

// Orientation codes of a placement: 0 as drawn, 1 both flips, 2 left-right, 3 top-bottom.
int OrientationCode(int row) {
    switch (row) {
    case FrameElem::BothWays:
        return 1;
    case FrameElem::LeftRight:
        return 2;
    case FrameElem::TopBottom:
        return 3;
    default:
        return 0;
    }
}

bool CodeFlipsH(int code) {
    return code == 1 || code == 2;
}

bool CodeFlipsV(int code) {
    return code == 1 || code == 3;
}

} // namespace

namespace kiv::sprites {

ViewPort* LevelView() {
    return gNode ? &gNode->GetViewPort() : nullptr;
}

float MapWorldX(const Sprite& s) {
    return s.m_Map ? s.m_Map->WorldPositionX() : 0;
}

float MapWorldY(const Sprite& s) {
    return s.m_Map ? s.m_Map->WorldPositionY() : 0;
}

KivRect ShownBox(const Sprite& s) {
    const FrameElem* f = s.RequestedFrame();
    return f ? f->m_BoundingBox[s.ShownRow()] : KivRect{0, 0, 0, 0};
}

void PegCenter(const Sprite& s, float& cx, float& cy) {
    cx = cy = 0;
    if (!s.m_PegRegistered)
        return;
    if (const FrameElem* f = s.RequestedFrame()) {
        auto row = static_cast<FrameElem::Row>(s.ShownRow());
        cx = static_cast<float>(static_cast<int>(f->CenterX(row)));
        cy = static_cast<float>(static_cast<int>(f->CenterY(row)));
    }
}

void PlaceViewport(Sprite& s) {
    ViewPort* view = LevelView();
    if (!s.m_Map || s.m_Map->IsMasterMap()) {
        float wx = view ? view->WorldXPos() : 0, wy = view ? view->WorldYPos() : 0;
        s.m_ViewportX = static_cast<int>(s.m_X - wx);
        s.m_ViewportY = static_cast<int>(s.m_Y - wy);
    } else {
        auto mx = static_cast<float>(static_cast<int>(s.m_Map->ViewPortX()));
        auto my = static_cast<float>(static_cast<int>(s.m_Map->ViewPortY()));
        s.m_ViewportX = static_cast<int>(mx + s.m_X);
        s.m_ViewportY = static_cast<int>(my + s.m_Y);
    }
}

} // namespace kiv::sprites

namespace {

// Sets the map-relative X (or Y) now, or asks for a one-shot move there in the next frame.
void MoveToX(Sprite& s, float x, bool move) {
    kiv::SpriteBroadPhase::Changed(&s);
    if (move) {
        s.m_Pending = true;
        s.m_PendingX = x - s.m_X;
        s.m_SavedSpeed = s.m_Speed;
    } else {
        s.m_X = x;
    }
    PlaceViewport(s);
}

void MoveToY(Sprite& s, float y, bool move) {
    kiv::SpriteBroadPhase::Changed(&s);
    if (move) {
        s.m_Pending = true;
        s.m_PendingY = y - s.m_Y;
        s.m_SavedSpeed = s.m_Speed;
    } else {
        s.m_Y = y;
    }
    PlaceViewport(s);
}

} // namespace

void Sprite::WorldPositionX(float x, bool move) {
    float cx, cy;
    PegCenter(*this, cx, cy);
    MoveToX(*this, x - MapWorldX(*this) - cx, move);
}

void Sprite::WorldPositionY(float y, bool move) {
    float cx, cy;
    PegCenter(*this, cx, cy);
    MoveToY(*this, y - MapWorldY(*this) - cy, move);
}

void Sprite::WorldPosition(float x, float y, bool move) {
    WorldPositionX(x, move);
    WorldPositionY(y, move);
}

void Sprite::MapPositionX(float x, bool move) {
    float cx, cy;
    PegCenter(*this, cx, cy);
    MoveToX(*this, x - cx, move);
}

void Sprite::MapPositionY(float y, bool move) {
    float cx, cy;
    PegCenter(*this, cx, cy);
    MoveToY(*this, y - cy, move);
}

void Sprite::MapPosition(float x, float y, bool move) {
    MapPositionX(x, move);
    MapPositionY(y, move);
}

void Sprite::WorldPositionXInc(float d, float max, bool move) {
    float x = WorldPositionX() + d;
    WorldPositionX(x > max ? max : x, move);
}

void Sprite::WorldPositionYInc(float d, float max, bool move) {
    float y = WorldPositionY() + d;
    WorldPositionY(y > max ? max : y, move);
}

void Sprite::WorldPositionXDec(float d, float min, bool move) {
    float x = WorldPositionX() - d;
    WorldPositionX(x < min ? min : x, move);
}

void Sprite::WorldPositionYDec(float d, float min, bool move) {
    float y = WorldPositionY() - d;
    WorldPositionY(y < min ? min : y, move);
}

void Sprite::MapPositionXInc(float d, float max, bool move) {
    float x = MapPositionX() + d;
    MapPositionX(x > max ? max : x, move);
}

void Sprite::MapPositionYInc(float d, float max, bool move) {
    float y = MapPositionY() + d;
    MapPositionY(y > max ? max : y, move);
}

void Sprite::MapPositionXDec(float d, float min, bool move) {
    float x = MapPositionX() - d;
    MapPositionX(x < min ? min : x, move);
}

void Sprite::MapPositionYDec(float d, float min, bool move) {
    float y = MapPositionY() - d;
    MapPositionY(y < min ? min : y, move);
}

float Sprite::WorldPositionX() {
    float cx, cy;
    PegCenter(*this, cx, cy);
    return MapWorldX(*this) + m_X + cx;
}

float Sprite::WorldPositionY() {
    float cx, cy;
    PegCenter(*this, cx, cy);
    return MapWorldY(*this) + m_Y + cy;
}

float Sprite::MapPositionX() {
    float cx, cy;
    PegCenter(*this, cx, cy);
    return m_X + cx;
}

float Sprite::MapPositionY() {
    float cx, cy;
    PegCenter(*this, cx, cy);
    return m_Y + cy;
}

int Sprite::ViewportX() {
    float cx, cy;
    PegCenter(*this, cx, cy);
    return m_ViewportX + static_cast<int>(cx);
}

int Sprite::ViewportY() {
    float cx, cy;
    PegCenter(*this, cx, cy);
    return m_ViewportY + static_cast<int>(cy);
}

namespace {

// Limits a main character's step so that its box stays inside the world: the left (top) edge
// not below 0, the right (bottom) edge at most at the world's width (height).
void LimitToWorld(const Sprite& s, const KivRect& box, float& dx, float& dy) {
    if (!gNode)
        return;
    auto width = static_cast<float>(gNode->WorldWidth());
    auto height = static_cast<float>(gNode->WorldHeight());
    if (s.m_X + dx + static_cast<float>(box.left) < 0)
        dx = -s.m_X - static_cast<float>(box.left);
    else if (s.m_X + dx + static_cast<float>(box.right) >= width)
        dx = width - s.m_X - static_cast<float>(box.right);
    if (s.m_Y + dy + static_cast<float>(box.top) < 0)
        dy = -s.m_Y - static_cast<float>(box.top);
    else if (s.m_Y + dy + static_cast<float>(box.bottom) >= height)
        dy = height - s.m_Y - static_cast<float>(box.bottom);
}

// How far each edge of the scrolling box stands out from where it was last set.
float InflatedLeft(const ViewPort& v) {
    return v.InitialBBClone().left - v.BBViewPortXPos();
}
float InflatedRight(const ViewPort& v) {
    return v.BBViewPortRightPos() - v.InitialBBClone().right;
}
float InflatedTop(const ViewPort& v) {
    return v.InitialBBClone().top - v.BBViewPortYPos();
}
float InflatedBottom(const ViewPort& v) {
    return v.BBViewPortBottomPos() - v.InitialBBClone().bottom;
}

// One axis of the scrolling box's inflation at the world's edges. `rest` is the character's
// step on an axis where the viewport should scroll but could not move at all (negative
// towards the near edge): the box grows on that side by the step so the character can go on
// to the screen's edge. A step away
// from a grown edge shrinks it back, no further than its set position.
void InflateAxis(ViewPort& v, float step, float rest, bool nearSide, float (ViewPort::*grow)(float),
                 float (ViewPort::*growFar)(float), float inflatedNear, float inflatedFar) {
    if (rest < 0 && nearSide)
        (v.*grow)(-rest);
    else if (rest > 0 && !nearSide)
        (v.*growFar)(rest);
    if (step > 0 && inflatedNear > 0)
        (v.*grow)(-(step < inflatedNear ? step : inflatedNear));
    else if (step < 0 && inflatedFar > 0)
        (v.*growFar)(-(-step < inflatedFar ? -step : inflatedFar));
}

// Scrolls the viewport with the main character's step (dx, dy) on each axis where the
// character moves and its box, moved by the step, touches or crosses either edge of the
// scrolling box (whichever way it moves); one Scroll a frame.
void ScrollWith(Sprite& s, const KivRect& box, float dx, float dy) {
    ViewPort* view = LevelView();
    if (!view)
        return;
    ViewPort& v = *view;
    float left = MapWorldX(s) + s.m_X + dx + static_cast<float>(box.left) - v.WorldXPos();
    float right = MapWorldX(s) + s.m_X + dx + static_cast<float>(box.right) - v.WorldXPos();
    float top = MapWorldY(s) + s.m_Y + dy + static_cast<float>(box.top) - v.WorldYPos();
    float bottom = MapWorldY(s) + s.m_Y + dy + static_cast<float>(box.bottom) - v.WorldYPos();
    bool scrollX = dx != 0 && (left <= v.BBViewPortXPos() || right >= v.BBViewPortRightPos());
    bool scrollY = dy != 0 && (top <= v.BBViewPortYPos() || bottom >= v.BBViewPortBottomPos());
    float* applied = v.Scroll(scrollX ? dx : 0, scrollY ? dy : 0);
    float restX = scrollX && applied[0] == 0 ? dx : 0;
    float restY = scrollY && applied[1] == 0 ? dy : 0;
    InflateAxis(v, dx, restX, dx < 0, &ViewPort::InflateBBLeft, &ViewPort::InflateBBRight,
                InflatedLeft(v), InflatedRight(v));
    InflateAxis(v, dy, restY, dy < 0, &ViewPort::InflateBBTop, &ViewPort::InflateBBBottom,
                InflatedTop(v), InflatedBottom(v));
}

// Keeps a flipping frame's centre in place: when the orientation shown changes, the sprite
// moves by the frame's flip move on each axis whose flip changed.
void PegFlipShift(Sprite& s, bool apply) {
    int code = OrientationCode(s.ShownRow());
    if (!s.m_FlipInitialised) {
        s.m_FlipInitialised = true;
        s.m_Orientation = s.m_PreviousOrientation = code;
        return;
    }
    if (code == s.m_Orientation)
        return;
    const FrameElem* f = s.RequestedFrame();
    if (apply && f) {
        int dh = static_cast<int>(CodeFlipsH(code)) - static_cast<int>(CodeFlipsH(s.m_Orientation));
        int dv = static_cast<int>(CodeFlipsV(code)) - static_cast<int>(CodeFlipsV(s.m_Orientation));
        s.m_X += std::trunc(f->m_FlipMoveX) * static_cast<float>(dh);
        s.m_Y += std::trunc(f->m_FlipMoveY) * static_cast<float>(dv);
    }
    s.m_PreviousOrientation = s.m_Orientation;
    s.m_Orientation = code;
}

} // namespace

void Sprite::ShowVectorOfTranslation(COLORREF colour) {
    if (!pDraw)
        return;
    float cx = 0, cy = 0;
    if (const FrameElem* f = RequestedFrame()) {
        auto row = static_cast<FrameElem::Row>(ShownRow());
        cx = f->CenterX(row);
        cy = f->CenterY(row);
    }
    float x = MapWorldX(*this) + m_X + cx, y = MapWorldY(*this) + m_Y + cy;
    pDraw->Line(x, y, x + m_TranslationX, y + m_TranslationY, colour);
}

void Sprite::MainCharWorldPosition(float x, float y) {
    kiv::SpriteBroadPhase::Changed(this);
    if (!m_MainCharacter || m_Unused)
        return;
    KivRect box = ShownBox(*this);
    float dx = x - m_X, dy = y - m_Y;
    LimitToWorld(*this, box, dx, dy);
    float px = m_X + dx, py = m_Y + dy;
    ViewPort* view = LevelView();
    if (!view) {
        m_X = px;
        m_Y = py;
        PlaceViewport(*this);
        return;
    }
    ViewPort& v = *view;
    float sx = px - v.WorldXPos(), sy = py - v.WorldYPos();
    auto ox = static_cast<float>(static_cast<int>(sx - static_cast<float>(m_ViewportX)));
    auto oy = static_cast<float>(static_cast<int>(sy - static_cast<float>(m_ViewportY)));
    KivRect r = v.IntWorldRect();
    int left = static_cast<int>(px + static_cast<float>(box.left));
    int top = static_cast<int>(py + static_cast<float>(box.top));
    int right = static_cast<int>(px + static_cast<float>(box.right));
    int bottom = static_cast<int>(py + static_cast<float>(box.bottom));
    bool inside = left >= r.left && top >= r.top && right <= r.right && bottom <= r.bottom;
    m_X = px;
    m_Y = py;
    if (!inside) {
        // Off the screen: the viewport jumps along by the character's screen offset. Only
        // when it could not go all the way (at the world's far edge) are the screen position
        // and the offset read again from the moved viewport; otherwise both stay as they were
        // measured before the jump, and the scrolling box moves by the whole offset.
        Position applied = v.Offset(ox, oy, false);
        if (applied.x != ox || applied.y != oy) {
            sx = px - v.WorldXPos();
            sy = py - v.WorldYPos();
            ox = static_cast<float>(static_cast<int>(sx - static_cast<float>(m_ViewportX)));
            oy = static_cast<float>(static_cast<int>(sy - static_cast<float>(m_ViewportY)));
        }
    }
    m_ViewportX = static_cast<int>(sx);
    m_ViewportY = static_cast<int>(sy);
    v.OffsetVPSBB(ox, oy);
}

// ---- the per-frame steps ----

void Sprite::PegRegistered(int) {
    kiv::SpriteBroadPhase::Changed(this);
    const FrameElem* now = CurrentFrame();
    bool changed = m_Frame != m_PreviousFrameIndex || m_CurrentAnimation != m_PreviousAnimation;
    if (changed && now && now->m_PegRegistered) {
        const FrameElem* before = FrameOf(m_ActorIndex, m_PreviousAnimation, m_PreviousFrameIndex);
        if (before) {
            FrameElem::Row oldRow = RowFor(m_LastHFlip, m_LastVFlip);
            auto row = static_cast<FrameElem::Row>(ShownRow());
            float dx = before->CenterX(oldRow) - now->CenterX(row);
            float dy = before->CenterY(oldRow) - now->CenterY(row);
            if (dx != 0) {
                m_X += dx;
                m_ViewportX = static_cast<int>(static_cast<float>(m_ViewportX) + dx);
            }
            if (dy != 0) {
                m_Y += dy;
                m_ViewportY = static_cast<int>(static_cast<float>(m_ViewportY) + dy);
            }
        }
    }
    m_PreviousFrameIndex = m_Frame;
    m_PreviousAnimation = m_CurrentAnimation;
}

void Sprite::UpdateSprite() {
    kiv::SpriteBroadPhase::Changed(this);
    if (m_ShowVectorOfTranslation)
        ShowVectorOfTranslation(TranslationColour);
    if (m_MainCharacter) {
        KivRect box = ShownBox(*this);
        LimitToWorld(*this, box, m_TranslationX, m_TranslationY);
        ScrollWith(*this, box, m_TranslationX, m_TranslationY);
        m_X += m_TranslationX;
        m_Y += m_TranslationY;
        PegFlipShift(*this, true);
    } else {
        m_X += m_TranslationX;
        m_Y += m_TranslationY;
        const FrameElem* f = RequestedFrame();
        PegFlipShift(*this, m_PegRegistered && f && f->m_PegRegistered);
    }
    if (m_ZOrder != CursorZOrder)
        PlaceViewport(*this);
    if (m_MoveFraction <= 1)
        AfterCutMove(*this);
}
