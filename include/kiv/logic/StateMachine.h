#pragma once

#include <kiv/logic/State.h>

#include <vector>

// A graph of states, built once from the game file and never changed while the game runs.
// Objects follow it through their own StateMachineTraverser.
class KIV_API StateMachine {
public:
    StateMachine();
    virtual ~StateMachine();

    void AddState(const State& state) { m_States.push_back(state); }
    // False (and nothing changes) when i is not a state of the machine.
    bool SetStartingState(int i);
    int GetStartingState() const { return m_StartingState; }
    int GetNumberOfStates() const { return static_cast<int>(m_States.size()); }
    std::vector<State>& States() { return m_States; }
    const std::vector<State>& States() const { return m_States; }

    std::vector<State> m_States;
    int m_StartingState;
};
