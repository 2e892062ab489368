#include <kiv/Kiv.h>

#include "Scratch.h"
#include "data/LogicTables.h"

#include <string>
#include <vector>

namespace {

// What the machines' functions were called with, in order: "name:entry" or "edge name".
std::vector<std::string> calls;
bool answer[4];

void Record(const char* name, int entry) {
    calls.push_back(name + (":" + std::to_string(entry)));
}
void A(int e, void*) {
    Record("A", e);
}
void B(int e, void*) {
    Record("B", e);
}
void C(int e, void*) {
    Record("C", e);
}
void Child(int e, void*) {
    Record("child", e);
}
bool Edge0(void*) {
    calls.push_back("edge0");
    return answer[0];
}
bool Edge1(void*) {
    calls.push_back("edge1");
    return answer[1];
}

class Machines : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        calls.clear();
        std::fill(std::begin(answer), std::end(answer), false);
        pConsole = new Console;
        SMArray = NewStateMachines(3);
        maxSMIndex = 2;
        StateMachine& child = SMArray[1];
        child.AddState(State(Child, nullptr));
    }
    void TearDown() override {
        delete pConsole;
        pConsole = nullptr;
        kiv::FreeLogicTables();
        Scratch::TearDown();
    }
    // Runs `frames` steps and returns the calls they made.
    std::vector<std::string> Run(StateMachineTraverser& t, int frames) {
        calls.clear();
        for (int i = 0; i < frames; ++i)
            t.Go(nullptr);
        return calls;
    }
    using Calls = std::vector<std::string>;
};

} // namespace

TEST_F(Machines, EntryFlagsEdgesInOrderAndPassThroughStates) {
    StateMachine& m = SMArray[0];
    State a(A, nullptr);
    a.AddEdge(Edge(1, Edge0, false));
    a.AddEdge(Edge(2, Edge1, false));
    m.AddState(a);
    State pass(nullptr, nullptr); // no function: only waits for its edge, which always fires
    pass.AddEdge(Edge(2, nullptr, true));
    m.AddState(pass);
    State c(C, nullptr);
    c.AddEdge(Edge(2, nullptr, false)); // null condition without always: never fires
    m.AddState(c);

    StateMachineTraverser t(&m);
    // The first step enters the starting state without trying its edges.
    EXPECT_EQ(Run(t, 2), (Calls{"A:1", "edge0", "edge1", "A:0"}));
    // Both edges true: the first wins and the second condition is not called.
    answer[0] = answer[1] = true;
    EXPECT_EQ(Run(t, 1), Calls{"edge0"});
    EXPECT_EQ(t.GetCurrentState(), 1);
    // The pass-through state moves on at its next step, and the target runs in that step
    // with entry flag 1; the state without a firing edge then stays.
    EXPECT_EQ(Run(t, 3), (Calls{"C:1", "C:0", "C:0"}));
}

TEST_F(Machines, SelfEdgesAndForcedStatesReEnterWithAFreshChild) {
    StateMachine& m = SMArray[0];
    State a(A, &SMArray[1]);
    a.AddEdge(Edge(0, Edge0, false));
    m.AddState(a);
    m.AddState(State(B, nullptr));

    StateMachineTraverser t(&m);
    // The starting state's nested machine enters its own starting state in the same step.
    EXPECT_EQ(Run(t, 2), (Calls{"A:1", "child:1", "edge0", "A:0", "child:0"}));
    answer[0] = true; // the edge back to the same state: entered again, nested machine anew
    EXPECT_EQ(Run(t, 1), (Calls{"edge0", "A:1", "child:1"}));

    t.SetCurrentState(1); // takes effect at the next step, without edges
    EXPECT_EQ(t.GetCurrentState(), 1);
    EXPECT_EQ(Run(t, 2), (Calls{"B:1", "B:0"}));
    EXPECT_EQ(t.Child(), nullptr);
    t.SetCurrentState(1); // the current state again: entered again
    EXPECT_EQ(Run(t, 1), Calls{"B:1"});
}

TEST_F(Machines, BadStateNumbersAreUserErrorsAndEmptyMachinesDoNothing) {
    StateMachine& m = SMArray[0];
    m.AddState(State(A, nullptr));
    StateMachineTraverser t(&m);
    t.Go(nullptr);
    t.SetCurrentState(m.GetNumberOfStates());
    t.SetCurrentState(m.GetNumberOfStates());
    EXPECT_EQ(t.GetCurrentState(), 0);
    std::string log = ReadText("Kiv.log");
    EXPECT_NE(log.find("Target Function : void StateMachineTraverser::SetCurrentState(int i)\n"
                       "Error Message : State number 1 not found."),
              std::string::npos);
    EXPECT_EQ(log.find("State number"), log.rfind("State number")); // reported once
    EXPECT_FALSE(m.SetStartingState(5));
    EXPECT_EQ(m.GetStartingState(), 0);

    StateMachineTraverser empty(&SMArray[2]);
    EXPECT_TRUE(Run(empty, 3).empty());
}

TEST_F(Machines, ASavedTraverserContinuesWithItsChildChain) {
    StateMachine& m = SMArray[0];
    State a(A, nullptr);
    a.AddEdge(Edge(1, Edge0, false));
    m.AddState(a);
    m.AddState(State(B, &SMArray[1]));
    StateMachineTraverser t(&m);
    answer[0] = true;
    Run(t, 2);            // now in B, with a child in its nested machine
    t.SetCurrentState(0); // pending: entered at the next step
    {
        File out("t.sav", File::Writing);
        out.Write(&t);
    }
    File in("t.sav", File::Reading);
    node* n = nullptr;
    in.Read(n);
    auto* loaded = dynamic_cast<StateMachineTraverser*>(n);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Machine(), &m);
    ASSERT_NE(loaded->Child(), nullptr);
    EXPECT_EQ(loaded->Child()->Machine(), &SMArray[1]);
    std::vector<std::string> original = Run(t, 3);
    EXPECT_EQ(Run(*loaded, 3), original);
    delete loaded;
}
