// Saving, loading, recording and replaying. Requests are flags that the next frame carries
// out before it reads the input (RealSaveGame, RealLoadGame), so a game is never saved or
// loaded half way through a frame.
#include <kiv/base/UserError.h>
#include <kiv/data/File.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>

#include "base/Messages.h"
#include "data/LevelActors.h"
#include "game/SaveFiles.h"
#include "graphics/Display.h"

#include <algorithm>

namespace {

using namespace kiv;

// A slow replay runs at a quarter of the level's rate, but never below this.
constexpr unsigned int SlowestReplay = 15;

bool OnNetworkLevel() {
    return gNode && gNode->NetworkLevel();
}

bool FramesRecorded() {
    return gNode && gNode->RecordedInput().KeyFrames() > 0;
}

} // namespace

using namespace kiv;

// A request stops a recording and keeps the file's name when one is given.
void Game::Request(bool& requested, String& name, const char* file) {
    if (OnNetworkLevel())
        return;
    recording = false;
    requested = true;
    if (file)
        name = file;
}

void Game::SaveGame(const char* file) {
    Request(saveRequested, saveFile, file);
}

void Game::SaveGame() {
    SaveGame(nullptr);
}

void Game::LoadGame(const char* file) {
    Request(loadRequested, loadFile, file);
}

void Game::LoadGame() {
    LoadGame(nullptr);
}

void Game::LoadInputData(const char* file) {
    if (file && *file)
        inputDataFile = file;
    loadInputData = true;
}

void Game::RealSaveGame() {
    if (saveFile.empty())
        RunDialog(&Game::SaveGameDialog);
    else
        WriteSave(saveFile, NamedMagic);
    saveRequested = false;
    saveFile.erase();
}

// A save that cannot be finished leaves the file that was there as it was.
void Game::WriteSave(const char* file, const char* magic) {
    SafeFile out(file);
    File& f = out.Get();
    f.Write(magic, MagicLength);
    if (OnSaveP)
        OnSaveP(f);
    f.Write(gNode->Id() - 1);
    gNode->Save(f);
    if (!out.Commit())
        SaveError(117);
}

void Game::RealLoadGame() {
    if (loadFile.empty()) {
        RunDialog(&Game::LoadGameDialog);
        loadRequested = false;
        return;
    }
    bool accepted = true;
    if (loadInputData) {
        File replay(inputDataFile, File::Reading);
        accepted = ReadMagic(replay, {ReplayMagic});
    }
    if (accepted) {
        File file(loadFile, File::Reading);
        accepted = ReadMagic(file, {NamedMagic, SaveMagic});
        if (accepted)
            ReadSave(file);
    }
    if (!accepted) {
        // Nothing is loaded, and a replay that was to start does not.
        SaveError(116);
        replaying = slowReplay = false;
    }
    loadRequested = false;
    loadFile.erase();
    if (accepted && loadInputData)
        ReadInputData();
    loadInputData = false;
    inputDataFile.erase();
    if (accepted && slowReplay) {
        gNode->FPStoMS(std::max(gNode->TargetFPS() / 4, SlowestReplay));
        slowReplay = false;
    }
}

// The level's actors stay when the save is of the level they were built for; otherwise the
// saved level's actors are read from its level file, as starting it would.
void Game::ReadSave(File& file) {
    if (OnLoadP)
        OnLoadP(file);
    int number = 0;
    file.Read(number);
    GameNode* level = Search(number);
    if (!level) // a level this game does not have: the file is not one of its saves
        FatalError(Message(104), file.Name());
    std::vector<String> sounds;
    bool keepActors = ActorsLevel == level->Id();
    if (keepActors)
        sounds = ActorSoundNames();
    ResetRunningLevel();
    UpdateHistory(number, levelNumber);
    gNode = level;
    ShowCursor(false);
    if (!keepActors) {
        ReleaseActors();
        sounds = BuildActors(*level);
    }
    level->Load(file);
    file.CheckNotCutShort();
    BindActorSounds(sounds);
    LoadActorImages();
}

void Game::ReadInputData() {
    File file(inputDataFile, File::Reading);
    file.SeekBegin(MagicLength);
    gNode->RecordedInput().Load(file);
    file.CheckNotCutShort();
}

void Game::StartRecording() {
    if (OnNetworkLevel() || replaying)
        return;
    SaveGame(WorkFile(StartOfRecording));
    gNode->RecordedInput().Clear();
    recording = true;
}

void Game::StopRecording() {
    if (!OnNetworkLevel())
        recording = false;
}

void Game::Replay(bool slow) {
    if (OnNetworkLevel() || !FramesRecorded())
        return;
    SaveGame(WorkFile(StartOfReplay));
    LoadGame(WorkFile(StartOfRecording));
    replaying = true;
    recording = false;
    replayFrameRate = static_cast<int>(gNode->TargetFPS());
    if (slow)
        slowReplay = true;
}

void Game::LoadReplay(const char* file, bool slow) {
    if (OnNetworkLevel())
        return;
    SaveGame(WorkFile(StartOfReplay));
    LoadReplay(file);
    replaying = true;
    recording = false;
    replayFrameRate = static_cast<int>(gNode->TargetFPS());
    if (slow)
        slowReplay = true;
}

void Game::LoadReplay(const char* file) {
    if (OnNetworkLevel() || !file)
        return;
    LoadGame(ReplayStartName(file));
    LoadInputData(file);
}

// The replay is the recording's start (a copy of the save made when it started) beside the
// recorded input; a replay whose start cannot be written is not written either.
void Game::SaveReplay(const char* file) {
    if (OnNetworkLevel() || !FramesRecorded() || !file)
        return;
    recording = false;
    if (!CopySafely(WorkFile(StartOfRecording), ReplayStartName(file))) {
        SaveError(119);
        return;
    }
    SafeFile out(file);
    out.Get().Write(ReplayMagic, MagicLength);
    gNode->RecordedInput().Save(out.Get());
    if (!out.Commit())
        SaveError(119);
}

void Game::SaveReplay() {
    if (OnNetworkLevel())
        return;
    recording = false;
    RunDialog(&Game::SaveReplayDialog);
}

void Game::LoadReplay() {
    if (OnNetworkLevel())
        return;
    recording = false;
    RunDialog(&Game::LoadReplayDialog);
}

void Game::FinishReplay() {
    replaying = false;
    if (gNode)
        gNode->FPStoMS(static_cast<unsigned int>(replayFrameRate));
    LoadGame(WorkFile(StartOfReplay));
    if (quitAfterReplay)
        EndGame();
}
