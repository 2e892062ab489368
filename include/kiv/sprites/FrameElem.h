#pragma once

#include <kiv/base/List.h>
#include <kiv/base/String.h>
#include <kiv/base/Types.h>

class CollisionCircle;
class CollisionSegment;

namespace kiv {
class Surface;
}

// One frame of an animation: its image and, for each of the four orientations it may be
// shown in (as drawn, mirrored left-right, mirrored top-bottom, both), its hot spots,
// bounding box, collision shapes and centre. Mirrored geometry is computed once at load.
class KIV_API FrameElem {
public:
    // Orientation rows of the geometry.
    enum Row { AsDrawn = 0, LeftRight = 1, TopBottom = 2, BothWays = 3 };
    // Surface slots: the image mirrored both ways, left-right, top-bottom, and as drawn.
    enum Slot { SurfaceBoth = 0, SurfaceLeftRight = 1, SurfaceTopBottom = 2, SurfaceAsDrawn = 3 };

    FrameElem();
    FrameElem(const FrameElem&) = delete;
    FrameElem& operator=(const FrameElem&) = delete;
    virtual ~FrameElem();

    // Adds a copy to the as-drawn shapes; a segment of zero length is dropped.
    void AddCollisionData(CollisionSegment segment);
    void AddCollisionData(CollisionCircle circle);
    void hFCollisionList();
    void vFCollisionList();
    void hvFCollisionList();
    void hFBoundingBox();
    void vFBoundingBox();
    void hvFBoundingBox();
    void hFHotSpotArray();
    void vFHotSpotArray();
    void hvFHotSpotArray();
    void hFCenter();
    void vFCenter();
    void hvFCenter();
    void FrameFlippingMoves();
    // The mirrored rows a frame that may flip needs, computed after the frame is read.
    void ComputeMirrors();

    String m_ImageName;
    int m_Width;
    int m_Height;
    COLORREF m_TransparentColor;
    float m_TranslationX;
    float m_TranslationY;
    unsigned int m_Delay;
    kiv::Surface** m_Surfaces; // four slots, owned by the display's image loading
    bool m_FlipHorizontally;
    bool m_FlipVertically;
    int m_Extra;
    KivPoint m_HotSpots[4][5];
    KivRect m_BoundingBox[4];
    List m_Collision[4];
    // Centre of each row, and the shift a peg-registered sprite makes when it flips.
    float m_CenterX, m_FlipMoveX, m_CenterXLeftRight, m_CenterXTopBottom, m_CenterXBoth;
    float m_CenterY, m_FlipMoveY, m_CenterYLeftRight, m_CenterYTopBottom, m_CenterYBoth;
    bool m_PegRegistered;
    bool m_Transparent;

    // The centre in the given row.
    float CenterX(Row row) const;
    float CenterY(Row row) const;
};
