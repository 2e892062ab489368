#include <kiv/graphics/GeometricsDrawn.h>
#include <kiv/graphics/Map.h>
#include <kiv/logic/PathStateMachine.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/Sprite.h>

#include "base/Conversions.h"

#include <cmath>

PathStateMachine::PathStateMachine(int stationCount)
    : m_StationCount(stationCount > 0 ? stationCount : 0) {
    size_t cells = static_cast<size_t>(m_StationCount) * m_StationCount;
    m_Length.assign(cells, -1.0f);
    for (int i = 0; i < m_StationCount; ++i)
        m_Length[Cell(i, i)] = 0.0f;
    m_Distance.assign(cells, -1);
    m_Via.assign(cells, -2);
}

PathStateMachine::PathStateMachine(const PathStateMachine& other) : StateMachine(other) {
    *this = other;
}

PathStateMachine& PathStateMachine::operator=(const PathStateMachine& other) {
    if (&other == this)
        return *this;
    StateMachine::operator=(other);
    m_StationCount = other.m_StationCount;
    m_Stations = other.m_Stations;
    m_Length = other.m_Length;
    m_Distance = other.m_Distance;
    m_Via = other.m_Via;
    for (CollisionSegment* s : m_Segments)
        delete s;
    m_Segments.clear();
    for (CollisionSegment* s : other.m_Segments)
        m_Segments.push_back(new CollisionSegment(*s));
    return *this;
}

PathStateMachine::~PathStateMachine() {
    for (CollisionSegment* s : m_Segments)
        delete s;
}

Position PathStateMachine::GetStation(int i) const {
    if (i < 0 || i >= static_cast<int>(m_Stations.size()))
        return {0, 0};
    return m_Stations[static_cast<size_t>(i)];
}

float PathStateMachine::Distance(int a, int b) const {
    Position p = GetStation(a), q = GetStation(b);
    return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y));
}

void PathStateMachine::Link(int a, int b) {
    if (a >= 0 && b >= 0 && a < m_StationCount && b < m_StationCount)
        m_Length[Cell(a, b)] = Distance(a, b);
}

void PathStateMachine::AddCollisionData(CollisionSegment& segment) {
    m_Segments.push_back(new CollisionSegment(segment));
}

void PathStateMachine::ComputeShortestPath() {
    int n = m_StationCount;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            float length = m_Length[Cell(i, j)];
            m_Distance[Cell(i, j)] = kiv::ToInt32(length); // truncation keeps -1 as -1
            m_Via[Cell(i, j)] = i == j ? -1 : length == -1.0f ? -2 : -1;
        }
    for (int k = 0; k < n; ++k)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                int ik = m_Distance[Cell(i, k)], kj = m_Distance[Cell(k, j)];
                int& ij = m_Distance[Cell(i, j)];
                int through = kiv::WrappingAdd(ik, kj);
                if (ik != -1 && kj != -1 && (ij == -1 || ij > through)) {
                    ij = through;
                    m_Via[Cell(i, j)] = k;
                }
            }
}

void PathStateMachine::AppendRoute(int a, int b, std::vector<int>& route, int depth) const {
    // A route never passes a station twice; deeper recursion means inconsistent tables.
    if (a < 0 || b < 0 || a >= m_StationCount || b >= m_StationCount || depth > m_StationCount)
        return;
    int via = m_Via[Cell(a, b)];
    if (via == -2)
        return;
    if (via >= 0) {
        AppendRoute(a, via, route, depth + 1);
        AppendRoute(via, b, route, depth + 1);
    } else if (b != a) {
        route.push_back(b);
    }
}

std::vector<int> PathStateMachine::Route(int a, int b) const {
    std::vector<int> route;
    if (a < 0 || b < 0 || a >= m_StationCount || b >= m_StationCount || Via(a, b) == -2)
        return route;
    route.push_back(a);
    AppendRoute(a, b, route, 0);
    return route;
}

namespace {

// Whether state `from` has an edge into state `to`.
bool LeadsTo(const State& from, int to) {
    for (const Edge& e : from.Edges())
        if (e.To() == to)
            return true;
    return false;
}

} // namespace

void PathStateMachine::DisplayPath(unsigned long colour, Sprite* sprite) {
    if (!pDraw)
        return;
    Map* map = sprite ? sprite->BelongToMapPtr() : nullptr;
    const float mx = map ? map->WorldPositionX() : 0, my = map ? map->WorldPositionY() : 0;
    const int states = GetNumberOfStates();
    // A stretch joins the stations whose states lead into it and out of it.
    for (int i = 0; i < m_StationCount && i < states; ++i)
        for (const Edge& out : m_States[static_cast<size_t>(i)].Edges()) {
            int stretch = out.To();
            if (stretch < m_StationCount || stretch >= states)
                continue;
            for (int k = 0; k < m_StationCount && k < states; ++k) {
                if (!LeadsTo(m_States[static_cast<size_t>(stretch)], k))
                    continue;
                Position a = GetStation(i), b = GetStation(k);
                pDraw->Line(a.x + mx, a.y + my, b.x + mx, b.y + my, static_cast<COLORREF>(colour));
            }
        }
}
