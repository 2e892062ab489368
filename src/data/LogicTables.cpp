#include <kiv/data/Builders.h>
#include <kiv/game/GameNode.h>
#include <kiv/logic/PathStateMachine.h>
#include <kiv/logic/StateMachine.h>
#include <kiv/logic/Timer.h>
#include <kiv/sprites/MovementPattern.h>

#include "data/LogicTables.h"

#include <unordered_map>

void** FArray = nullptr;
void** SMFArray = nullptr;
void** LVFArray = nullptr;
StateMachine* SMArray = nullptr;
Timer* TMArray = nullptr;
PathStateMachine* PSMArray = nullptr;
MovementPattern* MPArray = nullptr;
node** NArray = nullptr;
int maxFIndex = -1;
int maxSMIndex = -1;
int maxTMIndex = -1;
int maxPSMIndex = -1;
int maxMPIndex = -1;
int maxNIndex = -1;

namespace {

// The sizes of the pointer tables made here, so that indices read from game data can be
// checked even for the tables that have no highest index of their own.
std::unordered_map<const void*, unsigned int>& Sizes() {
    static std::unordered_map<const void*, unsigned int> sizes;
    return sizes;
}

template <class T>
T* Entry(T* table, int i, int max) {
    return table && i >= 0 && i <= max ? &table[i] : nullptr;
}

} // namespace

StateMachine* NewStateMachines(unsigned int n) {
    return new StateMachine[n];
}
Timer* NewTimers(unsigned int n) {
    return new Timer[n];
}
PathStateMachine* NewPathStateMachines(unsigned int n) {
    return new PathStateMachine[n];
}
MovementPattern* NewMovementPatterns(unsigned int n) {
    return new MovementPattern[n];
}

void** NewVoidPointers(unsigned int n) {
    void** table = new void*[n]();
    Sizes()[table] = n;
    return table;
}

node** NewNodePointers(unsigned int n) {
    node** table = new node*[n]();
    Sizes()[table] = n;
    return table;
}

GameNode* NewGameNode() {
    return new GameNode;
}

void* GetFunction(int i) {
    void** entry = Entry(FArray, i, maxFIndex);
    return entry ? *entry : nullptr;
}

void* GetTimerFunction(int i) {
    return GetFunction(i);
}

void* GetStateFunction(int i) {
    return kiv::PointerEntry(SMFArray, i);
}

void* GetEdgeFunction(int i) {
    return kiv::PointerEntry(SMFArray, i);
}

StateMachine* GetStateMachine(int i) {
    return Entry(SMArray, i, maxSMIndex);
}

PathStateMachine* GetPathStateMachine(int i) {
    return Entry(PSMArray, i, maxPSMIndex);
}

Timer* GetTimer(int i) {
    return Entry(TMArray, i, maxTMIndex);
}

namespace kiv {

void* PointerEntry(void** table, long long i) {
    if (!table || i < 0)
        return nullptr;
    auto size = Sizes().find(table);
    // A table the game made itself has no known size: its entries are trusted, as designed.
    if (size != Sizes().end() && i >= size->second)
        return nullptr;
    return table[i];
}

template <class T>
void FreeTable(T*& table, int& max) {
    Sizes().erase(table);
    delete[] table;
    table = nullptr;
    max = -1;
}

void FreeLogicTables() {
    int none = -1;
    FreeTable(LVFArray, none);
    FreeTable(SMFArray, none);
    FreeTable(SMArray, maxSMIndex);
    FreeTable(PSMArray, maxPSMIndex);
    FreeTable(FArray, maxFIndex);
    FreeTable(MPArray, maxMPIndex);
    FreeTable(NArray, maxNIndex);
    FreeTable(TMArray, maxTMIndex);
}

} // namespace kiv
