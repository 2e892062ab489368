#include "game/FrameLoop.h"

#include <kiv/base/Console.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/host/Host.h>
#include <kiv/input/DIK.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/logic/Alarm.h>
#include <kiv/sound/MidiFile.h>
#include <kiv/sound/SoundCard.h>

#include "game/FrameSteps.h"
#include "game/LoopGlobals.h"
#include "game/NetworkFrame.h"
#include "game/SpritePass.h"
#include "graphics/Display.h"
#include "graphics/Effects.h"
#include "platform/Platform.h"
#include "variables/MapTexts.h"

namespace kiv {

namespace {

// A key or a mouse button is down, or the mouse moves.
bool InputActive() {
    return (pKeyboard && !pKeyboard->Nothing()) ||
           (pMouse && (!pMouse->Nothing() || pMouse->IsMoving()));
}

// Screen saver: any input ends the game, as it does for savers on systems without a
// separate saver password service. A preview ignores input, function keys included.
bool WakeUp() {
    if (!_IsScreenSaver || !InputActive())
        return false;
    if (!_IsWindowed)
        myGame->EndGame();
    return true;
}

// Pausing stops the mouse's data and the sounds that play; resuming forgets what the network
// players held and starts both again.
void TogglePause() {
    GamePaused = !GamePaused;
    if (!GamePaused)
        gNode->NResetKM();
    if (pMouse)
        GamePaused ? pMouse->StopReceivingData() : pMouse->StartReceivingData();
    SoundCard::Instance().ManageBuffers(!GamePaused);
}

// After a display switch, the MIDI music that should be playing plays again.
void SwitchDisplay() {
    SwitchScreenMode();
    platform::Current().GetClock().Sleep(1000);
    for (node* n = gNode->MidiFiles().Head(); !n->EOList(); n = n->Next()) {
        auto* midi = static_cast<MidiFile*>(n);
        if (midi->PlayRequested() && !midi->IsPlaying())
            midi->Play();
    }
}

struct HotKey {
    unsigned char key;
    bool (*allowed)();
    void (*action)();
};

bool Always() {
    return true;
}
bool NotRecordingOrReplaying() {
    return !myGame->Recording() && !myGame->Replaying();
}
bool MayTakeScreenShot() {
    return !gNode->NetworkLevel() && NotRecordingOrReplaying();
}
bool QuitsOnEscape() {
    return gNode && gNode->QuitOnEscape();
}
bool NotOnNetworkLevel() {
    return !gNode->NetworkLevel();
}
// Saving and loading wait while a replay runs.
bool MaySaveOrLoad() {
    return NotOnNetworkLevel() && !myGame->Replaying();
}

// In priority order: the first of these keys triggered in a frame is the one handled; when
// its condition does not hold, nothing happens in that frame.
const HotKey HotKeys[] = {
    {DIK_SYSRQ, MayTakeScreenShot, [] { myGame->SaveScreenShot(); }},
    {DIK_F12, Always, SwitchDisplay},
    {DIK_F10, NotRecordingOrReplaying, TogglePause},
    {DIK_ESCAPE, QuitsOnEscape, [] { myGame->EndGame(); }},
    {DIK_F5, MaySaveOrLoad, [] { myGame->SaveGame(); }},
    {DIK_F6, MaySaveOrLoad, [] { myGame->LoadGame(); }},
    {DIK_F7, MaySaveOrLoad, [] { myGame->SaveReplay(); }},
    {DIK_F8, MaySaveOrLoad, [] { myGame->LoadReplay(); }},
    {DIK_F1, NotOnNetworkLevel, [] { myGame->StartRecording(); }},
    {DIK_F2, NotOnNetworkLevel, [] { myGame->StopRecording(); }},
    {DIK_F3, NotOnNetworkLevel, [] { myGame->Replay(false); }},
    {DIK_F9, Always,
     [] {
         if (pConsole)
             pConsole->Show(!pConsole->Show());
     }},
};

// Each map in list order: a paused map is drawn without its logic, an unused one skipped.
void DrawMaps() {
    bool cursorDone = false;
    for (node* n = gNode->Maps().Head(); !n->EOList(); n = n->Next()) {
        auto* map = static_cast<Map*>(n);
        if (!map->Pause()) {
            if (map->Unused())
                continue;
            map->GetBehavior().Update(map);
        }
        map->DisplayMap();
        for (node* a = map->Alarms().Head(); !a->EOList(); a = a->Next())
            if (static_cast<Alarm*>(a)->ShowCollision())
                static_cast<Alarm*>(a)->ShowAlarmCollision(map);
        if (map->Type() == Map::Wrapped)
            continue;
        DisplayMapTexts(*map, false);
        BeginStep(FrameStep::Sprites);
        UpdateSprites(map, cursorDone);
        BeginStep(FrameStep::Maps);
        DisplayMapTexts(*map, true);
        gNode->UpdateParticleSystem(map);
    }
}

} // namespace

void HandleHotKeys() {
    if (WakeUp() || !pKeyboard)
        return;
    for (const HotKey& k : HotKeys) {
        if (pKeyboard->IsTriggered(k.key)) {
            if (k.allowed())
                k.action();
            return;
        }
    }
}

void RunFrame() {
    BeginStep(FrameStep::Input);
    ++FrameCounter;
    if (ServeNetwork())
        return;
    if (myGame->SaveRequested())
        myGame->RealSaveGame();
    if (myGame->LoadRequested())
        myGame->RealLoadGame();
    if (pMouse) {
        MouseEvent* out = MouseEventRecords;
        MouseEventCount = pMouse->Update(out);
    }
    if (pKeyboard) {
        unsigned char* out = KeyEventRecords;
        KeyEventCount = pKeyboard->Update(out);
    }
    HandleHotKeys();
    BeginStep(FrameStep::Logic);
    if (!GamePaused && !WaitingForPlayers) {
        if (!ExchangeNetworkInputs())
            return;
        myGame->GetBehavior().Update(myGame);
        gNode->GetBehavior().Update(gNode);
        gNode->GetNewVariableStates();
        if (gNode->Maps().Count() == 0)
            ClearBackBuffer();
        BeginStep(FrameStep::Maps);
        DrawMaps();
    }
    BeginStep(FrameStep::Overlay);
    if (!WaitingForPlayers) {
        gNode->DisplayTextNoMap();
        gNode->UpdateCursor();
        if (gNode->ShowScrollingBoundingBox())
            gNode->GetViewPort().DisplayBB();
    }
    BeginStep(FrameStep::Console);
    if (pConsole)
        pConsole->Display();
    BeginStep(FrameStep::Effects);
    if (!GamePaused && !WaitingForPlayers) {
        UpdateEffects();
        ApplyZOrderQueue();
    }
    // While a switch waits for an effect, the effect's frames are shown.
    BeginStep(FrameStep::Present);
    if (!myGame->LevelChangePending() || EffectRunning())
        gNode->UpdateScreen();
    gNode->GetViewPort().Commit();
    BeginStep(FrameStep::End);
}

} // namespace kiv
