#pragma once

// A level with a viewport for sprite tests, actors filled in directly in the actor table,
// and the last user error as "function | message".

#include <kiv/Kiv.h>

#include "Scratch.h"
#include "UserErrors.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace kiv::test {

class SpriteLevel : public Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        MakeLevel();
        _UE = UserError();
        UserError::Errors.clear();
    }
    // A 1000 x 500 world seen through a 200 x 100 viewport; it becomes the current level.
    void MakeLevel() {
        level = new GameNode;
        level->WorldWidth(1000);
        level->WorldHeight(500);
        ViewPort& v = level->GetViewPort();
        v.WorldWidth(1000);
        v.WorldHeight(500);
        v.ViewPortWidth(200);
        v.ViewPortHeight(100);
        gNode = level;
    }
    void TearDown() override {
        delete level;
        gNode = nullptr;
        for (int actor : actors)
            SpriteList[actor].Animations(0);
        Scratch::TearDown();
    }

    // The function and the message of the last user error ("" for none), then forgets it.
    static std::string LastError() { return LastUserError(); }

    // Actor `actor` with one animation per entry of `frames` (that many frames each); every
    // frame is w x h, its box covers it, its delay is 0 and nothing may flip.
    void MakeActor(int actor, std::initializer_list<int> frames, int w = 20, int h = 20) {
        actors.push_back(actor);
        SpriteList[actor].Animations(static_cast<int>(frames.size()));
        int a = 0;
        for (int count : frames) {
            AnimationElem& anim = SpriteList[actor].m_Animations[a++];
            anim.Frames(count);
            anim.m_LoopFrame = 0;
            for (int f = 0; f < count; ++f) {
                FrameElem& frame = anim.m_Frames[f];
                frame.m_Width = w;
                frame.m_Height = h;
                frame.m_BoundingBox[FrameElem::AsDrawn] = {0, 0, w - 1, h - 1};
            }
        }
    }
    static FrameElem& FrameOf(int actor, int a, int f) {
        return SpriteList[actor].m_Animations[a].m_Frames[f];
    }
    // A sprite added at the end of display list `list`; the level owns it.
    Sprite* AddSprite(int list, const char* name = "") {
        auto* s = new Sprite;
        s->Name(name);
        s->DisplayListNumber(list);
        level->DisplayList(list).add(s, level->DisplayList(list).Sentinel());
        return s;
    }
    ViewPort& View() { return level->GetViewPort(); }

    GameNode* level = nullptr;
    std::vector<int> actors;
};

} // namespace kiv::test
