#pragma once

// What the sprite's motion, collision and query code share: the actor data behind a sprite,
// where its map lies, the box it shows, and the level's viewport.

#include <kiv/base/Types.h>
#include <kiv/sprites/AnimationElem.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/SpriteElem.h>

class Sprite;
class ViewPort;

namespace kiv::sprites {

// Animation a of actor `actor` (frame f of it), or null when an index is out of range.
// (Inline: a sprite looks its frame up several times a frame.)
inline AnimationElem* AnimationOf(int actor, int a) {
    if (actor < 0 || actor >= SpriteElem::MaxActors)
        return nullptr;
    SpriteElem& e = SpriteList[actor];
    return a >= 0 && a < e.m_AnimationCount ? &e.m_Animations[a] : nullptr;
}

inline FrameElem* FrameOf(int actor, int a, int f) {
    AnimationElem* anim = AnimationOf(actor, a);
    return anim && f >= 0 && f < anim->m_FrameCount ? &anim->m_Frames[f] : nullptr;
}

// The current level's viewport, or null without a level.
ViewPort* LevelView();

// The world position of the sprite's map (0 without a map).
float MapWorldX(const Sprite& s);
float MapWorldY(const Sprite& s);

// The bounding box of the requested frame in the orientation shown; empty without a frame.
KivRect ShownBox(const Sprite& s);

// The frame centre used to place a peg-registered sprite: the shown row's, in whole pixels;
// (0, 0) for a sprite that is not peg registered.
void PegCenter(const Sprite& s, float& cx, float& cy);

// The screen position of a sprite from its map position.
void PlaceViewport(Sprite& s);

// After a move cut by a collision: the speed at the impact and a new gravity parabola, and
// the direction mirrored on the segment that was met.
void AfterCutMove(Sprite& s);

} // namespace kiv::sprites
