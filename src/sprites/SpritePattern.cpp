// Movement patterns: a sprite plays one of the game's precomputed chains of vectors.

#include <kiv/data/Builders.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/sprites/MovementPattern.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"
#include "sprites/SpriteBroadPhase.h"
#include "sprites/SpriteGeometry.h"

using kiv::sprites::MapWorldX;
using kiv::sprites::MapWorldY;

namespace {

// Movement patterns are drawn in red.
constexpr COLORREF PatternColour = 255;

} // namespace

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
    kiv::SpriteBroadPhase::Changed(this);
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
