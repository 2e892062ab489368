#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/SpriteElem.h>

#include "graphics/Surface.h"

SpriteElem SpriteList[SpriteElem::MaxActors];

// ---- FrameElem ----

FrameElem::FrameElem()
    : m_Width(0), m_Height(0), m_TransparentColor(0xFF00), m_TranslationX(0), m_TranslationY(0),
      m_Delay(0), m_Surfaces(new kiv::Surface*[4]()), m_FlipHorizontally(false),
      m_FlipVertically(false), m_Extra(0), m_HotSpots{}, m_CenterX(0), m_FlipMoveX(0),
      m_CenterXLeftRight(0), m_CenterXTopBottom(0), m_CenterXBoth(0), m_CenterY(0), m_FlipMoveY(0),
      m_CenterYLeftRight(0), m_CenterYTopBottom(0), m_CenterYBoth(0), m_PegRegistered(false),
      m_Transparent(false) {
    for (KivRect& box : m_BoundingBox)
        box = {0, 0, 31, 31};
}

FrameElem::~FrameElem() {
    for (int i = 0; i < 4; ++i)
        delete m_Surfaces[i];
    delete[] m_Surfaces;
}

void FrameElem::AddCollisionData(CollisionSegment segment) {
    if (segment.MagnitudeX() == 0 && segment.MagnitudeY() == 0)
        return;
    m_Collision[AsDrawn].add(new CollisionSegment(segment), m_Collision[AsDrawn].Sentinel());
}

void FrameElem::AddCollisionData(CollisionCircle circle) {
    m_Collision[AsDrawn].add(new CollisionCircle(circle), m_Collision[AsDrawn].Sentinel());
}

namespace {

void MirrorShapes(List& from, List& to, bool leftRight, bool topBottom, int w, int h) {
    to.del();
    for (node* n = from.Head(); !n->EOList(); n = n->Next())
        to.add(static_cast<CollisionData*>(n)->Mirrored(leftRight, topBottom, w, h), to.Sentinel());
}

// The mirror of a coordinate about the frame's middle line, as whole pixels.
int MirrorPoint(int v, int size) {
    return static_cast<int>((static_cast<float>(size) - 1.0f) - static_cast<float>(v));
}

KivRect MirrorBox(const KivRect& b, bool leftRight, bool topBottom, int w, int h) {
    KivRect r = b;
    int hw = w / 2, hh = h / 2;
    if (leftRight) {
        r.left = 2 * hw - b.right - 1;
        r.right = 2 * hw - b.left - 1;
    }
    if (topBottom) {
        r.top = 2 * hh - b.bottom - 1;
        r.bottom = 2 * hh - b.top - 1;
    }
    return r;
}

} // namespace

void FrameElem::hFCollisionList() {
    MirrorShapes(m_Collision[AsDrawn], m_Collision[LeftRight], true, false, m_Width, m_Height);
}
void FrameElem::vFCollisionList() {
    MirrorShapes(m_Collision[AsDrawn], m_Collision[TopBottom], false, true, m_Width, m_Height);
}
void FrameElem::hvFCollisionList() {
    MirrorShapes(m_Collision[AsDrawn], m_Collision[BothWays], true, true, m_Width, m_Height);
}

void FrameElem::hFBoundingBox() {
    m_BoundingBox[LeftRight] = MirrorBox(m_BoundingBox[AsDrawn], true, false, m_Width, m_Height);
}
void FrameElem::vFBoundingBox() {
    m_BoundingBox[TopBottom] = MirrorBox(m_BoundingBox[AsDrawn], false, true, m_Width, m_Height);
}
void FrameElem::hvFBoundingBox() {
    m_BoundingBox[BothWays] = MirrorBox(m_BoundingBox[AsDrawn], true, true, m_Width, m_Height);
}

void FrameElem::hFHotSpotArray() {
    for (int i = 0; i < 5; ++i)
        m_HotSpots[LeftRight][i] = {MirrorPoint(m_HotSpots[AsDrawn][i].x, m_Width),
                                    m_HotSpots[AsDrawn][i].y};
}
void FrameElem::vFHotSpotArray() {
    for (int i = 0; i < 5; ++i)
        m_HotSpots[TopBottom][i] = {m_HotSpots[AsDrawn][i].x,
                                    MirrorPoint(m_HotSpots[AsDrawn][i].y, m_Height)};
}
void FrameElem::hvFHotSpotArray() {
    for (int i = 0; i < 5; ++i)
        m_HotSpots[BothWays][i] = {MirrorPoint(m_HotSpots[AsDrawn][i].x, m_Width),
                                   MirrorPoint(m_HotSpots[AsDrawn][i].y, m_Height)};
}

void FrameElem::hFCenter() {
    m_CenterXLeftRight = (static_cast<float>(m_Width) - 1) - m_CenterX;
    m_CenterYLeftRight = m_CenterY;
}
void FrameElem::vFCenter() {
    m_CenterXTopBottom = m_CenterX;
    m_CenterYTopBottom = (static_cast<float>(m_Height) - 1) - m_CenterY;
}
void FrameElem::hvFCenter() {
    m_CenterXBoth = (static_cast<float>(m_Width) - 1) - m_CenterX;
    m_CenterYBoth = (static_cast<float>(m_Height) - 1) - m_CenterY;
}

void FrameElem::FrameFlippingMoves() {
    m_FlipMoveX = (m_CenterX - (static_cast<float>(m_Width) - 1) / 2) * 2;
    m_FlipMoveY = (m_CenterY - (static_cast<float>(m_Height) - 1) / 2) * 2;
}

void FrameElem::ComputeMirrors() {
    if (m_FlipHorizontally && m_FlipVertically) {
        hvFCollisionList();
        hvFBoundingBox();
        hvFHotSpotArray();
        hvFCenter();
    }
    if (m_FlipHorizontally) {
        hFCollisionList();
        hFBoundingBox();
        hFHotSpotArray();
        hFCenter();
    }
    if (m_FlipVertically) {
        vFCollisionList();
        vFBoundingBox();
        vFHotSpotArray();
        vFCenter();
    }
    if (m_FlipHorizontally || m_FlipVertically)
        FrameFlippingMoves();
}

float FrameElem::CenterX(Row row) const {
    const float x[] = {m_CenterX, m_CenterXLeftRight, m_CenterXTopBottom, m_CenterXBoth};
    return x[row];
}

float FrameElem::CenterY(Row row) const {
    const float y[] = {m_CenterY, m_CenterYLeftRight, m_CenterYTopBottom, m_CenterYBoth};
    return y[row];
}

// ---- AnimationElem ----

AnimationElem::AnimationElem()
    : m_FrameCount(0), m_Frames(nullptr), m_LoopFrame(0), m_Sound(nullptr), m_LoopSound(false),
      m_SoundEnabled(true) {}

AnimationElem::~AnimationElem() {
    delete[] m_Frames;
}

void AnimationElem::Frames(int count) {
    delete[] m_Frames;
    m_Frames = count > 0 ? new FrameElem[static_cast<size_t>(count)] : nullptr;
    m_FrameCount = count > 0 ? count : 0;
}

// ---- SpriteElem ----

SpriteElem::SpriteElem() : m_AnimationCount(0), m_Animations(nullptr) {}

SpriteElem::~SpriteElem() {
    delete[] m_Animations;
}

void SpriteElem::Animations(int count) {
    delete[] m_Animations;
    m_Animations = count > 0 ? new AnimationElem[static_cast<size_t>(count)] : nullptr;
    m_AnimationCount = count > 0 ? count : 0;
}
