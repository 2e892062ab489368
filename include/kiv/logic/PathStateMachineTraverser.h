#pragma once

#include <kiv/logic/State.h>
#include <kiv/logic/StateMachine.h>
#include <kiv/logic/StateMachineTraverser.h>

#include <vector>

class PathStateMachine;

// A sprite's running position in a path state machine: it steers the sprite between the
// stations of the network and can follow the shortest route to a station. It never makes
// child traversers.
class KIV_API PathStateMachineTraverser : public StateMachineTraverser {
public:
    explicit PathStateMachineTraverser(PathStateMachine* machine);
    PathStateMachineTraverser(const PathStateMachineTraverser& other) = default;
    PathStateMachineTraverser& operator=(const PathStateMachineTraverser& other) = default;
    ~PathStateMachineTraverser() override;

    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;
    // One step, once per frame, with the sprite that follows the machine.
    void Go(void* sprite) override;
    static node* CreateObject();

    // Plans the shortest route to station `target`.
    void ShortestPath(unsigned int target);
    void StopShortestPath();
    bool EndOfShortestPath() const;
    bool ShortPath() const { return m_ShortPath; }
    int NearestStationNumber(void* sprite);
    void Enabled(bool on) { m_Enabled = on; }
    bool Enabled() const { return m_Enabled; }
    PathStateMachine* PathMachine() const { return m_PathMachine; }
    const std::vector<int>& Route() const { return m_Path; }

    static void* operator new(std::size_t size);
    static void operator delete(void* block, std::size_t size);

private:
    bool Fires(const Edge& edge, void* sprite);
    bool IntermediateCondition() const;
    void StationAction();
    void Steer(const State& state, void* sprite);
    void Arrange(int from, int to);
    // The station the intermediate state `s` leads to first, or -1.
    int FirstStationOf(int s) const;

    PathStateMachine* m_PathMachine;
    bool m_ShortPath;
    int m_PathLength;
    std::vector<int> m_Path;
    std::vector<bool> m_NextStation;
    bool m_Enabled;
};
