#pragma once

#include <kiv/base/Types.h>
#include <kiv/base/node.h>

// The window through which the player sees the level's world. It sits at the top-left of
// the back buffer; it scrolls when the main character pushes against its scrolling bounding
// box (BB), or when logic offsets it. A scroll takes effect at the end of the frame.
class KIV_API ViewPort : public node {
public:
    ViewPort(float worldWidth = 640, float worldHeight = 480, float worldX = 0, float worldY = 0,
             float width = 640, float height = 480);

    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    static node* CreateObject();

    float WorldWidth() const { return m_WorldWidth; }
    float WorldHeight() const { return m_WorldHeight; }
    void WorldWidth(float w);
    void WorldHeight(float h);
    void ViewPortWidth(float w);
    void ViewPortHeight(float h);
    float Width() const { return m_Rect.right; }
    float Height() const { return m_Rect.bottom; }
    float MaxViewPortWorldXPos() const { return m_MaxX; }
    float MaxViewPortWorldYPos() const { return m_MaxY; }

    float WorldXPos() const { return m_World.left; }
    float WorldYPos() const { return m_World.top; }
    float WorldRightPos() const { return m_World.right; }
    float WorldBottomPos() const { return m_World.bottom; }
    FRECT WorldRect() const { return m_World; }
    KivRect IntWorldRect() const;
    FRECT Rect() const { return m_Rect; }
    void WorldXPos(float x);
    void WorldYPos(float y);

    // Clamped to the world; the step shows at the end of the frame. Returns the step (x, y).
    float* Scroll(float dx, float dy);
    // The step that produced the world rectangle being shown (x, y).
    float* CurrentDeltaScroll() { return m_PreviousStep; }
    // Moves at once (clamped only against the far edges); returns the step applied.
    Position Offset(float dx, float dy, bool moveMainCharacter);
    // The end-of-frame commit of the frame loop.
    void Commit() { m_World = m_NextWorld; }

    void ViewPortScrollingBB(float x, float y, float width, float height);
    void OffsetVPSBB(float dx, float dy);
    float BBWidth() const { return m_BB.right - m_BB.left; }
    float BBHeigth() const { return m_BB.bottom - m_BB.top; }
    float BBWorldXPos() const { return m_World.left + m_BB.left; }
    float BBWorldYPos() const { return m_World.top + m_BB.top; }
    float BBWorldRightPos() const { return m_World.right + m_BB.right; }
    float BBWorldBottomPos() const { return m_World.bottom + m_BB.bottom; }
    FRECT BBWorldRect() const;
    float BBViewPortXPos() const { return m_BB.left; }
    float BBViewPortYPos() const { return m_BB.top; }
    float BBViewPortRightPos() const { return m_BB.right; }
    float BBViewPortBottomPos() const { return m_BB.bottom; }
    FRECT BBViewPortRect() const { return m_BB; }
    FRECT InitialBBClone() const { return m_InitialBB; }
    void RestoreBB() { m_BB = m_InitialBB; }
    // Outlines the BB on the back buffer.
    void DisplayBB();

    float MaxInflateBBRight() const { return m_MaxInflateRight; }
    float MaxInflateBBLeft() const { return m_MaxInflateLeft; }
    float MaxInflateBBTop() const { return m_MaxInflateTop; }
    float MaxInflateBBBottom() const { return m_MaxInflateBottom; }
    void MaxInflateBBRight(float m) { m_MaxInflateRight = m; }
    void MaxInflateBBLeft(float m) { m_MaxInflateLeft = m; }
    void MaxInflateBBTop(float m) { m_MaxInflateTop = m; }
    void MaxInflateBBBottom(float m) { m_MaxInflateBottom = m; }
    // Grow (or shrink, for a negative amount) one edge of the BB within its maximum
    // inflation; returns the amount applied.
    float InflateBBRight(float a);
    float InflateBBLeft(float a);
    float InflateBBTop(float a);
    float InflateBBBottom(float a);

private:
    void UpdateLimits();
    // Moves one BB edge within ± its maximum inflation; `sign` -1 for the left and top edges,
    // which grow the box by moving the other way.
    float Inflate(float a, float& edge, float& inflation, float max, float sign);

    float m_WorldWidth;
    float m_WorldHeight;
    float m_MaxX;
    float m_MaxY;
    FRECT m_Rect;
    FRECT m_World;
    FRECT m_NextWorld;
    FRECT m_BB;
    FRECT m_InitialBB;
    float m_MaxInflateRight, m_MaxInflateLeft, m_MaxInflateTop, m_MaxInflateBottom;
    float m_InflateRight, m_InflateLeft, m_InflateTop, m_InflateBottom;
    float m_PreviousStep[2];
    float m_LatestStep[2];
};
