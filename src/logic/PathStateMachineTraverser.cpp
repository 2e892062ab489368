#include <kiv/base/MemoryPool.h>
#include <kiv/data/Builders.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/input/Keyboard.h>
#include <kiv/logic/PathStateMachine.h>
#include <kiv/logic/PathStateMachineTraverser.h>
#include <kiv/sprites/Sprite.h>

#include "base/PoolAllocation.h"
#include "logic/TableIndex.h"

#include <cmath>

namespace {

CREATE registration("PathStateMachineTraverser", PathStateMachineTraverser::CreateObject);

MemoryPool& Pool() {
    static MemoryPool pool(sizeof(PathStateMachineTraverser), 128, false);
    return pool;
}

enum EdgeKind { Arrival = 0, Departure = 1, Return = 2 };
enum StateKind { Station = 0, Stretch = 1 };

// The point of the sprite that travels the network: its hot spot 0. Edges and stretches
// take it at the sprite's X on its map but at its Y in the world.
Position PointOf(Sprite& s) {
    return {s.MapPositionX() + s.HotSpotX(0), s.WorldPositionY() + s.HotSpotY(0)};
}

// Hot spot 0 at the sprite's place on its map, where the nearest station is measured from.
Position PointOnMap(Sprite& s) {
    return {s.MapPositionX() + s.HotSpotX(0), s.MapPositionY() + s.HotSpotY(0)};
}

bool KeyHeld(Sprite& s, unsigned char key) {
    if (s.IsActiveNetworkPlayer())
        return s.Keyboard_IsPressed(key);
    return pKeyboard && pKeyboard->IsPressed(key);
}

} // namespace

void* PathStateMachineTraverser::operator new(std::size_t size) {
    return kiv::PoolNew(Pool(), size);
}

void PathStateMachineTraverser::operator delete(void* block, std::size_t size) {
    kiv::PoolDelete(Pool(), block, size);
}

PathStateMachineTraverser::PathStateMachineTraverser(PathStateMachine* machine)
    : StateMachineTraverser(machine), m_PathMachine(machine), m_ShortPath(false), m_PathLength(0),
      m_Path(static_cast<size_t>(machine ? machine->StationCount() : 0), -1),
      m_NextStation(static_cast<size_t>(machine ? machine->StationCount() : 0), false),
      m_Enabled(true) {}

PathStateMachineTraverser::~PathStateMachineTraverser() = default;

node* PathStateMachineTraverser::CreateObject() {
    return new PathStateMachineTraverser(nullptr);
}

const char* PathStateMachineTraverser::ClassName() {
    return "PathStateMachineTraverser";
}

int PathStateMachineTraverser::FirstStationOf(int s) const {
    const std::vector<State>& states = m_PathMachine->States();
    if (s < 0 || s >= static_cast<int>(states.size()))
        return -1;
    for (const Edge& e : states[static_cast<size_t>(s)].Edges())
        if (e.m_To >= 0 && e.m_To < m_PathMachine->StationCount())
            return e.m_To;
    return -1;
}

bool PathStateMachineTraverser::IntermediateCondition() const {
    if (m_PathLength < 1)
        return false;
    const State& current = m_PathMachine->States()[static_cast<size_t>(m_CurrentState)];
    int n = m_PathMachine->StationCount();
    // A route of one station has no second one: no edge leads to it.
    int second = m_Path.size() > 1 ? m_Path[1] : -1;
    bool leadsBack = false;
    for (const Edge& e : current.Edges()) {
        if (e.m_To == second)
            return false;
        if (e.m_To >= n && FirstStationOf(e.m_To) == m_Path[0])
            leadsBack = true;
    }
    return leadsBack;
}

bool PathStateMachineTraverser::Fires(const Edge& edge, void* object) {
    auto& sprite = *static_cast<Sprite*>(object);
    switch (edge.m_Kind) {
    case -1:
        return edge.m_Condition ? edge.m_Condition(object) : edge.m_Always;
    case Arrival: {
        Position p = PointOf(sprite);
        Position station = m_PathMachine->GetStation(edge.m_To);
        float distance = std::sqrt((station.x - p.x) * (station.x - p.x) +
                                   (station.y - p.y) * (station.y - p.y));
        return distance < sprite.Speed() * 0.5f + static_cast<float>(edge.m_Tolerance);
    }
    case Departure:
    case Return:
        if (m_ShortPath) {
            if (edge.m_Kind == Return)
                return IntermediateCondition();
            return edge.m_Station >= 0 && edge.m_Station < static_cast<int>(m_NextStation.size()) &&
                   m_NextStation[static_cast<size_t>(edge.m_Station)];
        }
        return edge.m_Key == 255 ? edge.m_Always : KeyHeld(sprite, edge.m_Key);
    default:
        return false;
    }
}

void PathStateMachineTraverser::StationAction() {
    std::fill(m_NextStation.begin(), m_NextStation.end(), false);
    int at = -1;
    for (int i = 0; i < m_PathLength; ++i)
        if (m_Path[static_cast<size_t>(i)] == m_CurrentState)
            at = i;
    if (at < 0)
        return;
    if (at + 1 < m_PathLength) {
        // The departure edges marked with the next station may fire once some way out of
        // this station leads there.
        int next = m_Path[static_cast<size_t>(at + 1)];
        const std::vector<State>& states = m_PathMachine->States();
        for (const Edge& e : states[static_cast<size_t>(m_CurrentState)].Edges()) {
            if (e.m_To < 0 || e.m_To >= static_cast<int>(states.size()))
                continue;
            for (const Edge& onward : states[static_cast<size_t>(e.m_To)].Edges())
                if (onward.m_To == next && next >= 0 &&
                    next < static_cast<int>(m_NextStation.size()))
                    m_NextStation[static_cast<size_t>(next)] = true;
        }
    }
    if (at == m_PathLength - 1)
        StopShortestPath();
}

void PathStateMachineTraverser::Steer(const State& state, void* object) {
    auto& sprite = *static_cast<Sprite*>(object);
    switch (state.m_Kind) {
    case -1:
        if (state.m_Function)
            state.m_Function(m_Entry, object);
        break;
    case Station:
        if (m_ShortPath)
            StationAction();
        if (m_Entry == 1 && state.m_Stop)
            sprite.VectorDirection(0, 0, 0);
        break;
    case Stretch: {
        Position p = PointOf(sprite);
        Position station = m_PathMachine->GetStation(state.m_Station);
        sprite.VectorDirection(station.x - p.x, station.y - p.y, state.m_Smooth);
        if (state.m_Stop && !m_ShortPath && state.m_Key != 255 && !KeyHeld(sprite, state.m_Key))
            sprite.VectorDirection(0, 0, 0);
        break;
    }
    default:
        break;
    }
}

void PathStateMachineTraverser::Go(void* sprite) {
    if (!m_PathMachine || m_PathMachine->GetNumberOfStates() == 0 || !sprite)
        return;
    const std::vector<State>& states = m_PathMachine->States();
    if (m_CurrentState < 0 || m_CurrentState >= static_cast<int>(states.size()))
        m_CurrentState = m_PathMachine->GetStartingState();
    if (m_StateSet) {
        m_StateSet = false;
    } else {
        for (const Edge& edge : states[static_cast<size_t>(m_CurrentState)].Edges()) {
            if (edge.m_To < 0 || edge.m_To >= static_cast<int>(states.size()) ||
                !Fires(edge, sprite))
                continue;
            m_CurrentState = edge.m_To;
            m_StateSet = false;
            m_Entry = edge.m_KeepMoving ? 2 : 1;
            break;
        }
    }
    Steer(states[static_cast<size_t>(m_CurrentState)], sprite);
    if (!m_StateSet)
        m_Entry = 0;
}

void PathStateMachineTraverser::Arrange(int from, int to) {
    std::vector<int> route = m_PathMachine->Route(from, to);
    std::fill(m_Path.begin(), m_Path.end(), -1);
    m_PathLength = static_cast<int>(std::min(route.size(), m_Path.size()));
    std::copy(route.begin(), route.begin() + m_PathLength, m_Path.begin());
}

void PathStateMachineTraverser::ShortestPath(unsigned int target) {
    StopShortestPath();
    std::fill(m_Path.begin(), m_Path.end(), -1);
    m_PathLength = 0;
    if (!m_PathMachine || m_PathMachine->StationCount() == 0)
        return;
    int n = m_PathMachine->StationCount();
    auto t = static_cast<int>(target);
    if (t >= n)
        return;
    if (m_CurrentState < n) {
        Arrange(m_CurrentState, t);
    } else {
        int a = -1, b = -1;
        for (const Edge& e : m_PathMachine->States()[static_cast<size_t>(m_CurrentState)].Edges()) {
            if (e.m_To >= 0 && e.m_To < n)
                a = e.m_To;
            else if (e.m_To >= n)
                b = FirstStationOf(e.m_To);
        }
        auto distance = [&](int c) {
            return c < 0 ? 100000 : m_PathMachine->ShortestDistance(c, t);
        };
        if (a < 0 && b < 0)
            return;
        Arrange(distance(a) > distance(b) ? b : a, t);
    }
    m_ShortPath = m_PathLength > 0;
}

void PathStateMachineTraverser::StopShortestPath() {
    m_ShortPath = false;
    std::fill(m_NextStation.begin(), m_NextStation.end(), false);
}

// The route planned last, whether or not it is still being followed: the station action stops
// following it on arrival, and that is when the game asks.
bool PathStateMachineTraverser::EndOfShortestPath() const {
    return m_PathLength > 0 && m_Path[static_cast<size_t>(m_PathLength - 1)] == m_CurrentState;
}

int PathStateMachineTraverser::NearestStationNumber(void* object) {
    if (!m_PathMachine || m_PathMachine->StationCount() == 0 || !object)
        return 0;
    int n = m_PathMachine->StationCount();
    if (m_CurrentState < n)
        return m_CurrentState;
    Position p = PointOnMap(*static_cast<Sprite*>(object));
    float best = 200000;
    int nearest = 0;
    auto consider = [&](int station) {
        Position s = m_PathMachine->GetStation(station);
        float d = std::sqrt((s.x - p.x) * (s.x - p.x) + (s.y - p.y) * (s.y - p.y));
        if (d < best) {
            best = d;
            nearest = station;
        }
    };
    const std::vector<State>& states = m_PathMachine->States();
    for (const Edge& e : states[static_cast<size_t>(m_CurrentState)].Edges()) {
        if (e.m_To >= 0 && e.m_To < n)
            consider(e.m_To);
        else if (e.m_To >= n && e.m_To < static_cast<int>(states.size()))
            for (const Edge& onward : states[static_cast<size_t>(e.m_To)].Edges())
                if (onward.m_To >= 0 && onward.m_To < n)
                    consider(onward.m_To);
    }
    return nearest;
}

void PathStateMachineTraverser::Save(File& file) {
    int index = kiv::TableIndex(PSMArray, maxPSMIndex, m_PathMachine);
    file.Write(index);
    file.Write(m_CurrentState);
    file.Write(m_Entry);
    file.Write(m_StateSet);
    file.Write(m_ShortPath);
    file.Write(m_PathLength);
    file.Write(static_cast<int>(m_Path.size()));
    for (int v : m_Path)
        file.Write(v);
    file.Write(static_cast<int>(m_NextStation.size()));
    for (bool b : m_NextStation)
        file.Write(b);
    file.Write(index);
    file.Write(m_Enabled);
}

void PathStateMachineTraverser::Load(File& file) {
    int index = -1, count = 0;
    file.Read(index);
    file.Read(m_CurrentState);
    file.Read(m_Entry);
    file.Read(m_StateSet);
    file.Read(m_ShortPath);
    file.Read(m_PathLength);
    file.Read(count);
    file.Require(static_cast<long>(count < 0 ? 0 : count) * 4);
    m_Path.assign(static_cast<size_t>(count < 0 ? 0 : count), -1);
    for (int& v : m_Path)
        file.Read(v);
    file.Read(count);
    file.Require(count < 0 ? 0 : count);
    m_NextStation.assign(static_cast<size_t>(count < 0 ? 0 : count), false);
    for (size_t i = 0; i < m_NextStation.size(); ++i) {
        bool b = false;
        file.Read(b);
        m_NextStation[i] = b;
    }
    file.Read(index);
    m_PathMachine = GetPathStateMachine(index);
    m_Machine = m_PathMachine;
    file.Read(m_Enabled);
    // The route and the stations it may lead to must fit the machine read back.
    size_t stations = static_cast<size_t>(m_PathMachine ? m_PathMachine->StationCount() : 0);
    m_Path.resize(stations, -1);
    m_NextStation.resize(stations, false);
    if (m_PathLength < 0 || m_PathLength > static_cast<int>(stations))
        m_PathLength = 0;
}
