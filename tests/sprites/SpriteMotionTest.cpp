// Speed, direction, gravity, canned movement, positions and movement patterns. Expected values
// are worked out by hand; the comments give the arithmetic.

#include "SpriteFixture.h"

#include <cmath>

using kiv::test::SpriteLevel;

namespace {

using Motion = SpriteLevel;

constexpr double Pi = 3.14159265358979323846;

// The motion steps of one frame, as the level runs them, for a sprite that hits nothing.
void Step(Sprite& s) {
    s.UpdateMovementPattern();
    s.GetTranslation();
    s.UpdateTranslation();
    s.UpdateSprite();
}

// Runs a frame whose move is cut at fraction f, as a collision would.
void CutStep(Sprite& s, float f) {
    s.GetTranslation();
    s.MoveFraction(f);
    s.UpdateTranslation();
    s.UpdateSprite();
}

// The game's pattern table for one test.
struct Patterns {
    explicit Patterns(int n) : saved(MPArray), savedMax(maxMPIndex) {
        MPArray = NewMovementPatterns(static_cast<unsigned int>(n));
        maxMPIndex = n - 1;
    }
    ~Patterns() {
        delete[] MPArray;
        MPArray = saved;
        maxMPIndex = savedMax;
    }
    MovementPattern* saved;
    int savedMax;
};

} // namespace

TEST_F(Motion, SpeedAndFriction) {
    Sprite s;
    s.Speed(3);
    s.Speed(-1);
    EXPECT_EQ(LastError(), "void  Sprite::Speed(float) | The speed of a sprite must be positive.");
    s.SpeedXInc(5, 6);
    EXPECT_EQ(s.SpeedY(), 6.0f); // one speed for both axes, capped
    s.Speed(2);
    s.SpeedDec(5, -3); // a negative minimum counts as 0
    EXPECT_EQ(s.Speed(), 0.0f);

    s.Friction(50);
    for (float p : {-1.0f, 100.5f}) {
        s.Friction(p);
        EXPECT_EQ(LastError(),
                  "void Sprite::Friction(float) | The friction must be a percentage range.");
    }
    s.Speed(1.7f);
    s.VectorDirection(1, 0, 0);
    for (float expected : {1.2f, 0.7f, 0.2f, 0.0f, 0.0f}) { // 0.5 a frame, down to 0
        Step(s);
        EXPECT_NEAR(s.TranslationX(), expected, 1e-6);
    }
    EXPECT_NEAR(s.LeftPosition(), 2.1f, 1e-5);
}

TEST_F(Motion, VectorDirectionNormalisesAndSmoothsTowardsTheOldDirection) {
    Sprite s;
    s.VectorDirection(3, 4, 0);
    EXPECT_FLOAT_EQ(s.DirectionX(), 0.6f);
    EXPECT_FLOAT_EQ(s.DirectionY(), 0.8f);
    s.VectorDirection(0, 0, 5);
    EXPECT_EQ(s.DirectionX(), 0.0f);
    EXPECT_EQ(s.DirectionY(), 0.0f);

    // Straight back: (1 + -1, 0) is nothing, so it turns through "up": (0, -0.01) -> (0, -1).
    s.VectorDirection(1, 0, 0);
    s.VectorDirection(-1, 0, 1);
    EXPECT_FLOAT_EQ(s.DirectionY(), -1.0f);
    // From 0 degrees towards 90 (down the screen) each pass halves the turn: 22.5 after two,
    // and 90 / 2^10 for any factor above 10.
    s.VectorDirection(1, 0, 0);
    s.VectorDirection(0, 7, 2);
    EXPECT_NEAR(s.DirectionY(), std::sin(Pi / 8), 1e-6);
    s.VectorDirection(1, 0, 0);
    s.VectorDirection(0, 1, 15);
    EXPECT_NEAR(s.DirectionY(), std::sin(Pi / 2 / 1024), 1e-6);

    float y = s.DirectionY();
    s.Canned(true);
    s.VectorDirection(-1, 0, 0);
    EXPECT_EQ(s.DirectionY(), y); // canned sprites keep their direction
}

TEST_F(Motion, VectorAngleTurnsTheShorterWayAndSnapsWhenClose) {
    Sprite s;
    s.VectorDirection(3, 4, 0); // acos(0.6) = 53.13, pointing down the screen
    EXPECT_EQ(s.VectorAngle(), 307);
    s.VectorDirection(1, 0, 0);
    for (int expected : {30, 60, 90, 90}) {
        s.VectorAngle(90, 30);
        EXPECT_EQ(s.VectorAngle(), expected);
    }
    s.VectorDirection(1, 0, 0);
    s.VectorAngle(350, 30); // 10 degrees clockwise is nearer than 30: straight there
    EXPECT_EQ(s.VectorAngle(), 350);
    s.VectorDirection(1, 0, 0);
    for (int expected : {330, 300, 300}) { // clockwise through 0
        s.VectorAngle(300, 30);
        EXPECT_EQ(s.VectorAngle(), expected);
    }
    s.VectorAngle(350, 0);
    s.VectorAngle(20, 15); // counter-clockwise through 360
    EXPECT_EQ(s.VectorAngle(), 5);
    s.VectorAngle(190, 15); // from 5: 185 degrees counter-clockwise, 175 clockwise
    EXPECT_EQ(s.VectorAngle(), 350);
    s.VectorAngle(90, 0); // tiny sines and cosines are zeros: exact
    EXPECT_EQ(s.DirectionX(), 0.0f);
    EXPECT_EQ(s.DirectionY(), -1.0f);

    s.VectorAngle(359, 0);
    EXPECT_EQ(LastError(), "");
    for (float angle : {359.5f, -1.0f}) {
        s.VectorAngle(angle, 0);
        EXPECT_EQ(LastError(), "void Sprite::VectorAngle(float,float) | "
                               "The angle value must be in the range of [0...359].");
    }
    s.VectorAngle(10, 180.5f);
    EXPECT_EQ(LastError(), "void Sprite::VectorAngle(float,float) | "
                           "The smooth angle value must be in the range of [0...180].");
    s.Canned(true);
    s.VectorAngle(90, 0);
    EXPECT_EQ(s.VectorAngle(), 359);
}

TEST_F(Motion, FollowAimsHotSpotAtHotSpotInTheOrientationsShown) {
    MakeActor(7, {1}, 32, 32);
    FrameElem& f = FrameOf(7, 0, 0);
    f.m_HotSpots[FrameElem::AsDrawn][1] = f.m_HotSpots[FrameElem::AsDrawn][2] = {5, 5};
    f.m_FlipHorizontally = true;
    f.ComputeMirrors(); // left-right hot spot x: 31 - 5 = 26
    Sprite* me = AddSprite(0, "me");
    Sprite* target = AddSprite(1, "target");
    me->ActorIndex(7);
    target->ActorIndex(7);
    me->MapPosition(10, 20);
    target->MapPosition(40, 60);
    me->Follow(target, 1, 2, 0); // (45, 65) - (15, 25) = (30, 40)
    EXPECT_FLOAT_EQ(me->DirectionX(), 0.6f);
    target->m_ShownHFlip = true; // (66, 65) - (15, 25) = (51, 40)
    me->Follow(String("target"), 1, 2, 0);
    EXPECT_FLOAT_EQ(me->DirectionX(), 51 / std::sqrt(4201.0f));

    const std::string fn =
        "void Sprite::Follow(Sprite *,unsigned int,unsigned int,unsigned int) | ";
    const std::string hot = " of the current sprite, is greater than the maximum of hot points "
                            "allowed.";
    me->Follow(nullptr, 0, 0, 0);
    EXPECT_EQ(LastError(), fn + "Cannot follow a NULL sprite.");
    me->Follow(target, 5, 0, 0);
    EXPECT_EQ(LastError(), fn + "The hot point 5" + hot);
    me->Follow(target, 0, 7, 0);
    EXPECT_EQ(LastError(), fn + "The hot point 7" + hot);
    me->Follow(target, 0, 0, 11);
    EXPECT_EQ(LastError(), fn + "The smooth factor mustn\x92t be greater than 10.");
    me->Follow(String(), 0, 0, 0);
    EXPECT_EQ(LastError(), "void Sprite::Follow(const char *,unsigned int,unsigned int,unsigned "
                           "int) | Cannot follow a sprite with a NULL name.");
    me->Follow(String("nobody"), 0, 0, 0);
    EXPECT_EQ(LastError(), "Sprite* Sprite::Search(const char *) | Sprite name: nobody not found.");
    EXPECT_FLOAT_EQ(me->DirectionX(), 51 / std::sqrt(4201.0f)); // untouched by the errors
}

TEST_F(Motion, CannedMovementComesFromTheFrames) {
    MakeActor(3, {2});
    FrameElem& first = FrameOf(3, 0, 0);
    first.m_TranslationX = 2;
    first.m_FlipHorizontally = true;
    first.m_Delay = 3;
    Sprite s;
    s.ActorIndex(3);
    s.CannedDirection(2);
    EXPECT_EQ(s.CannedDirection(), 0u); // only canned sprites take one
    s.Canned(true);
    s.Speed(2);
    s.CannedDirection(2);
    s.GetTranslation(); // direction (1, 0) from the frame, factors (-1, 1): -1 * 2 * 2
    EXPECT_EQ(s.TranslationX(), -4.0f);
    EXPECT_EQ(s.DirectionX(), -1.0f);
    EXPECT_TRUE(s.HFlip()); // the factor shows the frame mirrored
    s.CannedDirection(5);
    EXPECT_EQ(LastError(), "void Sprite::CannedDirection(int) | Direction 5 not found.");

    // With DoNotCutDirection the factors change only on frame 0 with a countdown of at least
    // its delay - 1.
    s.DoNotCutDirection(true);
    struct Case {
        int frame;
        unsigned int delay, direction;
    } cases[] = {{1, 0, 2}, {0, 1, 2}, {0, 2, 4}};
    for (const Case& c : cases) {
        s.Frame(c.frame);
        s.Delay(c.delay);
        s.CannedDirection(4);
        EXPECT_EQ(s.CannedDirection(), c.direction);
    }
    s.CannedHDirection(false); // no canned motion along x
    s.GetTranslation();
    EXPECT_EQ(s.TranslationX(), 0.0f);
}

TEST_F(Motion, GravityFollowsItsParabolaWithinTheLimit) {
    Sprite s;
    s.Gravity(true, 100.5f);
    EXPECT_EQ(LastError(), "void Sprite::Gravity(bool,int) | Gravity must be a percentage range.");
    EXPECT_FALSE(s.Gravity());
    s.MapPosition(10, 20);
    s.Speed(2);
    s.VectorDirection(1, 0, 0);
    s.Gravity(true, 50); // g = 0.5: at frame t the parabola is at (10 + 2t, 20 + t*t/4)
    for (int t = 1; t <= 4; ++t) {
        Step(s);
        EXPECT_NEAR(s.LeftPosition(), 10.0f + 2.0f * t, 1e-5) << t;
        EXPECT_NEAR(s.TopPosition(), 20.0f + t * t / 4.0f, 1e-5) << t;
    }
    EXPECT_NEAR(s.Speed(), std::sqrt(4 + 1.75f * 1.75f), 1e-5); // (16, 22.25) to (18, 24)
    s.Gravity(true, 100);
    EXPECT_EQ(LastError(), "");
    s.Gravity(false, 0);
    EXPECT_EQ(s.m_G, 0.2f);

    Sprite fast; // faster than 500 pixels a frame: held to 500, lagging behind its parabola
    fast.Speed(1000);
    fast.VectorDirection(1, 0, 0);
    fast.Gravity(true, 0);
    for (int frame = 0; frame < 3; ++frame) {
        Step(fast);
        EXPECT_EQ(fast.TranslationX(), 500.0f);
    }
    EXPECT_EQ(fast.Speed(), 500.0f);
}

TEST_F(Motion, ACutMoveFindsTheImpactSpeedAndMayBounce) {
    // Falling from rest with g = 1: 0.5, 2, then the third frame's 2.5 is cut at 0.4, so it
    // stops at 3: the impact speed is sqrt(2 g h) = sqrt(6).
    for (bool reflection : {false, true}) {
        Sprite s;
        s.Reflection(reflection);
        s.CollisionType(false);
        s.GravityFriction(0.5f);
        s.Gravity(true, 100);
        Step(s);
        Step(s);
        s.m_LastSegment = CollisionSegment(10, 5, 0, 5, 0, 0, 0); // normal (0, -1): a floor
        CutStep(s, 0.4f);
        EXPECT_FLOAT_EQ(s.TopPosition(), 3.0f);
        EXPECT_FLOAT_EQ(s.Speed(), std::sqrt(6.0f));
        EXPECT_EQ(s.m_GravityStartY, 3.0f); // the parabola starts again here
        EXPECT_EQ(s.m_GravityTime, 0);
        EXPECT_FLOAT_EQ(s.m_GravitySpeed, reflection ? std::sqrt(6.0f) - 0.5f : 0.0f);
        EXPECT_FLOAT_EQ(s.DirectionY(), reflection ? -1.0f : 1.0f);
    }

    // Thrown at 5 along (0.6, -0.8) with g = 1: (3t, -4t + t*t/2). The fourth frame, from
    // (9, -7.5) towards (12, -8), is cut halfway: (10.5, -7.75). With S = 10.5 - 7.75 = 2.75
    // and a = -0.2: D = 25 * 0.04 + 2 * 2.75 = 6.5, roots -1.5495 and 3.5495; the one near
    // t = 4 gives 25 + 2 * 3.5495 * 5 * -0.8 + 3.5495^2 = 9.2030, a speed of 3.03364.
    Sprite s;
    s.Speed(5);
    s.VectorDirection(0.6f, -0.8f, 0);
    s.Gravity(true, 100);
    for (int t = 0; t < 3; ++t)
        Step(s);
    CutStep(s, 0.5f);
    EXPECT_NEAR(s.LeftPosition(), 10.5f, 1e-5);
    EXPECT_NEAR(s.Speed(), 3.033635f, 1e-4);
}

TEST_F(Motion, ReflectionNeedsShapeCollisionsAndACutMove) {
    Sprite s;
    s.Reflection(true);
    s.Speed(5);
    s.VectorDirection(3, 4, 0);
    s.m_LastSegment = CollisionSegment(10, 5, 0, 5, 0, 0, 0);
    CutStep(s, 0.5f); // half of (3, 4); bounding-box collisions do not reflect
    EXPECT_FLOAT_EQ(s.TranslationY(), 2.0f);
    EXPECT_FLOAT_EQ(s.DirectionY(), 0.8f);
    s.CollisionType(false);
    s.UpdateSprite();
    EXPECT_FLOAT_EQ(s.DirectionX(), 0.6f);
    EXPECT_FLOAT_EQ(s.DirectionY(), -0.8f);
    s.MoveFraction(1.5f); // not cut: no reflection
    s.UpdateSprite();
    EXPECT_FLOAT_EQ(s.DirectionY(), -0.8f);
}

TEST_F(Motion, AOneShotMoveTakesOneFrameAndThenRestoresTheSpeed) {
    Sprite s;
    s.MapPosition(10, 10);
    s.Speed(2);
    s.VectorDirection(0, 1, 0);
    s.MapPosition(40, 50, true);
    EXPECT_EQ(s.LeftPosition(), 10.0f); // nothing moves before the frame
    Step(s);
    EXPECT_FLOAT_EQ(s.LeftPosition(), 40.0f);
    EXPECT_FLOAT_EQ(s.TopPosition(), 50.0f);
    EXPECT_EQ(s.ViewportX(), 40);
    s.FinishPendingMove();
    EXPECT_FALSE(s.PendingMove());
    EXPECT_EQ(s.Speed(), 2.0f);
    EXPECT_EQ(s.DirectionY(), 0.0f);

    s.WorldPositionXDec(15, 30, true); // 40 - 15 is below 30: to 30
    Step(s);
    EXPECT_FLOAT_EQ(s.LeftPosition(), 30.0f);
    EXPECT_FLOAT_EQ(s.TopPosition(), 50.0f);
}

TEST_F(Motion, PositionsOnAStandardMapAndWithAPeg) {
    MakeActor(4, {1}, 32, 32);
    FrameElem& f = FrameOf(4, 0, 0);
    f.m_CenterX = 10.7f;
    f.m_CenterY = 5.2f;
    f.m_FlipHorizontally = true;
    f.ComputeMirrors(); // left-right centre x: 31 - 10.7 = 20.3
    Map map;
    map.WorldPositionX(100);
    map.WorldPositionY(50);
    Sprite s;
    s.ActorIndex(4);
    s.BelongToMapPtr(&map);
    s.WorldPositionX(300);
    EXPECT_EQ(s.LeftPosition(), 200.0f);
    s.PegRegistered(true); // the peg is the centre, in whole pixels
    s.WorldPosition(300, 80);
    EXPECT_EQ(s.LeftPosition(), 190.0f);
    EXPECT_EQ(s.TopPosition(), 25.0f);
    EXPECT_EQ(s.MapPositionY(), 30.0f);
    EXPECT_EQ(s.ViewportX(), 200); // map on screen at 0: 190 + centre
    s.m_ShownHFlip = true;
    EXPECT_EQ(s.WorldPositionX(), 310.0f); // 100 + 190 + 20
    s.WorldPositionXInc(50, 320);          // 310 + 50, no further than 320
    EXPECT_EQ(s.LeftPosition(), 200.0f);
    s.MapPositionYDec(40, -5); // 30 - 40 is below -5
    EXPECT_EQ(s.TopPosition(), -10.0f);

    Sprite free; // no map: the world's coordinates; screen positions truncated towards 0
    View().WorldXPos(30.5f);
    free.MapPositionX(100.2f);
    EXPECT_EQ(free.ViewportX(), 69);
    free.MapPositionX(10);
    EXPECT_EQ(free.ViewportX(), -20);
}

TEST_F(Motion, PegRegisteredSpritesKeepTheirFrameCentreStill) {
    MakeActor(5, {2, 2}, 32, 32);
    const float centres[4][2] = {{10.2f, 8}, {14.5f, 5}, {2, 2}, {5, 4}};
    for (int i = 0; i < 4; ++i) {
        FrameElem& f = FrameOf(5, i / 2, i % 2);
        f.m_CenterX = centres[i][0];
        f.m_CenterY = centres[i][1];
        f.m_PegRegistered = f.m_FlipHorizontally = true;
        f.ComputeMirrors(); // frame 0: flip move (10.2 - 15.5) * 2 = -10.6; centre 20.8 flipped
    }
    // A flip moves the sprite by the flip move, truncated.
    Sprite peg, plain;
    for (Sprite* s : {&peg, &plain}) {
        s->ActorIndex(5);
        s->MapPositionX(100);
        s->PegRegistered(s == &peg);
        for (float dx : {1.0f, -1.0f}) { // the first frame only records the orientation
            s->VectorDirection(dx, 0, 0);
            s->GetTranslation();
            s->UpdateSprite();
        }
    }
    EXPECT_TRUE(peg.HFlip());
    EXPECT_EQ(peg.LeftPosition(), 90.0f);
    EXPECT_EQ(plain.LeftPosition(), 100.0f);
    EXPECT_EQ(peg.ViewportX(), 90 + 20);

    // A new frame moves it by old centre - new centre: the old one as last drawn.
    Sprite s;
    s.ActorIndex(5);
    s.MapPosition(100, 50);
    s.PegRegistered(true);
    s.PegRegistered(1); // nothing shown before: nothing to keep
    s.UpdateAnimation();
    s.PegRegistered(1); // (10.2, 8) -> (14.5, 5)
    EXPECT_NEAR(s.LeftPosition(), 95.7f, 1e-4);
    EXPECT_EQ(s.TopPosition(), 53.0f);
    EXPECT_EQ(s.m_ViewportX, 95); // truncated
    s.PegRegistered(1);
    EXPECT_NEAR(s.LeftPosition(), 95.7f, 1e-4);
    s.m_LastHFlip = s.m_ShownHFlip = true;
    s.UpdateAnimation();
    s.PegRegistered(1); // flipped: 31 - 14.5 = 16.5 -> 31 - 10.2 = 20.8
    EXPECT_NEAR(s.LeftPosition(), 91.4f, 1e-4);
    s.m_LastHFlip = s.m_ShownHFlip = false;
    s.Animation(1);
    s.UpdateAnimation(); // a new animation runs on to its frame 1 at once
    s.PegRegistered(1);  // animation 0 frame 0 (10.2, 8) -> animation 1 frame 1 (5, 4)
    EXPECT_NEAR(s.LeftPosition(), 96.6f, 1e-4);
    s.UpdateAnimation();
    s.PegRegistered(1); // within animation 1: (5, 4) -> (2, 2)
    EXPECT_NEAR(s.LeftPosition(), 99.6f, 1e-4);
    EXPECT_EQ(s.TopPosition(), 56.0f); // 53, 50 (flipped rows keep y), 54, 56
}

TEST_F(Motion, MovementPatternsStepThroughTheirVectors) {
    Patterns table(2);
    MovementPattern& p = MPArray[0];
    p.Name("zigzag");
    p.NumberOfVectors(3);
    p.CalculateVectorPattern(0, 0, 0); // a zero vector: passed in one frame at any speed
    p.CalculateVectorPattern(1, 10, 0);
    p.CalculateVectorPattern(2, 0, 5);
    Sprite s;
    s.ApplyMovementPattern(2);
    EXPECT_EQ(LastError(),
              "void Sprite::ApplyMovementPattern(int) | The movement pattern 2 cannot be found.");
    s.ApplyMovementPattern(0);
    EXPECT_STREQ(s.MovementPatternName(), "zigzag");
    s.Speed(3);
    s.VectorDirection(0, 1, 0);
    s.UpdateMovementPattern(); // selected, not started: the direction stays
    EXPECT_FALSE(s.ApplyingMovementPattern());
    EXPECT_EQ(s.DirectionY(), 1.0f);

    s.StartMovementPattern(false);
    // Distances 3 (>= 0: next vector), 3, 6, 9 along x, 12 (>= 10: next), 3, 6 (>= 5: done).
    struct Frame {
        int vector;
        float dx;
        bool end;
    } frames[] = {{1, 0, false}, {1, 1, false}, {1, 1, false}, {1, 1, false},
                  {2, 1, false}, {2, 0, true},  {-1, 0, false}};
    for (const Frame& f : frames) {
        s.UpdateMovementPattern();
        EXPECT_EQ(s.m_PatternVector, f.vector);
        EXPECT_EQ(s.DirectionX(), f.dx);
        EXPECT_EQ(s.EndOfMovementPattern(), f.end);
    }
    s.Speed(0);
    s.StartMovementPattern(true);
    s.UpdateMovementPattern();
    s.UpdateMovementPattern();
    EXPECT_EQ(s.m_PatternVector, 1); // 0 >= 0 passes the zero vector; 0 < 10 stays
}

TEST_F(Motion, ALoopingPatternMayReturnToItsStart) {
    Patterns table(1);
    MPArray[0].NumberOfVectors(1);
    MPArray[0].CalculateVectorPattern(0, 10, 0);
    Sprite back, on;
    for (Sprite* s : {&back, &on}) {
        s->MapPosition(50, 60);
        s->Speed(5);
        s->ApplyMovementPattern(0);
        s->StartMovementPattern(true, s == &back);
        Step(*s);
        s->UpdateMovementPattern(); // 10 >= 10: round again
        EXPECT_EQ(s->m_PatternVector, 0);
    }
    EXPECT_EQ(back.LeftPosition(), 50.0f);
    EXPECT_EQ(on.LeftPosition(), 55.0f);
}

TEST_F(Motion, WholePercentagesGiveTheirDecimalFractions) {
    Sprite s;
    for (float p : {5.0f, 10.0f, 20.0f, 30.0f, 99.0f}) {
        s.Friction(p);
        EXPECT_EQ(s.Friction(), static_cast<float>(p / 100.0)) << p;
        s.Gravity(true, p);
        EXPECT_EQ(s.m_G, static_cast<float>(p / 100.0)) << p;
    }
    s.Gravity(false, 0);
    s.Speed(1);
    s.Friction(10);
    s.VectorDirection(1, 0, 0);
    Step(s);
    EXPECT_EQ(s.Speed(), 1 - 0.1f);
}
