// Sprites that follow paths: along the scenery under them (a ray finds the segment, whose
// direction the sprite takes), and through the stations of a path state machine.

#include <kiv/data/Builders.h>
#include <kiv/graphics/Map.h>
#include <kiv/logic/PathStateMachine.h>
#include <kiv/logic/PathStateMachineTraverser.h>
#include <kiv/sprites/CollisionSegment.h>
#include <kiv/sprites/FrameElem.h>
#include <kiv/sprites/Sprite.h>

#include "base/Messages.h"
#include "sprites/RayCorridor.h"
#include "sprites/SpriteSweep.h"

#include <cmath>

using namespace kiv::sweep;

namespace {

// Unit vectors of the ray directions: 0 RIGHT, 1 LEFT, 2 DOWN, 3 UP.
constexpr float RayX[4] = {1, -1, 0, 0};
constexpr float RayY[4] = {0, 0, 1, -1};

// The way a follower heads along the segment it found.
enum class Heading { Right, Left, Up, Down };

bool SameSpan(const CollisionSegment& a, const CollisionSegment& b) {
    return a.OriginX() == b.OriginX() && a.OriginY() == b.OriginY() &&
           a.MagnitudeX() == b.MagnitudeX() && a.MagnitudeY() == b.MagnitudeY();
}

// The segment across the ray that the sprite follows: the one it already follows when the
// ray still finds it, otherwise the nearest.
CollisionSegment* SegmentUnder(Sprite& s, Map& map, const RayCorridor& ray) {
    CollisionSegment* followed = s.m_FollowedSegment;
    CollisionSegment* chosen = nullptr;
    float best = 0;
    for (node* n = map.Shapes().Head(); !n->EOList(); n = n->Next()) {
        auto* shape = static_cast<CollisionData*>(n);
        if (!IsSegment(shape))
            continue;
        auto* segment = static_cast<CollisionSegment*>(shape);
        if (!Crosses(ray, *segment, 0, 0))
            continue;
        float d = DistanceAlong(ray, *segment, 0, 0, false);
        if (followed && SameSpan(*segment, *followed) && d < NoRayDistance)
            return segment;
        if (!chosen || d < best) {
            chosen = segment;
            best = d;
        }
    }
    return chosen;
}

void FollowScenery(Sprite& s, unsigned int id, unsigned int rayDirection, unsigned int hotSpot,
                   bool show, COLORREF colour, Heading heading) {
    RayCorridor ray = CastRay(s, hotSpot, RayX[rayDirection], RayY[rayDirection], show, colour);
    CollisionSegment* segment = s.m_Map ? SegmentUnder(s, *s.m_Map, ray) : nullptr;
    if (!segment || static_cast<unsigned int>(segment->Id()) != id)
        return;
    float x = segment->DirectionX(), y = segment->DirectionY();
    bool against = (heading == Heading::Right && x < 0) || (heading == Heading::Left && x > 0) ||
                   (heading == Heading::Up && y > 0) || (heading == Heading::Down && y < 0);
    s.m_DirectionX = against ? -x : x;
    s.m_DirectionY = against ? -y : y;
    if (!s.m_FollowedSegment)
        s.m_FollowedSegment = segment;
}

// The checks of a follow call: the ray must run across the way of heading, the hot spot
// must exist. False after the report.
bool FollowArguments(unsigned int rayDirection, unsigned int hotSpot, bool vertical,
                     const char* function) {
    bool across =
        vertical ? rayDirection == 2 || rayDirection == 3 : rayDirection == 0 || rayDirection == 1;
    if (!across) {
        kiv::ReportUserError(function, vertical ? 90 : 91);
        return false;
    }
    if (hotSpot > 4) {
        kiv::ReportUserError(function, 89, static_cast<int>(hotSpot));
        return false;
    }
    return true;
}

} // namespace

void Sprite::FollowPathRight(unsigned int id, unsigned int rayDirection, unsigned int hotSpot,
                             bool show, COLORREF colour) {
    if (FollowArguments(
            rayDirection, hotSpot, true,
            "void Sprite::FollowPathRight(unsigned int,unsigned int,unsigned int,bool,COLORREF)"))
        FollowScenery(*this, id, rayDirection, hotSpot, show, colour, Heading::Right);
}

void Sprite::FollowPathLeft(unsigned int id, unsigned int rayDirection, unsigned int hotSpot,
                            bool show, COLORREF colour) {
    if (FollowArguments(
            rayDirection, hotSpot, true,
            "void Sprite::FollowPathLeft(unsigned int,unsigned int,unsigned int,bool,COLORREF)"))
        FollowScenery(*this, id, rayDirection, hotSpot, show, colour, Heading::Left);
}

void Sprite::FollowPathUp(unsigned int id, unsigned int rayDirection, unsigned int hotSpot,
                          bool show, COLORREF colour) {
    if (FollowArguments(
            rayDirection, hotSpot, false,
            "void Sprite::FollowPathUp(unsigned int,unsigned int,unsigned int,bool,COLORREF)"))
        FollowScenery(*this, id, rayDirection, hotSpot, show, colour, Heading::Up);
}

void Sprite::FollowPathDown(unsigned int id, unsigned int rayDirection, unsigned int hotSpot,
                            bool show, COLORREF colour) {
    if (FollowArguments(
            rayDirection, hotSpot, false,
            "void Sprite::FollowPathDown(unsigned int,unsigned int,unsigned int,bool,COLORREF)"))
        FollowScenery(*this, id, rayDirection, hotSpot, show, colour, Heading::Down);
}

// ---- path state machines ----

void Sprite::ApplyPathStateMachine(int i) {
    PathStateMachine* machine = GetPathStateMachine(i);
    if (!machine) {
        kiv::ReportUserError("void Sprite::ApplyPathStateMachine(int)", 102, i);
        return;
    }
    delete m_Traverser;
    m_Traverser = new PathStateMachineTraverser(machine);
}

void Sprite::ChangePathState(unsigned int state) {
    if (!m_Traverser)
        return;
    m_Traverser->StopShortestPath();
    m_Traverser->SetCurrentState(static_cast<int>(state));
}

void Sprite::ShortestPath(unsigned int station) {
    if (!m_Traverser)
        return;
    int stations = m_Traverser->PathMachine() ? m_Traverser->PathMachine()->StationCount() : 0;
    if (static_cast<long long>(station) >= stations) {
        kiv::ReportUserError("void Sprite::ShortestPath(unsigned int)", 100, stations - 1);
        return;
    }
    m_Traverser->ShortestPath(station);
}

void Sprite::StopShortestPath() {
    if (m_Traverser)
        m_Traverser->StopShortestPath();
}

bool Sprite::EndOfShortestPath() {
    return m_Traverser && m_Traverser->EndOfShortestPath();
}

void Sprite::EnablePath(bool on) {
    if (!m_Traverser)
        return;
    m_Traverser->Enabled(on);
    if (!on)
        m_PathReEnable = true;
}

bool Sprite::EnablePath() {
    return m_Traverser && m_Traverser->Enabled();
}

int Sprite::NearestStationNumber(bool own) {
    PathStateMachine* machine = m_Traverser ? m_Traverser->PathMachine() : nullptr;
    if (!machine || machine->StationCount() <= 0)
        return 0;
    if (own)
        return m_Traverser->NearestStationNumber(this);
    KivPoint h{0, 0};
    if (FrameElem* f = RequestedFrame())
        h = f->m_HotSpots[ShownRow()][0];
    float x = static_cast<float>(h.x) + m_X, y = static_cast<float>(h.y) + m_Y;
    float best = 200000;
    int nearest = 0;
    for (int i = 0; i < machine->StationCount(); ++i) {
        Position p = machine->GetStation(i);
        float d = std::sqrt((p.x - x) * (p.x - x) + (p.y - y) * (p.y - y));
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

bool Sprite::TestPSMCollision() {
    PathStateMachine* machine = m_Traverser ? m_Traverser->PathMachine() : nullptr;
    if (!machine)
        return false;
    KivRect box = ShownCollisionBox(*this);
    Box b = Hull(Placed(box, m_X, m_Y), Placed(box, m_X + m_TranslationX, m_Y + m_TranslationY));
    if (m_Map)
        b = ClampedToMap(b, *m_Map);
    for (CollisionSegment* segment : machine->Segments())
        if (Faces(*segment, m_DirectionX, m_DirectionY) && Touches(segment, b)) {
            m_CollisionWithPath = true;
            return true;
        }
    return false;
}

void Sprite::UpdatePSM() {
    if (!m_Traverser || !m_PathReEnable)
        return;
    if (++m_PathReEnableCounter >= 2 && TestPSMCollision()) {
        m_Traverser->Enabled(true);
        m_PathReEnable = false;
        m_PathReEnableCounter = 0;
    }
}

void Sprite::DisplayPath(bool show, COLORREF colour) {
    if (show && m_Traverser && m_Traverser->PathMachine())
        m_Traverser->PathMachine()->DisplayPath(colour, this);
}
