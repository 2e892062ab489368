#include "host/Shutdown.h"

#include <kiv/base/Console.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/input/KivCursor.h>

#include "data/LogicTables.h"
#include "data/PendingSprites.h"
#include "graphics/Display.h"
#include "graphics/Effects.h"
#include "platform/Platform.h"

namespace kiv {

void TearDown() {
    if (myGame) {
        Game::Levels().del();
        delete pKivCursor; // the cursor object outlives level switches, not the game
        delete myGame;
        myGame = nullptr;
        gNode = nullptr;
    }
    ForgetWaitingPlayback();
    ReleaseActors();
    FreeLogicTables();
    DestroyEffects();
    delete pDraw;
    pDraw = nullptr;
    delete pConsole; // writes the log one last time
    pConsole = nullptr;
    CloseGraphics();
    platform::Current().GetInstanceLock().Release();
}

} // namespace kiv
