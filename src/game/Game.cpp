#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/host/Host.h>
#include <kiv/input/DIK.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/KivCursor.h>
#include <kiv/input/Mouse.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/variables/Variable.h>

#include "base/Conversions.h"
#include "base/LocalVariables.h"
#include "base/Messages.h"
#include "data/LevelActors.h"
#include "game/LoopGlobals.h"
#include "game/SaveFiles.h"
#include "game/SpritePass.h"
#include "graphics/Display.h"
#include "platform/Platform.h"

#include <cstdio>
#include <filesystem>
#include <string>

Game* myGame = nullptr;

Game::Game()
    : replayExitKey(DIK_F4), replayFrameRate(0), showCursor(false), recording(false),
      replaying(false), loadRequested(false), saveRequested(false), loadInputData(false),
      slowReplay(false), quitAfterReplay(false), navigatingHistory(false), historyCursor(-1),
      levelNumber(0), previousLevelNumber(-1), levelChangePending(true), switchedBefore(false),
      localVariableIndex(-1), title(kiv::platform::WindowSpec().title) {
    history.reserve(10);
}

Game::~Game() {
    delete localVariable;
    kiv::RemoveWorkFiles();
    CloseNetworkSession();
}

List& Game::Levels() {
    static List levels;
    return levels;
}

void Game::Name(const char* n) {
    if (n)
        name = n;
}

void Game::Title(const char* text) {
    title = text;
    kiv::platform::Current().GetWindow().SetTitle(title);
}

// A hidden cursor's sprite is unused: it is neither updated nor drawn.
void Game::ShowCursor(bool show) {
    showCursor = show;
    if (Sprite* sprite = Sprite::Search("KIV_CURSOR_ROSRUC_"))
        sprite->Unused(!show);
    if (pKivCursor && pMouse)
        pMouse->Locate(pKivCursor->ViewportPositionX(), pKivCursor->ViewportPositionY());
}

void Game::LevelNumber(int n) {
    previousLevelNumber = levelNumber;
    if (!Search(n)) {
        kiv::ReportUserError("void Game::LevelNumber(int)", 21, n);
        return;
    }
    levelNumber = n;
    levelChangePending = true;
    if (gNode && gNode->m_ExitFunction && !gNode->m_ExitCalled) {
        gNode->m_ExitCalled = true;
        gNode->m_ExitFunction(gNode);
    }
}

void Game::LevelName(const char* n) {
    GameNode* level = Search(n);
    if (!level) {
        kiv::ReportUserError("void Game::LevelName(const char *)", 22, n ? n : "");
        return;
    }
    LevelNumber(kiv::WrappingAdd(level->Id(), -1)); // a damaged level's Id may be the lowest
}

const char* Game::LevelName() {
    return gNode ? gNode->Name() : "";
}

GameNode* Game::Search(int n) {
    // Compared in 64 bits: any level number and any Id, damaged data's too, compare safely.
    for (node* l = Levels().Head(); !l->EOList(); l = l->Next())
        if (static_cast<GameNode*>(l)->Id() == static_cast<long long>(n) + 1)
            return static_cast<GameNode*>(l);
    return nullptr;
}

GameNode* Game::Search(const char* n) {
    for (node* l = Levels().Head(); n && !l->EOList(); l = l->Next())
        if (static_cast<GameNode*>(l)->m_Name == n)
            return static_cast<GameNode*>(l);
    return nullptr;
}

namespace {

GameNode* WithId(int id) {
    for (node* l = Game::Levels().Head(); !l->EOList(); l = l->Next())
        if (static_cast<GameNode*>(l)->Id() == id)
            return static_cast<GameNode*>(l);
    return nullptr;
}

} // namespace

GameNode* Game::Add(GameNode* level) {
    if (!level)
        return nullptr;
    if (GameNode* known = WithId(level->Id()))
        return known;
    Levels().add(level, Levels().Sentinel());
    return level;
}

GameNode* Game::Add(GameNode level) {
    GameNode* known = WithId(level.Id());
    return known ? known : Add(new GameNode(level));
}

void Game::EndGame() {
    kiv::QuitRequested = true;
}

void Game::NextLevel() {
    if (gNode && gNode->Id() < Levels().Count())
        LevelNumber(gNode->Id());
}

void Game::PreviousLevel() {
    if (gNode && gNode->Id() > 1)
        LevelNumber(gNode->Id() - 2);
}

void Game::RestartLevel() {
    if (gNode)
        LevelNumber(gNode->Id() - 1);
}

void Game::BackwardLevel() {
    if (historyCursor < 1)
        return;
    navigatingHistory = true;
    LevelNumber(history[historyCursor - 1]);
    --historyCursor;
}

void Game::ForwardLevel() {
    if (historyCursor + 1 >= static_cast<int>(history.size()))
        return;
    navigatingHistory = true;
    LevelNumber(history[historyCursor + 1]);
    ++historyCursor;
}

unsigned int Game::WorldWidth() {
    return gNode ? gNode->WorldWidth() : 0;
}

unsigned int Game::WorldHeight() {
    return gNode ? gNode->WorldHeight() : 0;
}

bool Game::IsFullScreen() {
    return !_IsWindowed;
}

void Game::SwitchLevel() {
    if (switchedBefore && gNode && gNode->m_EndFunction)
        gNode->m_EndFunction(gNode);
    switchedBefore = true;
    kiv::ShowLoading = true;
    if (gNode)
        gNode->UpdateScreen();
    ResetRunningLevel();
    kiv::ReleaseActors();
    kiv::ActorsLevel = 0;
    levelChangePending = false;
    UpdateHistory(levelNumber, previousLevelNumber);

    gNode = Search(levelNumber);
    ShowCursor(false);
    if (gNode)
        gNode->Execute();
    if (!gNode || !gNode->NetworkLevel())
        CloseNetworkSession();
    if (pKeyboard)
        pKeyboard->Reset();
    if (pMouse)
        pMouse->ResetKeys();
    Variable::UpdateTextMaps();
    kiv::ShowLoading = false;
}

void Game::ResetRunningLevel() {
    StopRecording();
    MainCharacterSprite = nullptr;
    kiv::ClearZOrderQueue();
    if (gNode)
        gNode->Reset();
}

// Unless the level was reached through the history, the entries after the current one go,
// and the new level becomes the newest entry when it is not the level `from`.
void Game::UpdateHistory(int newLevel, int from) {
    if (!navigatingHistory) {
        history.resize(static_cast<size_t>(historyCursor + 1));
        if (newLevel != from) {
            if (history.size() == history.capacity())
                history.reserve(history.size() + 10);
            history.push_back(newLevel);
            ++historyCursor;
        }
    }
    navigatingHistory = false;
}

void Game::SaveScreenShot() {
    for (int n = 1; n <= 9999; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "ScreenShot%04d", n);
        if (!std::filesystem::exists(std::string(name) + ".jpg")) {
            ScreenShotJPG(name);
            return;
        }
    }
}

int Game::ViewportWidth() {
    return gNode ? static_cast<int>(gNode->GetViewPort().Width()) : 0;
}

int Game::ViewportHeight() {
    return gNode ? static_cast<int>(gNode->GetViewPort().Height()) : 0;
}

void Game::ViewPortPosition(unsigned int x, unsigned int y, bool moveMainCharacter) {
    if (gNode)
        gNode->ViewPortPosition(x, y, moveMainCharacter);
}

int Game::ViewPortPositionX() {
    return gNode ? static_cast<int>(gNode->GetViewPort().WorldXPos()) : 0;
}

int Game::ViewPortPositionY() {
    return gNode ? static_cast<int>(gNode->GetViewPort().WorldYPos()) : 0;
}

void Game::AddLocalVariable(unsigned int index) {
    if (!kiv::AddLocalVariable(localVariable, index))
        kiv::ReportUserError("void Game::AddLocalVariable(unsigned int index)", 1, index);
    else
        localVariableIndex = static_cast<int>(index);
}

Behavior& Game::GetCurrentLevelBehavior() {
    return gNode ? gNode->GetBehavior() : behavior;
}
