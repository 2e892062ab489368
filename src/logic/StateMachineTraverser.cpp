#include <kiv/base/MemoryPool.h>
#include <kiv/data/Builders.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/logic/StateMachine.h>
#include <kiv/logic/StateMachineTraverser.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "base/PoolAllocation.h"
#include "logic/TableIndex.h"

#include <set>
#include <utility>

namespace {

// An edge that fires toward a state its machine does not have is not taken, as the game file
// leaves it; the game's author hears of it once.
void ReportLostEdge(const StateMachine* machine, int state, size_t edge, int to) {
    static std::set<std::pair<const StateMachine*, std::pair<int, size_t>>> reported;
    if (!reported.insert({machine, {state, edge}}).second)
        return;
    kiv::Diagnostic("State machine %d, state %d: edge %zu leads to state %d, which the machine "
                    "does not have (it has %d states); the edge is not taken.",
                    kiv::TableIndex(SMArray, maxSMIndex, machine), state, edge, to,
                    machine->GetNumberOfStates());
}

CREATE registration("StateMachineTraverser", StateMachineTraverser::CreateObject);

MemoryPool& Pool() {
    static MemoryPool pool(sizeof(StateMachineTraverser), 128, false);
    return pool;
}

} // namespace

void* StateMachineTraverser::operator new(std::size_t size) {
    return kiv::PoolNew(Pool(), size);
}

void StateMachineTraverser::operator delete(void* block, std::size_t size) {
    kiv::PoolDelete(Pool(), block, size);
}

StateMachineTraverser::StateMachineTraverser(StateMachine* machine)
    : m_Machine(machine), m_CurrentState(machine ? machine->GetStartingState() : 0), m_Entry(1),
      m_Child(nullptr), m_StateSet(true) {}

StateMachineTraverser::StateMachineTraverser(const StateMachineTraverser& other)
    : node(other), m_Machine(other.m_Machine), m_CurrentState(other.m_CurrentState),
      m_Entry(other.m_Entry), m_Child(nullptr), m_StateSet(other.m_StateSet) {
    if (other.m_Child)
        m_Child = new StateMachineTraverser(*other.m_Child);
}

StateMachineTraverser& StateMachineTraverser::operator=(const StateMachineTraverser& other) {
    if (&other == this)
        return *this;
    m_Machine = other.m_Machine;
    m_CurrentState = other.m_CurrentState;
    m_Entry = other.m_Entry;
    m_StateSet = other.m_StateSet;
    delete m_Child;
    m_Child = other.m_Child ? new StateMachineTraverser(*other.m_Child) : nullptr;
    return *this;
}

StateMachineTraverser::~StateMachineTraverser() {
    delete m_Child;
}

node* StateMachineTraverser::CreateObject() {
    return new StateMachineTraverser(nullptr);
}

const char* StateMachineTraverser::ClassName() {
    return "StateMachineTraverser";
}

void StateMachineTraverser::RebuildChild() {
    delete m_Child;
    m_Child = nullptr;
    StateMachine* sub = m_Machine->States()[m_CurrentState].m_SubMachine;
    if (sub)
        m_Child = new StateMachineTraverser(sub);
}

void StateMachineTraverser::Go(void* object) {
    if (!m_Machine || m_Machine->GetNumberOfStates() == 0)
        return;
    std::vector<State>& states = m_Machine->States();
    // A state number from damaged data or a foreign machine: start over at the start state.
    if (m_CurrentState < 0 || m_CurrentState >= static_cast<int>(states.size())) {
        m_CurrentState = m_Machine->GetStartingState();
        m_StateSet = true;
        m_Entry = 1;
    }
    if (m_StateSet) {
        m_StateSet = false;
        RebuildChild();
    } else {
        const std::vector<Edge>& edges = states[m_CurrentState].Edges();
        for (size_t e = 0; e < edges.size(); ++e) {
            const Edge& edge = edges[e];
            if (!(edge.m_Condition ? edge.m_Condition(object) : edge.m_Always))
                continue;
            if (edge.m_To < 0 || edge.m_To >= static_cast<int>(states.size())) {
                ReportLostEdge(m_Machine, m_CurrentState, e, edge.m_To);
                continue;
            }
            m_CurrentState = edge.m_To;
            m_StateSet = false;
            m_Entry = 1;
            RebuildChild();
            break;
        }
    }
    if (StateFunction f = states[m_CurrentState].m_Function)
        f(m_Entry, object);
    if (!m_StateSet)
        m_Entry = 0;
    if (m_Child)
        m_Child->Go(object);
}

void StateMachineTraverser::SetCurrentState(int i) {
    if (!m_Machine || i < 0 || i >= m_Machine->GetNumberOfStates()) {
        kiv::ReportUserError("void StateMachineTraverser::SetCurrentState(int i)", 35, i);
        return;
    }
    m_CurrentState = i;
    m_Entry = 1;
    m_StateSet = true;
}

void StateMachineTraverser::Save(File& file) {
    file.Write(kiv::TableIndex(SMArray, maxSMIndex, m_Machine));
    file.Write(m_CurrentState);
    file.Write(m_Entry);
    file.Write(m_StateSet);
    file.Write(static_cast<node*>(m_Child));
}

void StateMachineTraverser::Load(File& file) {
    int index = -1;
    file.Read(index);
    m_Machine = GetStateMachine(index);
    file.Read(m_CurrentState);
    file.Read(m_Entry);
    file.Read(m_StateSet);
    delete m_Child;
    m_Child = file.ReadOwned<StateMachineTraverser>();
}
