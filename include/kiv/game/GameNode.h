#pragma once

#include <kiv/base/List.h>
#include <kiv/base/String.h>
#include <kiv/base/node.h>
#include <kiv/game/InputRecording.h>
#include <kiv/graphics/Map.h>
#include <kiv/graphics/ViewPort.h>
#include <kiv/logic/Behavior.h>

class Variable;
class GameNode;
class Sprite;
class Sound;
class StreamedSound;
class MidiFile;
class ParticleSystem;

// The functions of the game executable that load, leave and end a level.
typedef void (*LevelFunction)(GameNode*);

// One level of the game: its objects, its frame rate and the functions that load it.
class KIV_API GameNode : public node {
public:
    enum { DisplayLists = 16 };

    GameNode();
    // A new level with the identity, names, functions, settings, behavior and lists of
    // `other` (each object of the lists copied); its recording starts empty.
    GameNode(const GameNode& other);
    GameNode& operator=(const GameNode&) = delete;
    ~GameNode() override;
    const char* ClassName() override;
    // The level's whole record, with the game-wide state that a load must bring back.
    void Save(File& file) override;
    void Load(File& file) override;
    static node* CreateObject();

    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    void Name(const char* name);
    const char* Name() const { return m_Name; }
    void PaletteName(const char* name);
    const char* PaletteName() const { return m_PaletteName; }
    void LevelFile(const char* path);
    const char* LevelFile() const { return m_LevelFile; }
    void WorldWidth(unsigned int w) { m_WorldWidth = w; }
    unsigned int WorldWidth() const { return m_WorldWidth; }
    void WorldHeight(unsigned int h) { m_WorldHeight = h; }
    unsigned int WorldHeight() const { return m_WorldHeight; }
    void QuitOnEscape(bool on) { m_QuitOnEscape = on; }
    bool QuitOnEscape() const { return m_QuitOnEscape; }
    void ShowScrollingBoundingBox(bool on) { m_ShowScrollingBoundingBox = on; }
    bool ShowScrollingBoundingBox() const { return m_ShowScrollingBoundingBox; }
    void NetworkLevel(bool on) { m_NetworkLevel = on; }
    bool NetworkLevel() const { return m_NetworkLevel; }
    // The network session's settings: TCP port, the level to fall back to when the game
    // cannot go on, the players needed and accepted, and the session's identifier.
    void NetworkSettings(unsigned int port, int fallbackLevel, int playersNeeded, int maxPlayers,
                         const unsigned char sessionId[16]);
    unsigned int Port() const { return m_Port; }
    int FallbackLevel() const { return m_FallbackLevel; }
    int PlayersNeeded() const { return m_PlayersNeeded; }
    int MaxPlayers() const { return m_MaxPlayers; }
    const unsigned char* SessionId() const { return m_SessionId; }
    // The level's network session, with its identifier; 0 when it runs, -1 otherwise.
    int HostNetworkSession(unsigned long port, const char* playerName);
    int JoinNetworkSession(const char* hostName, unsigned long port, const char* playerName);
    // The game starts once the players it needs have their characters; until then the
    // frames wait (WaitingForPlayers).
    void WaitForOtherPlayers();
    // Resets the keyboard and mouse of every network player's sprite.
    void NResetKM();

    // A clone of the game's local-variable prototype NArray[index] (user error 1 otherwise).
    void AddLocalVariable(unsigned int index);
    int LocalVariableIndex() const { return m_LocalVariableIndex; }

    Behavior& GetBehavior() { return m_Behavior; }
    ViewPort& GetViewPort() { return m_ViewPort; }

    // The level's functions: two load functions, the exit function (run once when a switch
    // away is requested) and the end function (run when the level is left).
    void LoadFunctions(LevelFunction first, LevelFunction second);
    void ExitFunction(LevelFunction f) { m_ExitFunction = f; }
    void EndFunction(LevelFunction f) { m_EndFunction = f; }

    // The level named so, or null after user error 22.
    static GameNode* Search(char* name);

    bool Add(Variable* v);
    // Adds a copy of the variable.
    bool Add(Variable& v);
    // Maps are kept sorted by ascending z-order; a map goes before those of equal z-order.
    // A sprite goes into its display list before the first sprite of equal or greater
    // z-order; a display list number outside 0 to 15 is refused (user error 23) and the
    // sprite destroyed.
    bool Add(Sprite* sprite);
    bool Add(Sprite& sprite);
    bool Add(Map* map);
    bool Add(Map& map);
    // Makes a map of the given kind (a master map uses only the name, file and z-order) and
    // adds it.
    bool AddMap(const char* name, const char* file, int zOrder, int x, int y, bool screenFixed,
                KivRect displayRect, Map::MapType type);
    bool Add(Sound* s);
    bool Add(StreamedSound* s);
    bool Add(MidiFile* m);
    bool Add(ParticleSystem* system);

    // Sound helpers: a "WAVE" ("midi") resource of the game named by the file, else the file
    // in the sound effects' (music) folder; user errors 24, 25, 26 when there is neither.
    bool AddSFX(char* name, char* file, bool flag, int count);
    bool AddMusic(char* name, char* file, bool flag);
    bool AddMidiFile(char* name, char* file, bool flag);
    void PlaySFX(const char* name);
    void PlayMusic(const char* name);
    void StopMusic(const char* name);
    void PlayMidiFile(const char* name);
    void StopMidiFile(const char* name);

    // Starts the level: reads its level file through its load functions.
    void Execute();
    void GetNewVariableStates();
    // Runs the cursor's logic and draws its sprite, after everything else, while the game
    // shows its cursor.
    void UpdateCursor();
    // Destroys the cursor object (pKivCursor).
    void DeleteKivCursor();
    // Moves this level's viewport to the world position (x, y); with `moveMainCharacter` the
    // main character travels along.
    void ViewPortPosition(unsigned int x, unsigned int y, bool moveMainCharacter);
    void DisplayTextNoMap();
    // The particle systems of the map: those alive and in use are updated and drawn, those
    // whose particles have all died are removed from the level.
    void UpdateParticleSystem(Map* map);

    // Frame pacing.
    void StartTimer();
    void EndTimer();
    void Idle();
    void FPStoMS(unsigned int fps);
    void InitFPS();
    float CurrentFPS() const { return m_CurrentFPS; }
    unsigned int TargetFPS() const { return m_TargetFPS; }
    // Presents the finished frame (nothing while the game is paused).
    void UpdateScreen();

    List& Maps() { return m_Maps; }
    List& DisplayList(int i) { return m_DisplayLists[i]; }
    List& Variables() { return m_Variables; }
    List& Sounds() { return m_Sounds; }
    List& StreamedSounds() { return m_StreamedSounds; }
    List& MidiFiles() { return m_MidiFiles; }
    List& ParticleSystems() { return m_ParticleSystems; }

    // The input recorded in this level for replays.
    InputRecording& RecordedInput() { return m_RecordedInput; }

    // Empties the level at a switch away from it, keeping what identifies and loads it.
    void Reset();
    // Ends the game when a main character starts outside the scrolling bounding box.
    void CheckMainCharacters();
    // A network level starts its session, or goes on with the one that runs.
    void StartNetworkLevel();

private:
    friend class Game;

    // Destroys the objects of every list.
    void Empty();
    // The record's lists, each keeping only objects of its kind.
    void LoadLists(File& file);
    void LoadCursor(File& file);
    void BindLetterSounds();
    // The game-wide part of the record, after the level's own objects.
    void SaveGameState(File& file);
    void LoadGameState(File& file);

    int m_Id;
    unsigned int m_WorldWidth;
    unsigned int m_WorldHeight;
    String m_Name;
    String m_PaletteName;
    String m_LevelFile;
    Behavior m_Behavior;
    int m_SpriteCount, m_MapCount, m_VariableCount, m_SoundCount, m_StreamedSoundCount,
        m_MidiFileCount, m_ParticleSystemCount;
    List m_Maps;
    List m_DisplayLists[DisplayLists];
    List m_Variables;
    List m_Sounds;
    List m_StreamedSounds;
    List m_MidiFiles;
    List m_ParticleSystems;
    ViewPort m_ViewPort;
    int m_LocalVariableIndex;

    unsigned int m_FrameStart;
    unsigned int m_FrameEnd;
    unsigned int m_Elapsed;
    unsigned int m_TargetFPS;
    unsigned int m_TargetMS;
    float m_CurrentFPS;
    unsigned int m_LastFPSRefresh;
    // The variable that shows the frame rate (F11); it lives in the variable list.
    Variable* m_FPSVariable;

    LevelFunction m_FirstLoad;
    LevelFunction m_SecondLoad;
    LevelFunction m_ExitFunction;
    LevelFunction m_EndFunction;
    bool m_ExitCalled;
    bool m_QuitOnEscape;
    bool m_ShowScrollingBoundingBox;

    bool m_NetworkLevel;
    unsigned int m_Port;
    int m_FallbackLevel;
    int m_PlayersNeeded;
    int m_MaxPlayers;
    unsigned char m_SessionId[16];
    int m_Reserved[7];

    InputRecording m_RecordedInput;
    // Objects a loaded record refers to that none of the level's lists holds (the shapes
    // of actor frames that sprites touched); the level keeps them until it is emptied.
    List m_LoadedLeftovers;
};

// The level that runs.
extern KIV_API GameNode* gNode;
