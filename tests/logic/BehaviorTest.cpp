#include <kiv/Kiv.h>

#include "FatalExit.h"
#include "SaveTo.h"
#include "Scratch.h"
#include "data/LogicTables.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> ran;
Behavior* running = nullptr;

void Fa(void*) {
    ran.push_back("Fa");
}
void Fb(void*) {
    ran.push_back("Fb");
}
void TimerFn(void*) {
    ran.push_back("timer");
}
void State0(int entry, void*) {
    ran.push_back("state" + std::to_string(entry));
}
void ClearsItself(void*) {
    running->Clear();
}
void AddsFb(void*) {
    ran.push_back("adds");
    running->AddFunction(1, true);
}

class Behaviors : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        ran.clear();
        pConsole = new Console;
        FArray = NewVoidPointers(5);
        void* functions[] = {reinterpret_cast<void*>(Fa), reinterpret_cast<void*>(Fb),
                             reinterpret_cast<void*>(TimerFn),
                             reinterpret_cast<void*>(ClearsItself),
                             reinterpret_cast<void*>(AddsFb)};
        std::copy(std::begin(functions), std::end(functions), FArray);
        maxFIndex = 4;
        SMArray = NewStateMachines(1);
        SMArray[0].AddState(State(State0, nullptr));
        maxSMIndex = 0;
        TMArray = NewTimers(2);
        TMArray[0] = Timer(TimerFn, 3, Frames, true, Periodic);
        TMArray[1] = Timer(TimerFn, 510, Milliseconds, true, Once);
        maxTMIndex = 1;
    }
    void TearDown() override {
        delete pConsole;
        pConsole = nullptr;
        kiv::FreeLogicTables();
        Scratch::TearDown();
    }
    std::vector<std::string> Step(Behavior& b, int n) {
        ran.clear();
        running = &b;
        for (int i = 0; i < n; ++i)
            b.Update(nullptr);
        return ran;
    }
    std::string Log() { return ReadText("Kiv.log"); }
    using Ran = std::vector<std::string>;
};

} // namespace

TEST_F(Behaviors, ItemsRunInTheOrderAddedWhateverTheirKind) {
    Behavior b;
    b.AddTimer(0, true);
    b.AddFunction(0, true);
    b.AddStateMachine(0, true);
    EXPECT_EQ(b.Count(), 3);
    EXPECT_EQ(Step(b, 3), (Ran{"Fa", "state1", "Fa", "state0", "timer", "Fa", "state0"}));
    // A periodic timer of 3 frames fires again three frames later.
    EXPECT_EQ(b.TimeRemaining(0), 3u);
    EXPECT_EQ(Step(b, 3), (Ran{"Fa", "state0", "Fa", "state0", "timer", "Fa", "state0"}));
}

TEST_F(Behaviors, MisuseIsReportedOnceAndChangesNothing) {
    Behavior b;
    b.AddFunction(0, true);
    b.AddFunction(0, true);
    b.AddFunction(0, true);
    EXPECT_EQ(b.Count(), 1);
    b.AddStateMachine(static_cast<unsigned int>(maxSMIndex + 1), true);
    EXPECT_EQ(b.Count(), 1);
    EXPECT_FALSE(b.TimerActiveStatus(0));
    EXPECT_EQ(b.GetCurrentState(0), -1);
    EXPECT_EQ(b.TimeRemaining(7), 0u);
    std::string log = Log();
    auto once = [&](const std::string& text) {
        size_t at = log.find(text);
        return at != std::string::npos && log.find(text, at + 1) == std::string::npos;
    };
    EXPECT_TRUE(once("Target Function : void Behavior::AddFunction(unsigned int,bool)\n"
                     "Error Message : The function 0 has already been added."));
    EXPECT_TRUE(once("Error Message : The state machine 1 cannot be found."));
    EXPECT_TRUE(once("Target Function : bool Behavior::TimerActiveStatus(unsigned int)\n"
                     "Error Message : The timer 0 has not been added."));
    EXPECT_TRUE(once("Target Function : int Behavior::GetCurrentState(unsigned int index)\n"
                     "Error Message : The state machine 0 has not been added."));
    EXPECT_TRUE(once("Error Message : The timer 7 cannot be found."));
}

TEST_F(Behaviors, TimersFreezeWhenInactiveAndReArmOnReset) {
    Behavior b;
    b.AddTimer(0, false);
    Step(b, 5);
    EXPECT_EQ(b.TimeRemaining(0), 3u); // an inactive item does not tick
    b.TimerActiveStatus(0, true);
    b.ResetTimer(0, 2, Once);
    EXPECT_EQ(Step(b, 4), Ran{"timer"});
    EXPECT_EQ(b.TimeRemaining(0), 0u); // a spent one-shot timer stays at 0
    b.ResetTimer(0, 1, Once);
    EXPECT_EQ(Step(b, 2), Ran{"timer"});

    Timer never(TimerFn, 0, Frames, true, Periodic);
    ran.clear();
    for (int i = 0; i < 5; ++i)
        never.Tick(nullptr);
    EXPECT_TRUE(ran.empty());
}

TEST_F(Behaviors, MillisecondTimersCountFramesOfTheLevel) {
    GameNode level;
    level.FPStoMS(60);
    gNode = &level;
    Behavior b;
    b.AddTimer(1, true);
    EXPECT_EQ(b.TimeRemaining(1), 30u); // 510 ms at 60 frames per second: 30.6 frames
    b.ResetTimer(1, 1000, Periodic);
    EXPECT_EQ(b.TimeRemaining(1), 60u);
    gNode = nullptr;
}

TEST_F(Behaviors, ABehaviorChangingItselfWhileItRuns) {
    Behavior b;
    b.AddFunction(4, true); // adds function 1, which runs later in the same pass
    EXPECT_EQ(Step(b, 1), (Ran{"adds", "Fb"}));
    EXPECT_EQ(b.Count(), 2);

    Behavior c;
    c.AddFunction(3, true); // clears its own behavior while it runs: refused
    c.AddFunction(0, true);
    EXPECT_EQ(Step(c, 1), Ran{"Fa"});
    EXPECT_EQ(c.Count(), 2);
    EXPECT_NE(Log().find("Target Function : void Behavior::Clear()\n"
                         "Error Message : Cannot clear a behavior while it is running."),
              std::string::npos);
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    c.AddFunction(0, true); // the same index can be added again
    EXPECT_TRUE(c.IsFunctionAdded(0));
}

TEST_F(Behaviors, CopiesAndSavedRecordsContinueWhereTheyWere) {
    Behavior b;
    b.AddStateMachine(0, true);
    b.AddTimer(0, true);
    b.AddFunction(1, false);
    Step(b, 2);
    Behavior copy(b);
    EXPECT_EQ(Step(copy, 2), Step(b, 2));
    kiv::test::SaveTo("b.sav", b);
    Behavior loaded;
    File in("b.sav", File::Reading);
    loaded.Load(in);
    EXPECT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.TimeRemaining(0), b.TimeRemaining(0));
    EXPECT_FALSE(loaded.FunctionActiveStatus(1));
    EXPECT_EQ(Step(loaded, 4), Step(b, 4));
}

// A damaged record that claims more items than the file holds ends the game naming the file,
// before it builds a single item.
TEST_F(Behaviors, ARecordClaimingMoreItemsThanItHoldsEndsTheGame) {
    WriteBytes("cut.sav", {0xa0, 0x86, 0x01, 0x00, 0xff, 0xff, 0xff, 0xff});
    Behavior loaded;
    kiv::test::CatchFatalExits catcher;
    {
        File in("cut.sav", File::Reading);
        EXPECT_THROW(loaded.Load(in), kiv::test::FatalExit);
    }
    EXPECT_EQ(loaded.Count(), 0);
}

// The saved slot tables hold one entry per index of the game's tables, also for a behavior
// made before the tables were filled.
TEST_F(Behaviors, SavedSlotTablesCoverEveryIndexOfTheGameTables) {
    int functions = maxFIndex, machines = maxSMIndex, timers = maxTMIndex;
    maxFIndex = maxSMIndex = maxTMIndex = -1;
    Behavior early;
    maxFIndex = functions, maxSMIndex = machines, maxTMIndex = timers;
    early.AddFunction(1, true);
    {
        File out("early.sav", File::Writing);
        early.Save(out);
    }
    File in("early.sav", File::Reading);
    unsigned int items = 0, size = 0;
    int index = 0, type = 0;
    bool active = false;
    in.Read(items);
    in.Read(index);
    in.Read(active);
    in.Read(type);
    EXPECT_EQ(items, 1u);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(type, 0);
    std::vector<std::vector<int>> tables;
    for (int kind = 0; kind < 3; ++kind) {
        in.Read(size);
        std::vector<int>& slots = tables.emplace_back(size > 16 ? 0 : size);
        for (int& slot : slots)
            in.Read(slot);
    }
    EXPECT_EQ(tables, (std::vector<std::vector<int>>{{-1, 0, -1, -1, -1}, {-1}, {-1, -1}}));
    EXPECT_FALSE(in.EndOfFile());
}
