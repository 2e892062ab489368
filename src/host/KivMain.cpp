#include <kiv/base/Console.h>
#include <kiv/data/File.h>
#include <kiv/data/GameFiles.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/network/NetworkComponent.h>
#include <kiv/sound/SoundCard.h>

#include "base/ConsoleOutput.h"
#include "base/Diagnostics.h"
#include "base/ExitStatus.h"
#include "base/Messages.h"
#include "game/FrameLoop.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "graphics/Effects.h"
#include "host/CallbackSlots.h"
#include "host/FrameHashes.h"
#include "host/HostGlobals.h"
#include "host/RuntimeOptions.h"
#include "host/ScreenSaver.h"
#include "host/Shutdown.h"
#include "host/WindowProc.h"
#include "network/SessionOptions.h"
#include "platform/InputScript.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cerrno>
#include <cstdio>
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
    std::string local = platform::LocalPath(path);
    if (std::filesystem::exists(local, ec))
        return;
    Diagnostic("The folder %s does not exist: the game looks in the current folder %s instead.",
               local.c_str(), CurrentDirectory.operator const char*());
    path = CurrentDirectory;
}

// Options that end the run before the game starts: help, version, refused options. -1 when
// the game is to start.
int AnswerOptions(const RuntimeOptions& options) {
    if (options.help || options.version) {
        std::fputs(options.help ? RuntimeOptions::Help(program_invocation_short_name).c_str()
                                : "KivCore " KIV_VERSION "\n",
                   stdout);
        std::fflush(stdout);
        return 0;
    }
    std::string prefix = std::string(program_invocation_short_name) + ": ";
    for (const std::string& note : options.notes)
        WriteStandardErrorUtf8((prefix + note + "\n").c_str());
    if (options.refused.empty())
        return -1;
    for (const std::string& why : options.refused)
        WriteStandardErrorUtf8((prefix + why + "\n").c_str());
    WriteStandardErrorUtf8((prefix + "run it with --help for the runtime's options\n").c_str());
    return ExitStatus(Ending::CommandLine);
}

bool ChooseBackend(const RuntimeOptions& options) {
    if (options.headless && std::string(platform::Current().Name()) != "headless")
        platform::headless::Install();
    return options.input.empty() || platform::Current().GetScript()->Load(options.input.c_str());
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

void StartUp(const RuntimeOptions& options) {
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
    if (!options.replay.empty()) {
        myGame->QuitAfterReplay();
        myGame->LoadReplay(options.replay.c_str(), false);
    }
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
        if (!QuitRequested) {
            RunFrame();
            RecordFrameHash();
        } else if (p.GetWindow().Exists())
            DestroyMainWindow();
        SoundCard::Instance().UpdateBuffers();
        if (options.frames && FrameCounter >= options.frames)
            myGame->EndGame();
        if (gNode) {
            gNode->EndTimer();
            // A player who comes while the level runs replays the frames it missed at once.
            if (!myGame->Network() || !myGame->Network()->CatchingUp())
                gNode->Idle();
        }
    }
}

// The answers to a network level's host-or-join dialog, when the command line gives them.
void TakeSessionOptions(const RuntimeOptions& options) {
    SessionOptions& session = NetworkOptions();
    session.answer = options.session;
    session.port = options.port;
    session.hostName = options.joinHost;
    session.playerName = options.player;
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
    if (int answered = AnswerOptions(options); answered >= 0)
        return answered;
    if (!ChooseBackend(options))
        return ExitStatus(Ending::CommandLine);
    SetLogFile(options.log);
    TakeSessionOptions(options);
    FillEmptySlots();

    SetDataPathP();
    CheckFolder(ArtAssetsPath);
    CheckFolder(RTDPath);
    InitPaths();
    LoadGameFileP();
    if (const char* slot = SlotWithoutDefault()) {
        Diagnostic("The game left the callback slot %s empty, and no game file is open to read "
                   "in its place: set %s before calling KivMain.",
                   slot, slot);
        return ExitStatus(Ending::EmptySlot);
    }
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
        Diagnostic("Another game holds the lock file %s; set KIV_LOCK_FILE to another file to "
                   "run this one beside it.",
                   p.GetInstanceLock().Path().c_str());
        return ExitStatus(Ending::SecondGame);
    }
    // The sound device needs no probe: the platform always has an output, a silent one at
    // worst. The sound card is made on first use, once the window exists, and keeps it.
    if (!CreateMainWindow(options)) {
        ErrorBox("Internal error!");
        p.GetInstanceLock().Release();
        return ExitStatus(Ending::NoDisplay);
    }
    if (!InitGraphics()) {
        ErrorBox(Message(115));
        CloseGraphics();
        p.GetWindow().Destroy();
        p.GetInstanceLock().Release();
        return ExitStatus(Ending::NoDisplay);
    }
    bool keepFrames = !options.screenshot.empty();
    KeepPresentedFrame(keepFrames);
    {
        LoadingMessage loading;
        p.GetClock().Sleep(1000);
        StartUp(options);
    }

    OpenFrameHashes(options.frameHashes);
    int exitCode = MainLoop(options);
    CloseFrameHashes();

    OnGameEndP();
    bool saved = !keepFrames || WritePresentedFrame(options.screenshot.c_str());
    if (!saved)
        Diagnostic("The last frame could not be saved in %s.", options.screenshot.c_str());
    TearDown();
    p.GetWindow().Destroy();
    delete pMouse;
    pMouse = nullptr;
    delete pKeyboard;
    pKeyboard = nullptr;
    _Ghwnd = nullptr;
    return saved ? ExitStatus(Ending::Quit, exitCode) : ExitStatus(Ending::NoScreenshot);
}
