#pragma once

// A level with a master map "world" (400 x 200, collision grid of 64-pixel cells) for the
// collision tests, on a small display so that the map can load its image.

#include "Images.h"
#include "SpriteFixture.h"
#include "game/SpritePass.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"

#include <filesystem>

namespace kiv::test {

class CollisionLevel : public SpriteLevel {
protected:
    void SetUp() override {
        SpriteLevel::SetUp();
        ArtAssetsPath = folder.c_str();
        kiv::InitPaths();
        SetMode(200, 100, 32);
        _IsWindowed = true;
        ASSERT_TRUE(kiv::InitGraphics());
        WriteImage("Art Assets/Maps/world.bmp", 400, 200, [](int, int) { return COLORREF{0}; });
        MakeWorld();
    }
    // The map "world" on the current level.
    void MakeWorld() {
        world = new Map("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect);
        world->SpacePartitionGridSize(64);
        level->Add(world);
    }
    void TearDown() override {
        SpriteLevel::TearDown();
        kiv::CloseGraphics();
    }

    // A sprite of actor `actor` on the world at (x, y), heading (dx, dy) at `speed`.
    Sprite* Mover(int list, const char* name, int actor, float x, float y, float dx, float dy,
                  float speed) {
        Sprite* s = AddSprite(list, name);
        s->ActorIndex(actor);
        s->BelongToMapPtr(world);
        s->MapPosition(x, y);
        s->VectorDirection(dx, dy, 0);
        s->Speed(speed);
        return s;
    }

    // The steps of a frame up to the map collision: the translation, cleared results, the
    // map step.
    void MapStep(Sprite& s) {
        s.GetTranslation();
        s.ClearCollisionResults();
        s.ResetMove();
        s.CheckMapCollision(world);
    }

    // The sprite pass over the world, as the frame loop runs it.
    void Pass() {
        bool cursorDone = false;
        kiv::UpdateSprites(world, cursorDone);
        kiv::ApplyZOrderQueue();
    }

    Map* world = nullptr;
};

} // namespace kiv::test
