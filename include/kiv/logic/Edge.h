#pragma once

#include <kiv/Export.h>

// Functions of the game executable that state machines call: a state function gets the
// entry flag (1 on entering, 0 afterwards, 2 for a path state entered while moving on) and
// the object whose behavior runs; an edge function says whether to take the edge.
typedef void (*StateFunction)(int entry, void* object);
typedef bool (*EdgeFunction)(void* object);

// One transition out of a state. The path attributes (kind, station, key, tolerance, keep
// moving) matter only in path state machines.
class KIV_API Edge {
public:
    Edge(int to, bool (*condition)(void*), bool always);
    Edge(int to, bool (*condition)(void*), bool always, bool keepMoving, unsigned char key,
         unsigned int tolerance, int station, int kind);

    int To() const { return m_To; }

    int m_To;
    int m_Kind;
    int m_Station;
    EdgeFunction m_Condition;
    bool m_Always;
    bool m_KeepMoving;
    unsigned char m_Key;
    unsigned int m_Tolerance;
};
