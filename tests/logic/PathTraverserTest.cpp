// A sprite travelling a network of stations with its path traverser: turning back on a
// stretch, choosing the way out of a station on a planned route, and the nearest station.

#include "sprites/CollisionFixture.h"

#include <memory>
#include <vector>

namespace {

enum Kind { Plain = -1, Arrival = 0, Departure = 1, Return = 2 };

class PathTraverser : public kiv::test::CollisionLevel {
protected:
    void SetUp() override {
        CollisionLevel::SetUp();
        saved = PSMArray;
        savedMax = maxPSMIndex;
        MakeActor(1, {1}); // hot spot 0 at the top-left corner: the point is the position
    }
    void TearDown() override {
        CollisionLevel::TearDown(); // the sprites go before their machine
        PSMArray = saved;
        maxPSMIndex = savedMax;
    }
    // The only path machine of the game, with its stations; the caller adds the states.
    PathStateMachine& Machine(std::vector<Position> stations) {
        machines = std::make_unique<PathStateMachine[]>(1);
        PSMArray = machines.get();
        maxPSMIndex = 0;
        PathStateMachine& m = machines[0] = PathStateMachine(static_cast<int>(stations.size()));
        for (const Position& p : stations)
            m.AddStation(p);
        return m;
    }
    static State StationState(int station) { return State(nullptr, 0, 255, station, true, 0); }
    static State Stretch(int toward) { return State(nullptr, 0, 255, toward, false, 1); }
    static Edge Path(int to, int kind, int station = -1) {
        return Edge(to, nullptr, false, false, 255, 2, station, kind);
    }
    // Two stations and a stretch each way; on a stretch the sprite may turn back.
    PathStateMachine& Line(Position a, Position b) {
        PathStateMachine& m = Machine({a, b});
        m.AddState(StationState(0));
        m.AddState(StationState(1));
        m.AddState(Stretch(1));
        m.AddState(Stretch(0));
        m.m_States[0].AddEdge(Path(2, Departure, 1));
        m.m_States[1].AddEdge(Path(3, Departure, 0));
        m.m_States[2].AddEdge(Path(1, Arrival));
        m.m_States[2].AddEdge(Path(3, Return));
        m.m_States[3].AddEdge(Path(0, Arrival));
        m.m_States[3].AddEdge(Path(2, Return));
        m.Link(0, 1);
        m.Link(1, 0);
        m.ComputeShortestPath();
        return m;
    }
    // A sprite of speed 1 that follows the machine, put in state `state`.
    Sprite* Traveller(float x, float y, int state) {
        Sprite* s = Mover(0, "traveller", 1, x, y, 0, 0, 1);
        s->ApplyPathStateMachine(0);
        s->ChangePathState(static_cast<unsigned int>(state));
        return s;
    }
    static int StateOf(Sprite* s) { return s->Traverser()->GetCurrentState(); }

    std::unique_ptr<PathStateMachine[]> machines;
    PathStateMachine* saved = nullptr;
    int savedMax = -1;
};

// Half way from station 0 to station 1, the sprite is sent back to station 0: the route
// holds station 0 alone, and the stretch's return edge turns it round.
TEST_F(PathTraverser, ARouteToTheStationBehindTurnsTheSpriteBack) {
    Line({0, 0}, {100, 0});
    Sprite* s = Traveller(50, 0, 2);
    s->Traverser()->Go(s); // the state just set: no edge, heading for station 1
    EXPECT_EQ(s->DirectionX(), 1);

    s->ShortestPath(0);
    EXPECT_EQ(s->Traverser()->Route()[0], 0);
    EXPECT_TRUE(s->Traverser()->ShortPath());
    EXPECT_FALSE(s->EndOfShortestPath());
    s->Traverser()->Go(s);
    EXPECT_EQ(StateOf(s), 3);
    EXPECT_EQ(s->DirectionX(), -1);

    // At station 0 the route ends, and the station stops the sprite; the game still learns
    // that it stands at the end of its route.
    s->MapPosition(1, 0);
    s->Traverser()->Go(s);
    EXPECT_EQ(StateOf(s), 0);
    EXPECT_FALSE(s->Traverser()->ShortPath());
    EXPECT_TRUE(s->EndOfShortestPath());
    EXPECT_EQ(s->DirectionX(), 0);
}

// The way out of a station on a route is the departure edge marked with the next station,
// even when an earlier way out passes that station too.
TEST_F(PathTraverser, ARouteLeavesByTheEdgeMarkedWithTheNextStation) {
    PathStateMachine& m = Machine({{0, 0}, {200, 0}, {100, 0}});
    for (int i = 0; i < 3; ++i)
        m.AddState(StationState(i));
    m.AddState(Stretch(1)); // 3: to station 1, past station 2
    m.AddState(Stretch(2)); // 4: to station 2
    m.m_States[0].AddEdge(Path(3, Departure, 1));
    m.m_States[0].AddEdge(Path(4, Departure, 2));
    m.m_States[3].AddEdge(Path(1, Arrival));
    m.m_States[3].AddEdge(Path(2, Arrival));
    m.m_States[4].AddEdge(Path(2, Arrival));
    m.Link(0, 1);
    m.Link(0, 2);
    m.ComputeShortestPath();

    Sprite* s = Traveller(0, 0, 0);
    s->ShortestPath(2);
    s->Traverser()->Go(s); // the state just set: the station marks the way on
    EXPECT_EQ(StateOf(s), 0);
    s->Traverser()->Go(s);
    EXPECT_EQ(StateOf(s), 4);
}

// Between stations, the nearest of the stations ahead or behind is measured from the
// sprite's place on its map, wherever the map lies in the world.
TEST_F(PathTraverser, TheNearestStationIsMeasuredOnTheMap) {
    Line({50, 190}, {200, 0});
    auto* lower = new Map("lower", "world.bmp", Map::Standard, 1, 0, 300, false, zrect);
    level->Add(lower);
    Sprite* s = Traveller(50, 0, 2);
    s->BelongToMapPtr(lower);
    // Station 1 is 150 away and station 0 190; taken at its Y in the world, the sprite
    // would be 110 from station 0.
    EXPECT_EQ(s->NearestStationNumber(true), 1);
    s->ChangePathState(0);
    EXPECT_EQ(s->NearestStationNumber(true), 0); // at a station, that station
}

} // namespace
