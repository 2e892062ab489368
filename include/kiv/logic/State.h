#pragma once

#include <kiv/logic/Edge.h>

#include <vector>

class StateMachine;

// One node of a state machine: a function that runs every frame while the state is current,
// the edges that leave it (tried in the order they were added) and an optional machine that
// runs nested inside it.
class KIV_API State {
public:
    State(void (*function)(int, void*), StateMachine* subMachine);
    // A path state: no nested machine.
    State(void (*function)(int, void*), unsigned int smooth, unsigned char key, int station,
          bool stop, int kind);

    void AddEdge(const Edge& edge) { m_Edges.push_back(edge); }
    std::vector<Edge>& Edges() { return m_Edges; }
    const std::vector<Edge>& Edges() const { return m_Edges; }

    std::vector<Edge> m_Edges;
    StateFunction m_Function;
    StateMachine* m_SubMachine;
    unsigned int m_Smooth;
    unsigned char m_Key;
    bool m_Stop;
    int m_Kind;
    int m_Station;
};
