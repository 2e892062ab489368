#pragma once

#include <kiv/Export.h>

class GameNode;
class KivCursor;
class MovementPattern;
class PathStateMachine;
class StateMachine;
class Timer;
class node;

// The logic tables that the game executable creates and fills; game data and saved games
// name logic by index into them. Each highest index is -1 until set.
extern KIV_API void** FArray;   // behavior and timer functions
extern KIV_API void** SMFArray; // state and edge functions
extern KIV_API void** LVFArray; // level functions
extern KIV_API StateMachine* SMArray;
extern KIV_API Timer* TMArray;
extern KIV_API PathStateMachine* PSMArray;
extern KIV_API MovementPattern* MPArray;
extern KIV_API node** NArray; // prototypes of local-variable objects
extern KIV_API int maxFIndex;
extern KIV_API int maxSMIndex;
extern KIV_API int maxTMIndex;
extern KIV_API int maxPSMIndex;
extern KIV_API int maxMPIndex;
extern KIV_API int maxNIndex;

KIV_API StateMachine* NewStateMachines(unsigned int n);
KIV_API Timer* NewTimers(unsigned int n);
KIV_API PathStateMachine* NewPathStateMachines(unsigned int n);
KIV_API MovementPattern* NewMovementPatterns(unsigned int n);
// n pointers, all null.
KIV_API void** NewVoidPointers(unsigned int n);
KIV_API node** NewNodePointers(unsigned int n);
KIV_API GameNode* NewGameNode();

// Null outside the table.
KIV_API void* GetFunction(int i);
KIV_API void* GetTimerFunction(int i);
KIV_API void* GetStateFunction(int i);
KIV_API void* GetEdgeFunction(int i);
KIV_API StateMachine* GetStateMachine(int i);
KIV_API PathStateMachine* GetPathStateMachine(int i);
KIV_API Timer* GetTimer(int i);

// Opens the game file: an embedded resource of that name, else the Data folder's file.
KIV_API void CreateBinaryGameFile(const char* name);
// The builders: each reads one record at the current position of the open file.
KIV_API void GenerateMode();
KIV_API void GenerateLevels();
KIV_API void GenerateLogic();
KIV_API void GenerateLevel(GameNode* level);
KIV_API void GenerateActors(GameNode* level);
