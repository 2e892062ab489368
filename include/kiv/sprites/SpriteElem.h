#pragma once

#include <kiv/Export.h>

class AnimationElem;

// An actor: the shared, read-only definition behind every sprite that plays it.
class KIV_API SpriteElem {
public:
    enum { MaxActors = 1001 };

    SpriteElem();
    SpriteElem(const SpriteElem&) = delete;
    SpriteElem& operator=(const SpriteElem&) = delete;
    ~SpriteElem();

    // Makes `count` empty animations (dropping any before); 0 leaves none.
    void Animations(int count);

    int m_AnimationCount;
    AnimationElem* m_Animations;
};

// The actor table, indexed by actor number 0 to 1000.
extern KIV_API SpriteElem SpriteList[SpriteElem::MaxActors];
