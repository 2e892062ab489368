// Probing the surroundings: look-ahead trials, rays to the viewport's edge, following the
// scenery, and the path state machine's hooks on the sprite side. Frames are 20 x 20 with the
// box (0, 0) to (19, 19) and hot spot 0 at (10, 19), the middle of the feet.

#include "CollisionFixture.h"

#include <cmath>
#include <memory>

using kiv::test::CollisionLevel;

namespace {

class Probes : public CollisionLevel {
protected:
    void SetUp() override {
        CollisionLevel::SetUp();
        MakeActor(1, {1});
        FrameOf(1, 0, 0).m_HotSpots[FrameElem::AsDrawn][0] = {10, 19};
        MakeActor(2, {1});
        FrameOf(2, 0, 0).AddCollisionData(CollisionSegment(20, 0, 0, 0, 3, 0, 0)); // faces up
    }
    void TearDown() override {
        delete pDraw;
        pDraw = nullptr;
        CollisionLevel::TearDown();
    }
    COLORREF Shown(int x, int y) {
        kiv::Surface* back = kiv::BackBuffer();
        return back->ColorOf(back->GetPixel(x, y));
    }
    // A floor at y, facing up (drawn from right to left), or facing down.
    void Floor(float y, bool facingUp, int id) {
        world->AddCollisionData(facingUp ? CollisionSegment(200, y, 0, y, id, 0, 0)
                                         : CollisionSegment(0, y, 200, y, id, 0, 0));
    }
};

const std::string Directions = "Ray direction must be one of four directions: RIGHT, LEFT, "
                               "DOWN, UP.";

} // namespace

TEST_F(Probes, LookAheadTriesTheMoveAndLeavesTheSpriteWhereItWas) {
    world->AddCollisionData(CollisionSegment(100, 50, 100, 150, 1, 0, 0)); // faces left
    Sprite* s = Mover(0, "s", 1, 70.3f, 80, 0, 0, 0);                      // right edge 89.3
    EXPECT_FALSE(s->LookAheadCollisionWithMap(4, 10, -1));
    EXPECT_EQ(LastError(), "bool Sprite::LookAheadCollisionWithMap(unsigned int,unsigned "
                           "int,int) | " +
                               Directions);
    // Shifted 7 and probed 3 further, the edge reaches 99.3; shifted 8, 100.3.
    EXPECT_FALSE(s->LookAheadCollisionWithMap(0, 7, -1));
    EXPECT_TRUE(s->LookAheadCollisionWithMap(0, 8, -1));
    EXPECT_TRUE(s->LookAheadCollisionWithMap(0, 8, 1));
    EXPECT_FALSE(s->LookAheadCollisionWithMap(0, 8, 2));   // only ID 2 counts
    EXPECT_FALSE(s->LookAheadCollisionWithMap(1, 80, -1)); // leftwards it faces away
    EXPECT_TRUE(s->LookAheadCollision(0, 8, 1));
    EXPECT_EQ(s->LeftPosition(), 70.3f);
    EXPECT_EQ(s->TopPosition(), 80.0f);
    EXPECT_FALSE(s->CollisionWithMap()); // a trial records nothing

    Sprite* other = Mover(1, "other", 1, 100, 85, 0, 0, 0);
    EXPECT_EQ(s->LookAheadCollisionWithSprite(0, 8, nullptr), other);
    EXPECT_EQ(s->LookAheadCollisionWithSprite(0, 8, "nobody"), nullptr);
    EXPECT_EQ(s->LookAheadCollisionWithSprite(0, 5, nullptr), nullptr); // 97.3 < 100
    EXPECT_EQ(s->LookAheadCollisionWithSprite(9, 8, nullptr), nullptr);
    EXPECT_EQ(LastError(), "Sprite * Sprite::LookAheadCollisionWithSprite(unsigned int,unsigned "
                           "int,const char *) | " +
                               Directions);
    other->Unused(true);
    EXPECT_FALSE(s->LookAheadCollision(0, 8, 0));
    EXPECT_TRUE(s->LookAheadCollision(0, 8, 2)); // sprites, then the map
    EXPECT_EQ(s->LeftPosition(), 70.3f);
}

TEST_F(Probes, RaysEndAtTheEdgeOfTheViewportsWorldRectangle) {
    Sprite s; // the viewport is 200 x 100 at the world's origin
    auto at = [&](float x, float y, float dx, float dy) {
        KivPoint p = s.RayViewportDest(x, y, dx, dy);
        return std::make_pair(p.x, p.y);
    };
    EXPECT_EQ(at(10.5f, 20, 1, 0), std::make_pair(200, 20));
    EXPECT_EQ(at(10, 20, 0, -3), std::make_pair(10, 0));
    EXPECT_EQ(at(50, 50, 1, 1), std::make_pair(100, 100));
    EXPECT_EQ(at(12.7f, 20.2f, 0, 0), std::make_pair(12, 20)); // no direction: the start
    View().WorldXPos(100);
    EXPECT_EQ(at(150, 50, -1, 0), std::make_pair(100, 50));
    EXPECT_EQ(at(50, 50, 1, 0), std::make_pair(300, 50));  // it crosses and leaves on the right
    EXPECT_EQ(at(350, 50, 1, 0), std::make_pair(350, 50)); // past the edge: it goes nowhere
}

TEST_F(Probes, SpriteToMapRayFindsFacingSegmentsAcrossIt) {
    Sprite* s = Mover(0, "s", 1, 60, 20, 0, 0, 0); // feet at (70, 39)
    Floor(80, false, 1);                           // faces down, away from the ray
    EXPECT_FALSE(s->SpriteToMapRay(0, 0, 1, 1, false, 0));
    Floor(90, true, 2);
    EXPECT_FALSE(s->SpriteToMapRay(0, 0, 1, 1, false, 0));
    EXPECT_TRUE(s->SpriteToMapRay(0, 0, 1, 2, false, 0));
    EXPECT_FALSE(s->SpriteToMapRay(0, 0, -1, 2, false, 0)); // upwards it misses
    // The ray runs only 3 pixels either side: a floor from x = 74 misses it.
    world->AddCollisionData(CollisionSegment(200, 95, 74, 95, 4, 0, 0));
    EXPECT_FALSE(s->SpriteToMapRay(0, 0, 1, 4, false, 0));

    pDraw = new GeometricsDrawn;
    EXPECT_FALSE(s->SpriteToMapRay(0, 0, 0, 2, true, 0x0000FF)); // no direction, no drawing
    EXPECT_NE(Shown(70, 60), 0x0000FFu);
    EXPECT_TRUE(s->SpriteToMapRay(7, 0, 1, 2, true, 0x0000FF));
    EXPECT_EQ(LastError(), "bool Sprite::SpriteToMapRay(unsigned int,float,float,unsigned "
                           "int,bool,COLORREF) | The hot point 7 of the current sprite, is "
                           "greater than the maximum of hot points allowed.");
    // Hot spot 4 is (0, 0): the ray runs down from (60, 20) to the bottom edge.
    EXPECT_EQ(Shown(60, 60), 0x0000FFu);
    EXPECT_EQ(Shown(70, 60), 0u);
}

TEST_F(Probes, SceneryWithTheSameIdHidesTheSpritesBehindIt) {
    Sprite* s = Mover(0, "s", 1, 60, 0, 0, 0, 0); // feet at (70, 19)
    Sprite* below = Mover(1, "below", 2, 60, 60, 0, 0, 0);
    EXPECT_EQ(s->SpriteToSpriteRay(0, 0, 1, 3, false, 0), below);
    EXPECT_EQ(s->SpriteToSpriteRay(0, 0, 1, 4, false, 0), nullptr);
    Floor(40, true, 4); // another ID: no cover
    EXPECT_EQ(s->SpriteToSpriteRay(0, 0, 1, 3, false, 0), below);
    Floor(40, true, 3);
    EXPECT_EQ(s->SpriteToSpriteRay(0, 0, 1, 3, false, 0), nullptr);
}

TEST_F(Probes, FollowingThePathTakesTheDirectionOfTheSegmentUnderTheFeet) {
    // A slope rising to the right, drawn from right to left.
    world->AddCollisionData(CollisionSegment(200, 60, 0, 100, 5, 0, 0));
    Sprite* s = Mover(0, "s", 1, 60, 20, 0, 0, 0);
    const float x = 200 / std::sqrt(200.0f * 200 + 40 * 40),
                y = -40 / std::sqrt(200.0f * 200 + 40 * 40);

    s->FollowPathRight(5, 0, 0, false, 0);
    EXPECT_EQ(LastError(), "void Sprite::FollowPathRight(unsigned int,unsigned int,unsigned "
                           "int,bool,COLORREF) | The ray direction can only be set to UP or "
                           "DOWN.");
    s->FollowPathUp(5, 2, 0, false, 0);
    EXPECT_EQ(LastError(), "void Sprite::FollowPathUp(unsigned int,unsigned int,unsigned "
                           "int,bool,COLORREF) | The ray direction can only be set to RIGHT or "
                           "LEFT.");
    s->FollowPathLeft(5, 2, 5, false, 0);
    EXPECT_EQ(LastError(), "void Sprite::FollowPathLeft(unsigned int,unsigned int,unsigned "
                           "int,bool,COLORREF) | The hot point 5 of the current sprite, is "
                           "greater than the maximum of hot points allowed.");
    EXPECT_EQ(s->DirectionX(), 0.0f);

    s->FollowPathRight(6, 2, 0, false, 0); // another ID: nothing changes
    EXPECT_EQ(s->DirectionX(), 0.0f);
    s->FollowPathRight(5, 2, 0, false, 0);
    EXPECT_NEAR(s->DirectionX(), x, 1e-6);
    EXPECT_NEAR(s->DirectionY(), y, 1e-6);
    s->FollowPathLeft(5, 2, 0, false, 0);
    EXPECT_NEAR(s->DirectionX(), -x, 1e-6);
    EXPECT_NEAR(s->DirectionY(), -y, 1e-6);
    s->FollowPathDown(5, 2, 0, false, 0);
    EXPECT_EQ(LastError(), "void Sprite::FollowPathDown(unsigned int,unsigned int,unsigned "
                           "int,bool,COLORREF) | The ray direction can only be set to RIGHT or "
                           "LEFT.");

    // The speed moves it along the slope: 10 pixels a frame.
    s->FollowPathRight(5, 2, 0, false, 0);
    s->Speed(10);
    Pass();
    EXPECT_NEAR(s->LeftPosition(), 60 + 10 * x, 1e-4);
    EXPECT_NEAR(s->TopPosition(), 20 + 10 * y, 1e-4);
}

TEST_F(Probes, APathIsEnabledAgainOnMeetingOneOfItsSegments) {
    auto* saved = PSMArray;
    int savedMax = maxPSMIndex;
    auto machines = std::make_unique<PathStateMachine[]>(1);
    PSMArray = machines.get();
    maxPSMIndex = 0;
    PathStateMachine& m = machines[0] = PathStateMachine(2);
    m.AddStation({10, 10});
    m.AddStation({150, 60});
    m.AddState(State(nullptr, 0, 255, 0, false, 0));
    m.AddState(State(nullptr, 0, 255, 1, false, 0));
    m.AddState(State(nullptr, 0, 255, 1, false, 1));
    m.m_States[0].AddEdge(Edge(2, nullptr, false, false, 255, 2, 1, 1));
    m.m_States[2].AddEdge(Edge(1, nullptr, false, false, 255, 2, 1, 0));
    CollisionSegment path(100, 50, 100, 150, 1, 0, 0); // faces left
    m.AddCollisionData(path);

    Sprite* s = Mover(0, "s", 1, 70, 80, 1, 0, 20);
    s->ApplyPathStateMachine(1);
    EXPECT_EQ(LastError(), "void Sprite::ApplyPathStateMachine(int) | Path State Machine number "
                           "1 not found.");
    EXPECT_EQ(s->NearestStationNumber(false), 0);
    s->ApplyPathStateMachine(0);
    EXPECT_EQ(s->NearestStationNumber(false), 1); // the feet (80, 99) are nearer (150, 60)
    s->ShortestPath(2);
    EXPECT_EQ(LastError(), "void Sprite::ShortestPath(unsigned int) | The station specified "
                           "must be in the range of stations created between station number 0 "
                           "and station number 1.");

    s->EnablePath(false);
    s->GetTranslation(); // the box sweeps from 70..89 to 90..109 across the segment
    s->UpdatePSM();
    EXPECT_FALSE(s->EnablePath()); // the first check only counts
    s->UpdatePSM();
    EXPECT_TRUE(s->EnablePath());
    EXPECT_TRUE(s->CollisionWithPath());
    s->EnablePath(false);
    s->VectorDirection(-1, 0, 0); // heading away from the segment's face
    s->GetTranslation();
    s->UpdatePSM();
    s->UpdatePSM();
    EXPECT_FALSE(s->EnablePath());

    // The network: a line from station 0 to station 1 through the stretch, in red.
    pDraw = new GeometricsDrawn;
    s->ShowPath(true);
    s->DisplaySprite();
    EXPECT_EQ(Shown(80, 35), 0x0000FFu); // on the line from (10, 10) to (150, 60)
    EXPECT_EQ(Shown(80, 60), 0u);
    level->DisplayList(0).del(s); // before its machine goes
    PSMArray = saved;
    maxPSMIndex = savedMax;
}
