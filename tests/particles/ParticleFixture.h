#pragma once

// A level for particle tests: a small display with a viewport, maps made from images drawn
// here, the game's particle functions in FArray (run through hooks the tests set), and the
// last user error as "function | message".

#include <kiv/Kiv.h>

#include "Images.h"
#include "Scratch.h"
#include "UserErrors.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kiv::test {

class ParticleLevel : public Scratch {
protected:
    // FArray indexes of the functions the hooks below stand behind.
    enum { InitFunction = 0, UpdateFunction = 1 };

    void SetUp() override {
        Scratch::SetUp();
        ArtAssetsPath = folder.c_str();
        InitPaths();
        WriteSolidImage("Art Assets/Maps/world.bmp", 256, 192, 0x101010u);
        WriteSolidImage("Art Assets/Maps/strip.bmp", 64, 32, 0x202020u);
        SetMode(64, 48, 32);
        _IsWindowed = true;
        ASSERT_TRUE(InitGraphics());
        back = BackBuffer();
        level = new GameNode;
        level->WorldWidth(256);
        level->WorldHeight(192);
        ViewPort& v = level->GetViewPort();
        v.WorldWidth(256);
        v.WorldHeight(192);
        v.ViewPortWidth(64);
        v.ViewPortHeight(48);
        gNode = level;
        functions[InitFunction] = reinterpret_cast<void*>(+[](Particle* p) { onInit(p); });
        functions[UpdateFunction] = reinterpret_cast<void*>(+[](Particle* p) { onUpdate(p); });
        FArray = functions;
        maxFIndex = 1;
        onInit = onUpdate = [](Particle*) {};
        _UE = UserError();
        UserError::Errors.clear();
    }
    void TearDown() override {
        delete level;
        gNode = nullptr;
        FArray = nullptr;
        maxFIndex = -1;
        CloseGraphics();
        Scratch::TearDown();
    }

    // The level's master map (256 × 192), its shapes sorted into 64-pixel cells.
    Map* World() {
        auto* map = new Map("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect);
        map->SpacePartitionGridSize(64);
        level->Add(map);
        return map;
    }
    COLORREF Drawn(int x, int y) const { return back->ColorOf(back->GetPixel(x, y)); }

    static std::string LastError() { return LastUserError(); }

    static inline std::function<void(Particle*)> onInit, onUpdate;
    void* functions[2] = {};
    Surface* back = nullptr;
    GameNode* level = nullptr;
};

} // namespace kiv::test
