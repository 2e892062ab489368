// Motion of sprites: speed and direction, gravity, canned movement, positioning, movement
// patterns, and the per-frame steps that turn all of it into a translation and a new position.

#include <kiv/data/Builders.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/ViewPort.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/MovementPattern.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/sprites/SpriteElem.h>

#include "base/Messages.h"

#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Trigonometric results this small are taken as exact zeros, so that 90 degrees gives a
// direction of exactly (0, -1).
constexpr double TrigZero = 1e-9;

// The largest distance a gravity parabola may carry a sprite in one frame.
constexpr float MaxGravityStep = 500;

// Movement patterns are drawn in red.
constexpr COLORREF PatternColour = 255;
// The colour of the translation vector when it is shown.
constexpr COLORREF TranslationColour = 0xFFFF;

ViewPort* View() {
    return gNode ? &gNode->GetViewPort() : nullptr;
}

float MapWorldX(Sprite& s) {
    return s.m_Map ? s.m_Map->WorldPositionX() : 0;
}

float MapWorldY(Sprite& s) {
    return s.m_Map ? s.m_Map->WorldPositionY() : 0;
}

// Frame f of animation a of actor `actor`, or null when any index is out of range.
const FrameElem* FrameOf(int actor, int a, int f) {
    if (actor < 0 || actor >= SpriteElem::MaxActors)
        return nullptr;
    const SpriteElem& e = SpriteList[actor];
    if (a < 0 || a >= e.m_AnimationCount)
        return nullptr;
    const AnimationElem& anim = e.m_Animations[a];
    if (f < 0 || f >= anim.m_FrameCount)
        return nullptr;
    return &anim.m_Frames[f];
}

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

// Angles are worked out in double precision, as the math library's functions take them; only
// the resulting direction is kept in single precision.

// The direction of an angle in degrees, counter-clockwise on screen (y down).
void DirectionOfAngle(double degrees, float& x, float& y) {
    double r = degrees * Pi / 180;
    double c = std::cos(r);
    double s = -std::sin(r);
    x = std::fabs(c) < TrigZero ? 0.0f : static_cast<float>(c);
    y = std::fabs(s) < TrigZero ? 0.0f : static_cast<float>(s);
}

// acos in degrees, 0 to 180, of a direction's x (which rounding may push just past 1).
double AcosDegrees(float x) {
    double c = x;
    if (c > 1)
        c = 1;
    else if (c < -1)
        c = -1;
    return std::acos(c) * 180 / Pi;
}

// The angle of a direction in degrees, 0 to 360, counter-clockwise on screen.
double AngleOfDirection(float x, float y) {
    double a = AcosDegrees(x);
    return y > 0 ? 360 - a : a;
}

} // namespace

// ---- speed ----

void Sprite::Speed(float s) {
    if (s < 0) {
        kiv::ReportUserError("void  Sprite::Speed(float)", 70);
        return;
    }
    m_Speed = s;
    m_SavedSpeed = s;
}

void Sprite::SpeedInc(float d, float max) {
    m_Speed += d;
    if (m_Speed > max)
        m_Speed = max;
}

void Sprite::SpeedDec(float d, float min) {
    if (min < 0)
        min = 0;
    m_Speed -= d;
    if (m_Speed < min)
        m_Speed = min;
}

void Sprite::Friction(float percent) {
    if (percent < 0 || percent > 100) {
        kiv::ReportUserError("void Sprite::Friction(float)", 85);
        return;
    }
    m_Friction = percent * 0.01f;
}

void Sprite::GravityFriction(float f) {
    m_GravityFriction = f < 0 ? 0 : (f > 100 ? 100 : f);
}

void Sprite::Gravity(bool on, float percent) {
    if (percent < 0 || percent > 100) {
        kiv::ReportUserError("void Sprite::Gravity(bool,int)", 80);
        return;
    }
    m_Gravity = on;
    m_GravityTime = 0;
    if (on) {
        m_GravityStartX = m_X;
        m_GravityStartY = m_Y;
        m_G = percent * 0.01f;
        m_GravitySpeed = m_Speed;
        m_GravityDirectionX = m_DirectionX;
        m_GravityDirectionY = m_DirectionY;
        m_ImpactSpeed = 0;
    } else {
        m_GravityStartX = m_GravityStartY = 0;
        m_G = 0.2f;
        m_GravitySpeed = 0;
        m_GravityDirectionX = m_GravityDirectionY = 0;
    }
}

// ---- direction ----

void Sprite::VectorDirection(float x, float y, unsigned int smooth) {
    if (m_Canned)
        return;
    if (x == 0 && y == 0) {
        m_DirectionX = m_DirectionY = 0;
        return;
    }
    if (smooth > 10)
        smooth = 10;
    float length = std::sqrt(x * x + y * y);
    if (length != 0) {
        x /= length;
        y /= length;
    }
    if (smooth == 0) {
        m_DirectionX = x;
        m_DirectionY = y;
        return;
    }
    // Each pass adds the old direction again, so more passes stay closer to it.
    float vx = x, vy = y;
    for (unsigned int i = 0; i < smooth; ++i) {
        vx = m_DirectionX + vx;
        vy = m_DirectionY + vy;
        if (vx == 0 && vy == 0)
            vy = -0.01f; // exactly opposite: turn through "up"
        float l = std::sqrt(vx * vx + vy * vy);
        if (l != 0) {
            vx /= l;
            vy /= l;
        }
    }
    m_DirectionX = vx;
    m_DirectionY = vy;
}

int Sprite::VectorAngle() {
    double a = AcosDegrees(m_DirectionX);
    // Nearest whole degree; an exact half goes down.
    double whole = std::floor(a);
    if (a - whole > 0.5)
        whole += 1;
    int degrees = static_cast<int>(whole);
    return m_DirectionY > 0 ? 360 - degrees : degrees;
}

void Sprite::VectorAngle(float angle, float smoothAngle) {
    if (m_Canned)
        return;
    const char* function = "void Sprite::VectorAngle(float,float)";
    if (angle < 0 || angle > 359) {
        kiv::ReportUserError(function, 78);
        return;
    }
    if (smoothAngle < 0 || smoothAngle > 180) {
        kiv::ReportUserError(function, 79);
        return;
    }
    double t = std::fabs(angle);
    if (t > 359)
        t = 359;
    double s = std::fabs(smoothAngle);
    if (s == 0) {
        DirectionOfAngle(t, m_DirectionX, m_DirectionY);
        return;
    }
    // Turn by s along the shorter way; snap to the target when it is nearer than s.
    double q = AngleOfDirection(m_DirectionX, m_DirectionY);
    double diff = t - q;
    double to = t;
    if (diff <= 0 && diff >= -180) {
        if (-diff >= s)
            to = q - s;
    } else if (diff < -180) {
        if (s <= 360 + diff)
            to = q + s;
    } else if (diff <= 180) {
        if (s <= diff) {
            to = q + s;
            if (to < 0)
                to += 360;
        }
    } else if (s <= 360 - diff) {
        to = q - s;
        if (to < 0)
            to += 360;
    }
    DirectionOfAngle(to, m_DirectionX, m_DirectionY);
}

void Sprite::Follow(Sprite* target, unsigned int ownHotSpot, unsigned int targetHotSpot,
                    unsigned int smooth) {
    const char* function = "void Sprite::Follow(Sprite *,unsigned int,unsigned int,unsigned int)";
    if (!target) {
        kiv::ReportUserError(function, 38);
        return;
    }
    if (ownHotSpot >= 5) {
        kiv::ReportUserError(function, 89, static_cast<int>(ownHotSpot));
        return;
    }
    if (targetHotSpot >= 5) {
        kiv::ReportUserError(function, 89, static_cast<int>(targetHotSpot));
        return;
    }
    if (smooth >= 11) {
        kiv::ReportUserError(function, 92);
        return;
    }
    KivPoint own{0, 0}, other{0, 0};
    if (const FrameElem* f = RequestedFrame())
        own = f->m_HotSpots[ShownRow()][ownHotSpot];
    if (const FrameElem* f = target->RequestedFrame())
        other = f->m_HotSpots[target->ShownRow()][targetHotSpot];
    float x = (static_cast<float>(other.x) + target->m_X) - (static_cast<float>(own.x) + m_X);
    float y = (static_cast<float>(other.y) + target->m_Y) - (static_cast<float>(own.y) + m_Y);
    VectorDirection(x, y, smooth);
}

void Sprite::Follow(const String& name, unsigned int ownHotSpot, unsigned int targetHotSpot,
                    unsigned int smooth) {
    // A null name reaches us as the empty text.
    if (name.empty()) {
        kiv::ReportUserError(
            "void Sprite::Follow(const char *,unsigned int,unsigned int,unsigned int)", 39);
        return;
    }
    Sprite* target = Search(name); // reports a name it does not find
    if (target)
        Follow(target, ownHotSpot, targetHotSpot, smooth);
}

// ---- canned movement ----

void Sprite::CannedDirection(unsigned int d) {
    if (!m_Canned)
        return;
    if (d >= 5) {
        kiv::ReportUserError("void Sprite::CannedDirection(int)", 77, static_cast<int>(d));
        return;
    }
    m_DirectionX = m_DirectionY = 0;
    if (m_DoNotCutDirection) {
        // Only at the start of an animation cycle, so that a cycle is never cut short.
        const FrameElem* first = FrameOf(m_ActorIndex, m_CurrentAnimation, 0);
        unsigned int delay = first ? first->m_Delay : 0;
        if (m_Frame != 0 || static_cast<unsigned long long>(m_Delay) + 1 < delay)
            return;
    }
    switch (d) {
    case 1:
        m_CannedFactorX = 1;
        m_CannedFactorY = 1;
        break;
    case 2:
        m_CannedFactorX = -1;
        m_CannedFactorY = 1;
        break;
    case 3:
        m_CannedFactorX = 1;
        m_CannedFactorY = -1;
        break;
    case 4:
        m_CannedFactorX = -1;
        m_CannedFactorY = -1;
        break;
    default:
        break;
    }
}

unsigned int Sprite::CannedDirection() const {
    if (!m_Canned)
        return 0;
    if (m_CannedFactorX == 1 && m_CannedFactorY == 1)
        return 1;
    if (m_CannedFactorX == -1 && m_CannedFactorY == 1)
        return 2;
    if (m_CannedFactorX == 1 && m_CannedFactorY == -1)
        return 3;
    if (m_CannedFactorX == -1 && m_CannedFactorY == -1)
        return 4;
    return 0;
}

namespace {

// The direction of a canned sprite comes from the frame's own translation, turned by the
// canned factors and limited to the axes canned motion may use; the flips follow the factors.
void CannedFactor(Sprite& s) {
    const FrameElem* frame = s.CurrentFrame();
    float tx = frame ? frame->m_TranslationX : 0;
    float ty = frame ? frame->m_TranslationY : 0;
    s.m_Canned = false;
    s.VectorDirection(tx, ty, 0);
    s.m_Canned = true;
    s.m_DirectionX *= s.m_CannedFactorX;
    s.m_DirectionY *= s.m_CannedFactorY;
    if (!s.m_CannedHDirection && !s.m_CannedVDirection) {
        s.m_DirectionX = s.m_DirectionY = 0;
        s.m_CannedFactorX = s.m_CannedFactorY = 0;
    } else if (!s.m_CannedHDirection) {
        s.m_DirectionX = 0;
        s.m_CannedFactorX = 0;
    } else if (!s.m_CannedVDirection) {
        s.m_DirectionY = 0;
        s.m_CannedFactorY = 0;
    }
    if (frame && frame->m_FlipHorizontally) {
        if (s.m_CannedFactorX == -1)
            s.m_ShownHFlip = true;
        else if (s.m_CannedFactorX == 1)
            s.m_ShownHFlip = false;
    }
    if (frame && frame->m_FlipVertically) {
        if (s.m_CannedFactorY == -1)
            s.m_ShownVFlip = true;
        else if (s.m_CannedFactorY == 1)
            s.m_ShownVFlip = false;
    }
    if (!s.m_AutoFlip) {
        s.m_ShownHFlip = s.m_RequestedHFlip;
        s.m_ShownVFlip = s.m_RequestedVFlip;
    }
}

// One frame along the gravity parabola that started at (sx, sy) with speed u and direction
// (dx0, dy0): the sprite heads for the parabola's point at the next frame.
void GravityFactor(Sprite& s) {
    s.m_GravityTime += 1;
    float t = static_cast<float>(s.m_GravityTime);
    float px = s.m_GravityDirectionX * s.m_GravitySpeed * t + s.m_GravityStartX;
    float py =
        s.m_GravityDirectionY * s.m_GravitySpeed * t + s.m_GravityStartY + 0.5f * s.m_G * t * t;
    float dx = px - s.m_X;
    float dy = py - s.m_Y;
    s.VectorDirection(dx, dy, 0);
    float d = std::sqrt(dx * dx + dy * dy);
    if (d > MaxGravityStep)
        d = MaxGravityStep;
    s.m_TranslationX = s.m_DirectionX * d;
    s.m_TranslationY = s.m_DirectionY * d;
    s.m_Speed = d;
}

// After a cut move: the speed with which the sprite met the obstacle, read off the parabola,
// and a new parabola from where it stands.
void GravityImpact(Sprite& s) {
    float u = s.m_GravitySpeed, g = s.m_G;
    float a = s.m_GravityDirectionX + s.m_GravityDirectionY;
    float S = (s.m_X + s.m_Y) - (s.m_GravityStartX + s.m_GravityStartY);
    float D = u * u * a * a + 2 * g * S;
    if (D < 0) {
        s.m_ImpactSpeed = s.m_Speed;
    } else {
        float at = 0; // the parabola's time at the impact
        if (g != 0) {
            if (D == 0) {
                at = u * a / g;
            } else {
                float root = std::sqrt(D);
                float r1 = -(root + u * a) / g;
                float r2 = -(u * a - root) / g;
                float now = static_cast<float>(s.m_GravityTime);
                if (r2 > now - 2 && r2 < now + 2)
                    at = r2;
                else if (r1 > now - 2 && r1 < now + 2)
                    at = r1;
                else
                    at = r1 > r2 ? r1 : r2;
            }
        }
        float v2 = u * u + 2 * g * at * u * s.m_GravityDirectionY + g * g * at * at;
        s.m_ImpactSpeed = std::sqrt(v2 > 0 ? v2 : 0);
    }
    s.m_GravityStartX = s.m_X;
    s.m_GravityStartY = s.m_Y;
    if (s.m_Reflection) {
        float rest = s.m_ImpactSpeed - s.m_GravityFriction;
        s.m_GravitySpeed = rest > 0 ? rest : 0;
    } else {
        s.m_GravitySpeed = 0;
    }
    s.m_GravityTime = 0;
    s.m_Speed = s.m_ImpactSpeed;
}

// Mirrors the direction on the normal of the segment that cut the move.
void Reflect(Sprite& s) {
    float nx = s.m_LastSegment.NormalX(), ny = s.m_LastSegment.NormalY();
    float dx = -s.m_DirectionX, dy = -s.m_DirectionY;
    float k = 2 * (dx * nx + dy * ny);
    s.m_DirectionX = k * nx - dx;
    s.m_DirectionY = k * ny - dy;
    if (s.m_Gravity) {
        s.m_GravityDirectionX = s.m_DirectionX;
        s.m_GravityDirectionY = s.m_DirectionY;
    }
}

} // namespace

// ---- positioning ----

namespace {

// The frame centre used to place a peg-registered sprite: the shown row's, whole pixels.
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

// The screen position of a sprite from its map position.
void PlaceViewport(Sprite& s) {
    ViewPort* view = View();
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

// Sets the map-relative X (or Y) now, or asks for a one-shot move there in the next frame.
void MoveToX(Sprite& s, float x, bool move) {
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

// The bounding box of the frame shown, in its shown orientation; empty without a frame.
KivRect ShownBox(const Sprite& s) {
    const FrameElem* f = s.RequestedFrame();
    return f ? f->m_BoundingBox[s.ShownRow()] : KivRect{0, 0, 0, 0};
}

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

// One axis of the scrolling box's inflation at the world's edges. `rest` is the part of the
// character's step that the viewport could not follow (negative towards the near edge):
// the box grows on that side so the character can go on to the screen's edge. A step away
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

// Scrolls the viewport with the main character's step (dx, dy) when its box, moved by the
// step, reaches an edge of the scrolling box in the direction of motion; one Scroll a frame.
void ScrollWith(Sprite& s, const KivRect& box, float dx, float dy) {
    ViewPort* view = View();
    if (!view)
        return;
    ViewPort& v = *view;
    float left = MapWorldX(s) + s.m_X + dx + static_cast<float>(box.left) - v.WorldXPos();
    float right = MapWorldX(s) + s.m_X + dx + static_cast<float>(box.right) - v.WorldXPos();
    float top = MapWorldY(s) + s.m_Y + dy + static_cast<float>(box.top) - v.WorldYPos();
    float bottom = MapWorldY(s) + s.m_Y + dy + static_cast<float>(box.bottom) - v.WorldYPos();
    bool scrollX =
        (dx < 0 && left <= v.BBViewPortXPos()) || (dx > 0 && right >= v.BBViewPortRightPos());
    bool scrollY =
        (dy < 0 && top <= v.BBViewPortYPos()) || (dy > 0 && bottom >= v.BBViewPortBottomPos());
    float* applied = v.Scroll(scrollX ? dx : 0, scrollY ? dy : 0);
    float restX = scrollX ? dx - applied[0] : 0;
    float restY = scrollY ? dy - applied[1] : 0;
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

void DrawTranslation(Sprite& s) {
    if (!pDraw)
        return;
    float cx = 0, cy = 0;
    if (const FrameElem* f = s.RequestedFrame()) {
        auto row = static_cast<FrameElem::Row>(s.ShownRow());
        cx = f->CenterX(row);
        cy = f->CenterY(row);
    }
    float x = MapWorldX(s) + s.m_X + cx, y = MapWorldY(s) + s.m_Y + cy;
    pDraw->Line(x, y, x + s.m_TranslationX, y + s.m_TranslationY, TranslationColour);
}

} // namespace

void Sprite::MainCharWorldPosition(float x, float y) {
    if (!m_MainCharacter || m_Unused)
        return;
    KivRect box = ShownBox(*this);
    float dx = x - m_X, dy = y - m_Y;
    LimitToWorld(*this, box, dx, dy);
    float px = m_X + dx, py = m_Y + dy;
    ViewPort* view = View();
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
        // Off the screen: the viewport jumps along by the character's screen offset, keeping
        // it where it was shown. The screen position and what is left of the offset are read
        // from the moved viewport: nothing is left unless the viewport met the world's far
        // edge, and then the scrolling box follows the character by the rest.
        v.Offset(ox, oy, false);
        sx = px - v.WorldXPos();
        sy = py - v.WorldYPos();
        ox = static_cast<float>(static_cast<int>(sx - static_cast<float>(m_ViewportX)));
        oy = static_cast<float>(static_cast<int>(sy - static_cast<float>(m_ViewportY)));
    }
    m_ViewportX = static_cast<int>(sx);
    m_ViewportY = static_cast<int>(sy);
    v.OffsetVPSBB(ox, oy);
}

// ---- movement patterns ----

void Sprite::ApplyMovementPattern(int i) {
    if (i < 0 || i > maxMPIndex || !MPArray) {
        kiv::ReportUserError("void Sprite::ApplyMovementPattern(int)", 101, i);
        return;
    }
    m_PatternIndex = i;
    m_Pattern = &MPArray[i];
    for (float& a : m_PatternAnchors)
        a = 0;
    m_PatternDistance = 0;
    m_PatternVector = -1;
    m_PatternLoop = false;
}

void Sprite::StartMovementPattern(bool loop) {
    m_PatternVector = 0;
    m_PatternDistance = 0;
    m_PatternLoop = loop;
    m_PatternStartX = MapWorldX(*this) + m_X;
    m_PatternStartY = MapWorldY(*this) + m_Y;
}

void Sprite::StartMovementPattern(bool loop, bool returnToStart) {
    StartMovementPattern(loop);
    m_PatternReturn = returnToStart;
}

void Sprite::StopMovementPattern() {
    m_PatternVector = -1;
    m_PatternDistance = 0;
    m_PatternLoop = false;
}

const char* Sprite::MovementPatternName() const {
    return m_Pattern ? m_Pattern->Name() : "";
}

bool Sprite::EndOfMovementPattern() const {
    if (!m_Pattern || m_PatternVector == -1 || m_Pattern->NumberOfVectors() <= 0)
        return false;
    int last = m_Pattern->NumberOfVectors() - 1;
    return m_PatternVector == last &&
           m_PatternDistance + m_Speed >= m_Pattern->GetVector(last).length;
}

namespace {

// Draws the selected pattern's vectors end to end: from the start point while it runs, from
// the sprite's position otherwise. The anchors keep where the drawing began and ended.
void DisplayPattern(Sprite& s) {
    const MovementPattern& p = *s.m_Pattern;
    float x = s.m_PatternStartX, y = s.m_PatternStartY;
    if (s.m_PatternVector == -1) {
        x = MapWorldX(s) + s.m_X;
        y = MapWorldY(s) + s.m_Y;
    }
    s.m_PatternAnchors[0] = x;
    s.m_PatternAnchors[1] = y;
    for (int i = 0; i < p.NumberOfVectors(); ++i) {
        const MovementPattern::Vector& v = p.GetVector(i);
        float nx = x + v.x * v.length, ny = y + v.y * v.length;
        if (pDraw)
            pDraw->Line(x, y, nx, ny, PatternColour);
        x = nx;
        y = ny;
    }
    s.m_PatternAnchors[2] = x;
    s.m_PatternAnchors[3] = y;
}

} // namespace

void Sprite::UpdateMovementPattern() {
    if (!m_Pattern)
        return;
    if (m_ShowMovementPattern)
        DisplayPattern(*this);
    if (m_PatternVector == -1)
        return;
    int count = m_Pattern->NumberOfVectors();
    if (m_PatternVector >= count) {
        m_PatternVector = -1;
        return;
    }
    m_PatternDistance += m_Speed;
    const MovementPattern::Vector& v = m_Pattern->GetVector(m_PatternVector);
    if (m_PatternDistance >= v.length) {
        ++m_PatternVector;
        m_PatternDistance = 0;
        if (m_PatternVector >= count) {
            if (!m_PatternLoop) {
                m_PatternVector = -1;
            } else {
                m_PatternVector = 0;
                if (m_PatternReturn && !m_PegRegistered) {
                    // The start point is kept in the world; back to the map's coordinates.
                    m_X = m_PatternStartX - MapWorldX(*this);
                    m_Y = m_PatternStartY - MapWorldY(*this);
                }
            }
        }
        return;
    }
    m_DirectionX = v.x;
    m_DirectionY = v.y;
}

// ---- the per-frame steps ----

void Sprite::PegRegistered(int) {
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

void Sprite::GetTranslation() {
    if (m_Pending) {
        VectorDirection(m_PendingX, m_PendingY, 0);
        m_Speed = std::sqrt(m_PendingX * m_PendingX + m_PendingY * m_PendingY);
    }
    if (m_Canned) {
        CannedFactor(*this);
        const FrameElem* f = CurrentFrame();
        float tx = f ? f->m_TranslationX : 0, ty = f ? f->m_TranslationY : 0;
        m_TranslationX = m_CannedFactorX * tx * m_Speed;
        m_TranslationY = m_CannedFactorY * ty * m_Speed;
        return;
    }
    FlipSet();
    if (m_Friction != 0) {
        m_Speed -= m_Friction;
        if (m_Speed < 0)
            m_Speed = 0;
    }
    if (!m_Gravity) {
        m_TranslationX = m_DirectionX * m_Speed;
        m_TranslationY = m_DirectionY * m_Speed;
    } else {
        GravityFactor(*this);
    }
}

void Sprite::UpdateTranslation() {
    float f = m_MoveFraction;
    if (f > 1)
        return;
    if (!m_Gravity) {
        m_TranslationX = m_DirectionX * m_Speed * f;
        m_TranslationY = m_DirectionY * m_Speed * f;
    } else {
        m_TranslationX *= f;
        m_TranslationY *= f;
    }
}

void Sprite::UpdateSprite() {
    if (m_ShowVectorOfTranslation)
        DrawTranslation(*this);
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
    if (m_MoveFraction <= 1) {
        if (m_Gravity)
            GravityImpact(*this);
        if (m_Reflection && !m_CollisionType && !m_Canned)
            Reflect(*this);
    }
}

void Sprite::FinishPendingMove() {
    if (!m_Pending)
        return;
    m_Speed = m_SavedSpeed;
    m_Pending = false;
    m_PendingX = m_PendingY = 0;
    m_DirectionX = m_DirectionY = 0;
}
