#pragma once

#include <kiv/base/List.h>
#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

#include <vector>

class GameNode;
class NetworkComponent;

// The game as a whole: its levels, which one runs, the history of level switches, and the
// requests (switch, quit) that the main loop carries out between frames.
class KIV_API Game : public node {
public:
    Game();
    ~Game() override;

    void Name(const char* name);
    const char* Name() const { return name; }
    // The main window's title.
    void Title(const char* title);
    // Shows or hides the game's cursor (a hidden cursor's sprite is unused) and places the
    // mouse at the cursor.
    void ShowCursor(bool show);
    bool ShowCursor() const { return showCursor; }

    // Requests a switch to level n; the loop performs it before the next frame.
    void LevelNumber(int n);
    int LevelNumber() const { return levelNumber; }
    void LevelName(const char* name);
    const char* LevelName();

    static GameNode* Search(int n);
    static GameNode* Search(const char* name);
    // Appends a level unless one with its Id exists (which is then returned).
    GameNode* Add(GameNode* level);
    // Appends a copy of the level unless one with its Id exists (which is then returned).
    GameNode* Add(GameNode level);

    void EndGame();
    void NextLevel();
    void PreviousLevel();
    void RestartLevel();
    void BackwardLevel();
    void ForwardLevel();

    unsigned int WorldWidth();
    unsigned int WorldHeight();
    int ViewportWidth();
    int ViewportHeight();
    // Moves the current level's viewport to the world position (x, y).
    void ViewPortPosition(unsigned int x, unsigned int y, bool moveMainCharacter);
    int ViewPortPositionX();
    int ViewPortPositionY();
    bool IsFullScreen();

    // A clone of the local-variable prototype NArray[index] (user error 1 otherwise).
    void AddLocalVariable(unsigned int index);
    Behavior& GetBehavior() { return behavior; }
    Behavior& GetCurrentLevelBehavior();

    // Saving and loading: requests that the next frame carries out. Without a name the
    // player chooses the file; a save under a name given here is marked "KIV_SAR".
    // Nothing is saved or loaded on a network level.
    void SaveGame(const char* name);
    void SaveGame();
    void LoadGame(const char* name);
    void LoadGame();
    // The replay file whose input the next load plays back.
    void LoadInputData(const char* name);
    bool SaveRequested() const { return saveRequested; }
    bool LoadRequested() const { return loadRequested; }
    void RealSaveGame();
    void RealLoadGame();
    void SaveGameDialog();
    void LoadGameDialog();
    void SaveReplayDialog();
    void LoadReplayDialog();

    // Recording and replaying the player's input. A recording starts from a save of the game
    // and keeps the input of every frame in the running level; a replay loads that save and
    // feeds the recorded input to the keyboard and the mouse, then goes back to the game as
    // it was when the replay began.
    void StartRecording();
    void StopRecording();
    void Replay(bool slow);
    void SaveReplay(const char* name);
    void SaveReplay();
    void LoadReplay(const char* name, bool slow);
    void LoadReplay(const char* name);
    void LoadReplay();
    bool ReplayMode() const { return replaying; }
    // The key (a DirectInput code) that stops a replay; F4 unless set.
    void ReplayExitKey(int key) { replayExitKey = key; }
    int ReplayExitKey() const { return replayExitKey; }
    int ReplayFrameRate() const { return replayFrameRate; }
    // Ends a replay whose recording ran out or was stopped: back to the game's frame rate
    // and to the game as it was when the replay began.
    void FinishReplay();
    // Ends the game when the replay running now ends (a batch run of a replay).
    void QuitAfterReplay() { quitAfterReplay = true; }

    // The levels, in the order they were added.
    static List& Levels();
    bool LevelChangePending() const { return levelChangePending; }
    bool Recording() const { return recording; }
    bool Replaying() const { return replaying; }
    const std::vector<int>& LevelHistory() const { return history; }
    int HistoryCursor() const { return historyCursor; }

    // Carries out a pending level switch (the main loop calls it between frames).
    void SwitchLevel();
    // Saves the back buffer as the first free "ScreenShotNNNN.jpg" of the current folder.
    void SaveScreenShot();

    // ---- the network session of network levels ----
    // 0 when the session runs; -1 when one exists already or it cannot be made (the
    // session is then closed again).
    int HostNetworkSession(GUID application, unsigned long port, const char* sessionName,
                           const char* playerName);
    int JoinNetworkSession(GUID application, const char* hostName, unsigned long port,
                           const char* playerName);
    void CloseNetworkSession();
    NetworkComponent* Network() const { return network; }
    void AddToQOut(unsigned char kind, unsigned char* data, unsigned int length);
    void SendQOut();
    void ClearQOut();
    // Every player's inputs of this frame are in (or the peers are gone).
    void ReceivedFromPlayers(bool received) { receivedFromPlayers = received; }
    bool ReceivedFromPlayers() const { return receivedFromPlayers; }

private:
    friend class GameNode; // a level's record carries the game's own state

    void Request(bool& requested, String& name, const char* file);
    // Empties the running level as a level switch does, before another one starts or loads.
    void ResetRunningLevel();
    void UpdateHistory(int newLevel, int from);
    // Writes a save file: the magic, the game's own data, the level number and its record.
    void WriteSave(const char* name, const char* magic);
    // Reads the game's data, the level number and the level's record from an open save.
    void ReadSave(File& file);
    // The replay file's frames into the running level's recording.
    void ReadInputData();
    // Runs a file dialog with the devices stopped, as the system's dialogs need them.
    void RunDialog(void (Game::*dialog)());
    // The request to load the game saved when the replay began; the replay itself.
    void ReplayFrom(bool slow);

    int replayExitKey;
    int replayFrameRate;
    bool showCursor;
    bool recording;
    bool replaying;
    bool loadRequested;
    bool saveRequested;
    bool loadInputData;
    bool slowReplay;
    String loadFile;
    String saveFile;
    String inputDataFile;
    bool quitAfterReplay;
    std::vector<int> history;
    bool navigatingHistory;
    int historyCursor;
    int levelNumber;
    int previousLevelNumber;
    bool levelChangePending;
    bool switchedBefore;
    int localVariableIndex;
    String name;
    // The main window's title, as a save keeps it.
    String title;
    Behavior behavior;
    NetworkComponent* network = nullptr;
    bool receivedFromPlayers = false;
};

extern KIV_API Game* myGame;
