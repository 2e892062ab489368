#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/graphics/ViewPort.h>
#include <kiv/sprites/Sprite.h>

#include "graphics/Display.h"
#include "graphics/Lines.h"

namespace {

CREATE registration("ViewPort", ViewPort::CreateObject);

FRECT Moved(FRECT r, float dx, float dy) {
    return {r.top + dy, r.left + dx, r.bottom + dy, r.right + dx};
}

} // namespace

ViewPort::ViewPort(float worldWidth, float worldHeight, float worldX, float worldY, float width,
                   float height)
    : m_WorldWidth(worldWidth), m_WorldHeight(worldHeight), m_MaxX(0),
      m_MaxY(0), m_Rect{0, 0, height, width}, m_World{worldY, worldX, worldY + height,
                                                      worldX + width},
      m_NextWorld(m_World), m_BB{0, 0, height, width}, m_InitialBB(m_BB), m_MaxInflateRight(0),
      m_MaxInflateLeft(0), m_MaxInflateTop(0), m_MaxInflateBottom(0), m_InflateRight(0),
      m_InflateLeft(0), m_InflateTop(0),
      m_InflateBottom(0), m_PreviousStep{0, 0}, m_LatestStep{0, 0} {
    UpdateLimits();
}

node* ViewPort::CreateObject() {
    return new ViewPort;
}

const char* ViewPort::ClassName() {
    return "ViewPort";
}

void ViewPort::UpdateLimits() {
    m_MaxX = m_WorldWidth - Width();
    m_MaxY = m_WorldHeight - Height();
}

void ViewPort::WorldWidth(float w) {
    m_WorldWidth = w;
    UpdateLimits();
}

void ViewPort::WorldHeight(float h) {
    m_WorldHeight = h;
    UpdateLimits();
}

void ViewPort::ViewPortWidth(float w) {
    m_Rect.right = w;
    UpdateLimits();
    m_World.right = m_World.left + w;
    m_NextWorld.right = m_NextWorld.left + w;
}

void ViewPort::ViewPortHeight(float h) {
    m_Rect.bottom = h;
    UpdateLimits();
    m_World.bottom = m_World.top + h;
    m_NextWorld.bottom = m_NextWorld.top + h;
}

KivRect ViewPort::IntWorldRect() const {
    auto left = static_cast<int>(m_World.left);
    auto top = static_cast<int>(m_World.top);
    return {left, top, static_cast<int>(left + Width()), static_cast<int>(top + Height())};
}

void ViewPort::WorldXPos(float x) {
    m_World = Moved(m_World, x - m_World.left, 0);
    m_NextWorld = Moved(m_NextWorld, x - m_NextWorld.left, 0);
}

void ViewPort::WorldYPos(float y) {
    m_World = Moved(m_World, 0, y - m_World.top);
    m_NextWorld = Moved(m_NextWorld, 0, y - m_NextWorld.top);
}

float* ViewPort::Scroll(float dx, float dy) {
    auto clamp = [](float d, float pos, float max) {
        if (pos + d < 0)
            return -pos;
        if (pos + d >= max)
            return max - pos;
        return d;
    };
    dx = clamp(dx, WorldXPos(), m_MaxX);
    dy = clamp(dy, WorldYPos(), m_MaxY);
    m_NextWorld = Moved(m_World, dx, dy);
    m_PreviousStep[0] = m_LatestStep[0];
    m_PreviousStep[1] = m_LatestStep[1];
    m_LatestStep[0] = dx;
    m_LatestStep[1] = dy;
    return m_LatestStep;
}

Position ViewPort::Offset(float dx, float dy, bool moveMainCharacter) {
    if (WorldXPos() + dx > m_MaxX)
        dx = m_MaxX - WorldXPos();
    if (WorldYPos() + dy > m_MaxY)
        dy = m_MaxY - WorldYPos();
    m_World = m_NextWorld = Moved(m_World, dx, dy);
    // The main character keeps its place on the screen: it travels with the viewport.
    if (Sprite* hero = moveMainCharacter ? MainCharacterSprite : nullptr) {
        hero->MapPositionX(hero->MapPositionX() + dx, false);
        hero->MapPositionY(hero->MapPositionY() + dy, false);
    }
    return {dx, dy};
}

void ViewPort::ViewPortScrollingBB(float x, float y, float width, float height) {
    m_BB = m_InitialBB = {y, x, y + height, x + width};
    m_InflateRight = m_InflateLeft = m_InflateTop = m_InflateBottom = 0;
}

void ViewPort::OffsetVPSBB(float dx, float dy) {
    m_BB = Moved(m_BB, dx, dy);
    m_InitialBB = Moved(m_InitialBB, dx, dy);
}

FRECT ViewPort::BBWorldRect() const {
    return {BBWorldYPos(), BBWorldXPos(), BBWorldBottomPos(), BBWorldRightPos()};
}

float ViewPort::Inflate(float a, float& edge, float& inflation, float max, float sign) {
    float current = inflation;
    float target = current + a;
    if (target > max)
        inflation = max;
    else if (target < -max)
        inflation = -max;
    else
        inflation = target;
    float applied = inflation - current;
    edge += sign * applied;
    return applied;
}

float ViewPort::InflateBBRight(float a) {
    return Inflate(a, m_BB.right, m_InflateRight, m_MaxInflateRight, 1);
}
float ViewPort::InflateBBLeft(float a) {
    return Inflate(a, m_BB.left, m_InflateLeft, m_MaxInflateLeft, -1);
}
float ViewPort::InflateBBTop(float a) {
    return Inflate(a, m_BB.top, m_InflateTop, m_MaxInflateTop, -1);
}
float ViewPort::InflateBBBottom(float a) {
    return Inflate(a, m_BB.bottom, m_InflateBottom, m_MaxInflateBottom, 1);
}

void ViewPort::DisplayBB() {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back)
        return;
    auto l = static_cast<int>(m_BB.left), t = static_cast<int>(m_BB.top);
    auto r = static_cast<int>(m_BB.right), b = static_cast<int>(m_BB.bottom);
    std::uint32_t black = back->MatchColor(0); // the default pen of the device context
    kiv::DrawLine(*back, l, t, r, t, black);
    kiv::DrawLine(*back, r, t, r, b, black);
    kiv::DrawLine(*back, r, b, l, b, black);
    kiv::DrawLine(*back, l, b, l, t, black);
}

void ViewPort::Save(File& file) {
    for (float v : {m_WorldWidth, m_WorldHeight, m_MaxX, m_MaxY})
        file.Write(v);
    for (const FRECT* r : {&m_World, &m_NextWorld, &m_BB, &m_Rect})
        file.Write(*r);
    for (float v : {m_PreviousStep[0], m_PreviousStep[1], m_LatestStep[0], m_LatestStep[1]})
        file.Write(v);
    file.Write(m_InitialBB);
    for (float v : {m_MaxInflateRight, m_MaxInflateLeft, m_MaxInflateTop, m_MaxInflateBottom,
                    m_InflateRight, m_InflateLeft, m_InflateTop, m_InflateBottom})
        file.Write(v);
}

void ViewPort::Load(File& file) {
    for (float* v : {&m_WorldWidth, &m_WorldHeight, &m_MaxX, &m_MaxY})
        file.Read(*v);
    for (FRECT* r : {&m_World, &m_NextWorld, &m_BB, &m_Rect})
        file.Read(*r);
    for (float* v : {&m_PreviousStep[0], &m_PreviousStep[1], &m_LatestStep[0], &m_LatestStep[1]})
        file.Read(*v);
    file.Read(m_InitialBB);
    for (float* v : {&m_MaxInflateRight, &m_MaxInflateLeft, &m_MaxInflateTop, &m_MaxInflateBottom,
                     &m_InflateRight, &m_InflateLeft, &m_InflateTop, &m_InflateBottom})
        file.Read(*v);
}
