#pragma once

#include <kiv/base/node.h>
#include <kiv/logic/Timer.h>

class StateMachineTraverser;

// One item of a behavior: a game function, a state machine or a timer.
class KIV_API Bnode : public node {
public:
    enum Type { FunctionItem = 0, StateMachineItem = 1, TimerItem = 2 };

    Bnode();
    Bnode(const Bnode& other);
    Bnode& operator=(const Bnode& other);
    ~Bnode() override;

    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    int m_Index;
    bool m_Active;
    int m_Type;
    BehaviorFunction m_Function;
    StateMachineTraverser* m_Traverser;
    Timer m_Timer;
};
