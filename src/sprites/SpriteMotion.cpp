// Motion of sprites: speed and direction, gravity, canned movement, and the per-frame steps
// that turn them into this frame's translation.

#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"
#include "sprites/SpriteBroadPhase.h"
#include "sprites/SpriteGeometry.h"

#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;

// Trigonometric results this small are taken as exact zeros, so that 90 degrees gives a
// direction of exactly (0, -1).
constexpr double TrigZero = 1e-9;

// The largest distance a gravity parabola may carry a sprite in one frame.
constexpr float MaxGravityStep = 500;

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

// A percentage as a fraction. The product is formed in double precision so that whole
// percentages give the float nearest to their decimal value (10 gives 0.1f, not one below).
float Percent(float p) {
    return static_cast<float>(p * 0.01);
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
    m_Friction = Percent(percent);
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
        m_G = Percent(percent);
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
        const FrameElem* first = kiv::sprites::FrameOf(m_ActorIndex, m_CurrentAnimation, 0);
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

void Sprite::GetTranslation() {
    kiv::SpriteBroadPhase::Changed(this);
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

namespace kiv::sprites {

void AfterCutMove(Sprite& s) {
    if (s.m_Gravity)
        GravityImpact(s);
    if (s.m_Reflection && !s.m_CollisionType && !s.m_Canned)
        Reflect(s);
}

} // namespace kiv::sprites

void Sprite::FinishPendingMove() {
    if (!m_Pending)
        return;
    m_Speed = m_SavedSpeed;
    m_Pending = false;
    m_PendingX = m_PendingY = 0;
    m_DirectionX = m_DirectionY = 0;
}
