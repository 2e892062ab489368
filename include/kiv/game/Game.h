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
    bool showCursor;
    bool recording;
    bool replaying;
    std::vector<int> history;
    bool navigatingHistory;
    int historyCursor;
    int levelNumber;
    int previousLevelNumber;
    bool levelChangePending;
    bool switchedBefore;
    int localVariableIndex;
    String name;
    Behavior behavior;
    NetworkComponent* network = nullptr;
    bool receivedFromPlayers = false;
};

extern KIV_API Game* myGame;
