#include <kiv/base/Console.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/sound/SoundCard.h>

#include "base/Messages.h"
#include "game/FrameLoop.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "graphics/Effects.h"
#include "host/HostGlobals.h"
#include "host/RuntimeOptions.h"
#include "host/ScreenSaver.h"
#include "host/Shutdown.h"
#include "host/WindowProc.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessPlatform.h"

#include <filesystem>
#include <string>

namespace kiv {

namespace {

void ErrorBox(const char* text) {
    platform::Current().GetDialogs().MessageBox(text, "Exit error.", platform::MbIconError);
}

// A folder that does not exist falls back to the current folder.
void CheckFolder(String& path) {
    std::error_code ec;
    if (!std::filesystem::exists(platform::LocalPath(path), ec))
        path = CurrentDirectory;
}

void ChooseBackend(const RuntimeOptions& options) {
    if (options.headless && std::string(platform::Current().Name()) != "headless")
        platform::headless::Install();
    if (!options.input.empty()) {
        if (auto* headless =
                dynamic_cast<platform::headless::HeadlessPlatform*>(&platform::Current()))
            headless->LoadScript(options.input.c_str());
    }
}

bool CreateMainWindow(const RuntimeOptions& options) {
    platform::WindowSpec shape;
    shape.width = ModeWidth;
    shape.height = ModeHeight;
    shape.windowed = _IsWindowed;
    shape.scale = options.scale;
    platform::Window& window = platform::Current().GetWindow();
    if (!window.Create(shape))
        return false;
    _Ghwnd = &window;
    window.ShowCursor(_IsWindowed);
    window.InhibitScreenSaver(true);
    return true;
}

void StartUp() {
    BuildLogicP();
    myGame = new Game;
    KivP();
    delete _GameFile;
    _GameFile = nullptr;
    CreateEffects();
    pDraw = new GeometricsDrawn;
    pConsole = new Console;
    gNode = Game::Search(0);
    pKeyboard = new Keyboard(_Ghwnd, GameModule);
    pMouse = new Mouse(_Ghwnd, GameModule);
    OnGameStartP();
}

int MainLoop(const RuntimeOptions& options) {
    platform::Platform& p = platform::Current();
    for (;;) {
        p.StartPass(FrameCounter + 1);
        if (gNode)
            gNode->StartTimer();
        while (myGame->LevelChangePending() && !EffectRunning())
            myGame->SwitchLevel();
        if (!gNode) // a game without the level to start
            myGame->EndGame();
        WindowMessage message;
        if (PeekMessage(message)) {
            if (message.kind == WindowMessage::Quit)
                return message.exitCode;
            WindowProc(message);
        }
        if (!QuitRequested)
            RunFrame();
        else if (p.GetWindow().Exists())
            DestroyMainWindow();
        SoundCard::Instance().UpdateBuffers();
        if (options.frames && FrameCounter >= options.frames)
            myGame->EndGame();
        if (gNode) {
            gNode->EndTimer();
            gNode->Idle();
        }
    }
}

void ResetRun() {
    FrameCounter = 0;
    GamePaused = QuitRequested = WaitingForPlayers = ShowLoading = false;
    MinimizedWhilePaused = ScreenSaverPreview = false;
    ScreenSaverParent = 0;
    ClearMessages();
}

} // namespace

} // namespace kiv

int KivMain(HINSTANCE module, HINSTANCE, char* commandLine, int) {
    using namespace kiv;
    ResetRun();
    GameModule = module;
    RuntimeOptions options = RuntimeOptions::Take(commandLine);
    ChooseBackend(options);

    SetDataPathP();
    CheckFolder(ArtAssetsPath);
    CheckFolder(RTDPath);
    InitPaths();
    LoadGameFileP();
    ModeP();
    if (options.windowed >= 0)
        _IsWindowed = options.windowed == 1;
    if (_IsScreenSaver) {
        if (!ReadScreenSaverCommandLine(commandLine))
            return 0;
        _IsWindowed = ScreenSaverPreview;
    }

    platform::Platform& p = platform::Current();
    if (!p.GetInstanceLock().Acquire()) {
        if (!_IsScreenSaver)
            ErrorBox(Message(113));
        return 0;
    }
    // The sound device needs no probe: the platform always has an output, a silent one at
    // worst. The sound card is made on first use, once the window exists, and keeps it.
    if (!CreateMainWindow(options)) {
        ErrorBox("Internal error!");
        p.GetInstanceLock().Release();
        return 0;
    }
    if (!InitGraphics()) {
        ErrorBox(Message(115));
        CloseGraphics();
        p.GetWindow().Destroy();
        p.GetInstanceLock().Release();
        return 0;
    }
    bool keepFrames = !options.screenshot.empty();
    KeepPresentedFrame(keepFrames);
    {
        LoadingMessage loading;
        p.GetClock().Sleep(1000);
        StartUp();
    }

    int exitCode = MainLoop(options);

    OnGameEndP();
    if (keepFrames)
        WritePresentedFrame(options.screenshot.c_str());
    TearDown();
    p.GetWindow().Destroy();
    delete pMouse;
    pMouse = nullptr;
    delete pKeyboard;
    pKeyboard = nullptr;
    _Ghwnd = nullptr;
    return exitCode;
}

char* KivCommandLine(int argc, char** argv) {
    static std::string line;
    line.clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line.data();
}
