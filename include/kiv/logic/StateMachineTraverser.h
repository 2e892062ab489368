#pragma once

#include <kiv/base/node.h>

#include <cstddef>

class StateMachine;

// An object's running position in a state machine, stepped once per frame by the behavior
// that holds it. A state with a nested machine runs it through a child traverser.
class KIV_API StateMachineTraverser : public node {
public:
    explicit StateMachineTraverser(StateMachine* machine);
    StateMachineTraverser(const StateMachineTraverser& other);
    StateMachineTraverser& operator=(const StateMachineTraverser& other);
    ~StateMachineTraverser() override;

    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    // Takes effect at the next Go: no edge is tried, the state is entered with flag 1.
    virtual void SetCurrentState(int i);
    // One step: try the edges, run the current state's function, then the child.
    virtual void Go(void* object);

    int GetCurrentState() const { return m_CurrentState; }
    StateMachine* Machine() const { return m_Machine; }
    StateMachineTraverser* Child() const { return m_Child; }

    static node* CreateObject();

    // Traversers come from a block pool.
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size);

protected:
    // Replaces the child by a fresh traverser of the current state's nested machine.
    void RebuildChild();

    StateMachine* m_Machine;
    int m_CurrentState;
    int m_Entry;
    StateMachineTraverser* m_Child;
    bool m_StateSet;
};
