// Particles against the map's shapes: resting on a floor, bouncing off a slanted segment and
// off a circle, and passing through the back of a segment.
#include "ParticleFixture.h"

#include <cmath>

namespace {

constexpr float RadiansToDegrees = 57.29747f, DegreesToRadians = 0.017452778f;

class Bounces : public kiv::test::ParticleLevel {
protected:
    void SetUp() override {
        ParticleLevel::SetUp();
        world = World();
    }
    // One particle of size 1 on the world map, checking the map's shapes.
    Particle& Drop(std::function<void(Particle*)> init, float gravity) {
        onInit = [init](Particle* p) {
            p->MaximumAge(500);
            p->CheckCollisionWithMap(true);
            init(p);
        };
        system = new ParticleSystem(1, InitFunction, UpdateFunction);
        system->BelongToMap("world");
        system->Gravity(gravity);
        level->Add(system);
        return system->At(0);
    }
    void Frame() { level->UpdateParticleSystem(world); }
    // The square's top-left corner on the map (Y down).
    float Top(const Particle& p) const { return -p.PositionY() + system->MapPositionY(); }

    Map* world = nullptr;
    ParticleSystem* system = nullptr;
};

} // namespace

TEST_F(Bounces, WithoutReflectionAParticleStopsAndRestsOnTheFloor) {
    // Drawn left to right, the floor's normal points down: it catches what falls on it.
    world->AddCollisionData(CollisionSegment(0, 100, 256, 100, 5, 0, 0));
    Particle& p = Drop([](Particle* q) { q->Position(50, -60); }, 1);
    int frame = 0;
    while (!p.CollisionWithMap() && frame < 40) {
        Frame();
        ++frame;
    }
    // Free fall from a top of 60: 60 + t²/2 at time t, crossing the floor at t = 9.
    EXPECT_EQ(frame, 10);
    EXPECT_FLOAT_EQ(Top(p) + 1, 100); // pulled back onto the floor
    EXPECT_EQ(p.Velocity(), 0);
    float y = p.PositionY();
    unsigned int age = p.Age();
    for (int i = 0; i < 20; ++i)
        Frame();
    EXPECT_EQ(p.PositionY(), y); // resting: its time stands still
    EXPECT_TRUE(p.CollisionWithMap());
    EXPECT_EQ(p.Age(), age + 20);
    p.CheckCollisionWithMap(false);
    EXPECT_FALSE(p.CollisionWithMap());
    Frame();
    Frame();
    EXPECT_LT(p.PositionY(), y); // falls on through the floor
}

TEST_F(Bounces, ReflectionTurnsTheFlightAboutASlantedSegmentsNormal) {
    // From (100, 100) down to (200, 200): the normal (-1, 1) / √2 points down to the left.
    world->AddCollisionData(CollisionSegment(100, 100, 200, 200, 7, 0, 0));
    Particle& p = Drop(
        [](Particle* q) {
            q->Position(150, -120);
            q->Reflection(true);
            q->Friction(1);
            q->Angle(270); // straight down, give or take the games' pi
            q->Velocity(4);
        },
        0);
    int frame = 0;
    float topBefore = 0;
    while (!p.CollisionWithMap() && frame < 40) {
        topBefore = Top(p);
        Frame();
        ++frame;
    }
    ASSERT_TRUE(p.CollisionWithMap());
    // The square's leading corner (its bottom left) was pulled back onto the segment's line.
    float left = p.PositionX() + system->MapPositionX(), bottom = Top(p) + 1;
    EXPECT_NEAR(bottom - 100, left - 100, 1e-3f);
    EXPECT_GT(Top(p), topBefore); // and no farther back than the step came from

    // The step's direction reflected about the normal, d - 2 (d . n) n, on the map (Y down).
    float dx = 0, dy = 1; // falling: the step was straight down
    const float n = std::sqrt(0.5f);
    float along = dx * -n + dy * n;
    float rx = dx - 2 * along * -n, ry = dy - 2 * along * n;
    float angle = std::atan2(-ry, rx); // back to the particle's axes, Y up
    EXPECT_NEAR(p.Angle(), angle * RadiansToDegrees * DegreesToRadians, 1e-3f);
    EXPECT_FLOAT_EQ(p.Velocity(), 4 - 1); // less the friction
    // It flies off to the right from where it bounced, one frame already in.
    float x = p.PositionX(), y = p.PositionY();
    Frame();
    EXPECT_NEAR(p.PositionX(), x + 3, 1e-3f);
    EXPECT_NEAR(p.PositionY(), y, 1e-2f);
    EXPECT_FALSE(p.CollisionWithMap());
}

TEST_F(Bounces, AParticleBouncesUpOffTheTopOfACircle) {
    world->AddCollisionData(CollisionCircle(60, 150, 20, 3, 0));
    Particle& p = Drop(
        [](Particle* q) {
            q->Position(59.5f, -100);
            q->Reflection(true);
            q->Angle(270);
            q->Velocity(3);
        },
        0);
    int frame = 0;
    while (!p.CollisionWithMap() && frame < 40) {
        Frame();
        ++frame;
    }
    ASSERT_TRUE(p.CollisionWithMap());
    EXPECT_NEAR(Top(p) + 1, 130, 0.5f);                   // on the circle's top
    EXPECT_NEAR(p.Angle(), 90 * DegreesToRadians, 0.05f); // and away upwards
    float y = p.PositionY();
    Frame();
    EXPECT_GT(p.PositionY(), y + 2.9f);
}

TEST_F(Bounces, ASegmentsBackLetsParticlesThrough) {
    // Drawn right to left, the normal points up: falling particles move away from its front.
    world->AddCollisionData(CollisionSegment(256, 100, 0, 100, 5, 0, 0));
    Particle& p = Drop([](Particle* q) { q->Position(50, -60); }, 1);
    for (int i = 0; i < 15; ++i) {
        Frame();
        ASSERT_FALSE(p.CollisionWithMap()) << i;
    }
    EXPECT_GT(Top(p), 100);
}

TEST_F(Bounces, AStepEndingOffTheMapStillMeetsTheShapesAlongItsEdge) {
    // A floor by the bottom edge and walls by the right and left edges, each facing the
    // particle that flies at it fast enough to end this frame's step off the map.
    world->AddCollisionData(CollisionSegment(0, 190, 256, 190, 1, 0, 0));
    world->AddCollisionData(CollisionSegment(250, 192, 250, 0, 2, 0, 0));
    world->AddCollisionData(CollisionSegment(6, 0, 6, 192, 3, 0, 0));
    struct Launch {
        float x, y, angle;
    };
    static const Launch launches[] = {{50, -180, 270}, {240, -100, 0}, {10, -100, 180}};
    int launched = 0;
    onInit = [&launched](Particle* p) {
        const Launch& l = launches[launched++];
        p->MaximumAge(50);
        p->CheckCollisionWithMap(true);
        p->Position(l.x, l.y);
        p->Angle(l.angle);
        p->Velocity(20);
    };
    system = new ParticleSystem(3, InitFunction, UpdateFunction);
    system->BelongToMap("world");
    level->Add(system);
    Frame();
    Frame(); // 20 pixels on: past the map's edge
    for (unsigned int i = 0; i < 3; ++i) {
        EXPECT_TRUE(system->At(i).CollisionWithMap()) << i;
        EXPECT_EQ(system->At(i).Velocity(), 0) << i;
    }
    // Each pulled back onto its shape.
    EXPECT_NEAR(Top(system->At(0)) + 1, 190, 1e-3f);
    EXPECT_NEAR(system->At(1).PositionX() + 1, 250, 1e-3f);
    EXPECT_NEAR(system->At(2).PositionX(), 6, 1e-3f);
}
