#pragma once

#include <cstddef>
#include <kiv/base/Types.h>

#include <kiv/logic/StateMachine.h>

#include <vector>

class CollisionSegment;
class Sprite;

// A state machine over a network of stations: states 0 to n - 1 stand at the stations, the
// states after them are the stretches between. The shortest route between every pair of
// stations is computed once, when the game file is read.
class KIV_API PathStateMachine : public StateMachine {
public:
    explicit PathStateMachine(int stationCount = 0);
    PathStateMachine(const PathStateMachine& other);
    PathStateMachine& operator=(const PathStateMachine& other);
    ~PathStateMachine() override;

    void AddStation(const Position& p) { m_Stations.push_back(p); }
    Position GetStation(int i) const;
    int StationCount() const { return m_StationCount; }
    // Straight-line distance between two stations.
    float Distance(int a, int b) const;
    // Records the direct link a -> b (its length is the distance between the stations).
    void Link(int a, int b);
    void AddCollisionData(CollisionSegment& segment);
    const std::vector<CollisionSegment*>& Segments() const { return m_Segments; }

    // Floyd-Warshall over the link lengths (truncated to whole pixels).
    void ComputeShortestPath();
    int ShortestDistance(int a, int b) const { return m_Distance[Cell(a, b)]; }
    // -1 direct (or a to itself), -2 no route, else the station the route passes through.
    int Via(int a, int b) const { return m_Via[Cell(a, b)]; }
    // The stations of the shortest route from a to b, a first; empty when there is none.
    std::vector<int> Route(int a, int b) const;
    // Draws a line between every two stations that a stretch joins, where the sprite's map
    // lies in the world.
    void DisplayPath(unsigned long colour, Sprite* sprite);

    int m_StationCount;
    std::vector<Position> m_Stations;
    std::vector<float> m_Length; // n × n, row a column b; -1 where there is no link
    std::vector<int> m_Distance;
    std::vector<int> m_Via;
    std::vector<CollisionSegment*> m_Segments;

private:
    size_t Cell(int a, int b) const {
        return static_cast<size_t>(a) * static_cast<size_t>(m_StationCount) + b;
    }
    void AppendRoute(int a, int b, std::vector<int>& route, int depth) const;
};
