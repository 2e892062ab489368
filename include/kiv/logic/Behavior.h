#pragma once

#include <kiv/logic/Bnode.h>

#include <deque>
#include <vector>

// The logic an object carries: game functions, state machines and timers, run once per frame
// in the order they were added, with the owning object as their argument. Items are named by
// their index in the game's tables (FArray, SMArray, TMArray).
class KIV_API Behavior : public node {
public:
    Behavior();
    Behavior(const Behavior& other);
    Behavior& operator=(const Behavior& other);
    ~Behavior() override;

    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    void AddFunction(unsigned int index, bool active);
    void AddStateMachine(unsigned int index, bool active);
    void AddTimer(unsigned int index, bool active);
    bool IsFunctionAdded(unsigned int index);
    bool IsStateMachineAdded(unsigned int index);
    bool IsTimerAdded(unsigned int index);
    void FunctionActiveStatus(unsigned int index, bool active);
    void StateMachineActiveStatus(unsigned int index, bool active);
    void TimerActiveStatus(unsigned int index, bool active);
    bool FunctionActiveStatus(unsigned int index);
    bool StateMachineActiveStatus(unsigned int index);
    bool TimerActiveStatus(unsigned int index);
    void ResetTimer(unsigned int index, unsigned int delay, TimerMode mode);
    unsigned int TimeRemaining(unsigned int index);
    void ChangeState(unsigned int index, unsigned int state);
    int GetCurrentState(unsigned int index);
    void Clear();

    // Runs every active item once, with `object` as the argument.
    void Update(void* object);
    int Count() const { return static_cast<int>(m_Items.size()); }
    // The item that holds a table entry, or null.
    Bnode* Item(int type, unsigned int index);

    static node* CreateObject();

    // Items keep their place in memory while items are added during Update.
    std::deque<Bnode> m_Items;
    std::vector<int> m_FunctionSlots;
    std::vector<int> m_MachineSlots;
    std::vector<int> m_TimerSlots;
    bool m_Running;

private:
    struct Kind;
    static const Kind Functions, Machines, Timers;
    Bnode* Added(const Kind& kind, unsigned int index, const char* function);
    void Add(const Kind& kind, unsigned int index, bool active);
};
