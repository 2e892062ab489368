#include <kiv/Kiv.h>

#include <gtest/gtest.h>

#include <cmath>

// Expected values are worked out by hand from the geometry of each case; the comments give
// the step at which the shapes first touch.

TEST(CircleSweep, WorkedExamplesAndContactNormals) {
    // Radius 5 each, centres 20 apart, moving 15 towards the other in 3 steps: touching at
    // t = 2/3 (distance 10). Placed by offsets to check they are applied.
    CollisionCircle mover(0, 0, 5, 1, 0), still(10, 5, 5, 2, 0);
    EXPECT_TRUE(mover.DetectCollision(&still, 100, 50, 110, 45, 15, 0, 3));
    EXPECT_FLOAT_EQ(mover.HitFraction(), 1.0f / 3);
    EXPECT_FLOAT_EQ(still.ContactNormalX(), -1); // from the still circle towards the mover
    EXPECT_FLOAT_EQ(still.ContactNormalY(), 0);

    // Overlapping (8 apart), moving 2 away: hit at t = 1, no contact normal.
    CollisionCircle a(0, 0, 5, 0, 0), b(8, 0, 5, 0, 0);
    EXPECT_TRUE(a.DetectCollision(&b, 0, 0, 0, 0, -2, 0, 1));
    EXPECT_EQ(a.HitFraction(), 0.0f);
    EXPECT_EQ(b.ContactNormalX(), 200.0f);

    // The contact point falls on the other centre: the normal is (0, 1).
    CollisionCircle c(0, 0, 5, 0, 0), d(0, -20, 5, 0, 0);
    EXPECT_TRUE(c.DetectCollision(&d, 0, 0, 0, 0, 0, -15, 1));
    EXPECT_EQ(d.ContactNormalX(), 0.0f);
    EXPECT_EQ(d.ContactNormalY(), 1.0f);

    // Grazing sideways: the normal is square to the move, so none is left.
    CollisionCircle side(10, 10, 5, 0, 0);
    EXPECT_TRUE(a.DetectCollision(&side, 0, 0, 0, 0, 0, 10, 1));
    EXPECT_EQ(side.ContactNormalX(), 200.0f);

    // Passing by at distance 12 with radii 5 + 5 misses and resets the earlier results.
    EXPECT_FALSE(mover.DetectCollision(&d, 0, 0, 15, 32, 30, 0, 10));
    EXPECT_EQ(mover.HitFraction(), 1.5f);
    EXPECT_EQ(d.ContactNormalY(), 200.0f);
}

TEST(CircleSweep, SubStepCounts) {
    // Radius 1 moving 20 past a circle of radius 1.5 at 10: they touch from t = 0.4 (centre 8)
    // to t = 0.6; a single step only looks at the end position and tunnels through.
    CollisionCircle mover(0, 0, 1, 0, 0), still(10, 0, 1.5f, 0, 0);
    for (float n : {0.0f, 0.5f, 1.0f, -3.0f})
        EXPECT_FALSE(mover.DetectCollision(&still, 0, 0, 0, 0, 20, 0, n)) << n;
    EXPECT_TRUE(mover.DetectCollision(&still, 0, 0, 0, 0, 20, 0, 20));
    EXPECT_FLOAT_EQ(mover.HitFraction(), 0.35f);
    // Ten steps of 0.1 land exactly on the end position; the last one must be tested.
    CollisionCircle atEnd(18.5f, 0, 1, 0, 0);
    EXPECT_TRUE(mover.DetectCollision(&atEnd, 0, 0, 0, 0, 17, 0, 10));
    EXPECT_FLOAT_EQ(mover.HitFraction(), 0.9f);
}

TEST(SegmentSweep, HitsWhenMovingTowardsItsNormal) {
    // (0,0)-(10,0), normal down, moving 10 down in 10 steps: the quadrilateral at t spans
    // y = 10t to 10t + 2, so a crossing segment at y = 6.5 is first met at t = 0.5.
    CollisionSegment mover(0, 0, 10, 0, 0, 0, 0);
    for (bool reversed : {false, true}) {
        CollisionSegment still = reversed ? CollisionSegment(15, 6.5f, -5, 6.5f, 0, 0, 0)
                                          : CollisionSegment(-5, 6.5f, 15, 6.5f, 0, 0, 0);
        EXPECT_TRUE(mover.DetectCollision(&still, 100, 200, 100, 200, 0, 10, 10));
        EXPECT_FLOAT_EQ(mover.HitFraction(), 0.5f);
        EXPECT_FALSE(still.Inside());
        // A single step sweeps two whole moves at once: hit straight away.
        EXPECT_TRUE(mover.DetectCollision(&still, 0, 0, 0, 0, 0, 10, 1));
        EXPECT_EQ(mover.HitFraction(), 0.0f);
    }
    CollisionSegment beside(-5, 6.5f, 15, 6.5f, 0, 0, 0);
    EXPECT_FALSE(mover.DetectCollision(&beside, 0, 0, 20, 0, 0, 10, 10)); // x 15..35: clear
    EXPECT_EQ(mover.HitFraction(), 1.5f);
    CollisionSegment behind(-5, -3, 15, -3, 0, 0, 0);
    EXPECT_FALSE(mover.DetectCollision(&behind, 0, 0, 0, 0, 0, 10, 10));
    CollisionSegment above(-5, -6.5f, 15, -6.5f, 0, 0, 0);
    EXPECT_FALSE(mover.DetectCollision(&above, 0, 0, 0, 0, 0, -10, 10)); // moving against it
    // An end inside the swept area is marked; each test starts afresh.
    CollisionSegment endInside(5, 6.5f, 20, 6.5f, 0, 0, 0);
    EXPECT_TRUE(mover.DetectCollision(&endInside, 0, 0, 0, 0, 0, 10, 10));
    EXPECT_FLOAT_EQ(mover.HitFraction(), 0.5f);
    EXPECT_TRUE(endInside.Inside());
    EXPECT_FALSE(mover.DetectCollision(&endInside, 0, 0, 0, 50, 0, 10, 10));
    EXPECT_FALSE(endInside.Inside());
    // Without a move the quadrilateral has no area: its side edges are points.
    CollisionSegment across(5, -1, 5, 1, 0, 0, 0);
    EXPECT_FALSE(mover.DetectCollision(&across, 0, 0, 0, 0, 0, 0, 4));
}

TEST(SegmentSweep, MoveAlongTheSegmentWidensTowardsItsNormal) {
    // A segment moving (20, 0) along itself sweeps a flat line, which only segments crossing
    // it would touch. Its far side is pushed by (-1, 1) per unit of t instead, towards the
    // normal: one step sweeps the sliver (0,0) (38,2) (48,2) (10,0), which spans y 0.79 to
    // 1.32 at x = 25. Drawn the other way, the push is (1, -1), and likewise for vertical
    // moves; each case has a segment in the sliver and one just outside on the other side.
    struct Case {
        float x1, y1, x2, y2, tx, ty;
        float in[4], out[4];
    } cases[] = {
        {0, 0, 10, 0, 20, 0, {25, 0.5f, 25, 5}, {25, -5, 25, -0.5f}},
        {10, 0, 0, 0, 20, 0, {25, -5, 25, -0.5f}, {25, 0.5f, 25, 5}},
        {0, 0, 0, 10, 0, 20, {-5, 25, -0.5f, 25}, {0.5f, 25, 5, 25}},
        {0, 10, 0, 0, 0, 20, {0.5f, 25, 5, 25}, {-5, 25, -0.5f, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "moving " << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
        CollisionSegment mover(c.x1, c.y1, c.x2, c.y2, 0, 0, 0);
        CollisionSegment in(c.in[0], c.in[1], c.in[2], c.in[3], 0, 0, 0);
        CollisionSegment out(c.out[0], c.out[1], c.out[2], c.out[3], 0, 0, 0);
        EXPECT_TRUE(mover.DetectCollision(&in, 0, 0, 0, 0, c.tx, c.ty, 1));
        EXPECT_EQ(mover.HitFraction(), 0.0f);
        EXPECT_FALSE(mover.DetectCollision(&out, 0, 0, 0, 0, c.tx, c.ty, 1));
    }
}

TEST(MixedSweep, SegmentMovingIntoACircle) {
    CollisionSegment mover(0, 0, 10, 0, 0, 0, 0);
    // Inner point (5, 10t) reaches the circle at (5, 8.5), radius 2, at t = 0.7.
    CollisionCircle ahead(5, 8.5f, 2, 0, 0);
    EXPECT_TRUE(mover.DetectCollision(&ahead, 50, -20, 50, -20, 0, 10, 10));
    EXPECT_FLOAT_EQ(mover.HitFraction(), 0.6f);
    EXPECT_FLOAT_EQ(ahead.ContactNormalX(), -1); // m = (0, 1) turned: (-m.y, m.x)
    EXPECT_FLOAT_EQ(ahead.ContactNormalY(), 0);
    // Past the end (10, 10t): first within 2.5 of (12, 7) at t = 0.6; m = (2, 1) / sqrt 5.
    CollisionCircle offEnd(12, 7, 2.5f, 0, 0);
    EXPECT_TRUE(mover.DetectCollision(&offEnd, 0, 0, 0, 0, 0, 10, 10));
    EXPECT_FLOAT_EQ(mover.HitFraction(), 0.5f);
    EXPECT_FLOAT_EQ(offEnd.ContactNormalX(), -1 / std::sqrt(5.0f));
    EXPECT_FLOAT_EQ(offEnd.ContactNormalY(), 2 / std::sqrt(5.0f));
    // Moving up and away from an overlapping circle: a hit without a contact normal.
    CollisionCircle under(5, 1, 2.5f, 0, 0);
    EXPECT_TRUE(mover.DetectCollision(&under, 0, 0, 0, 0, 0, -10, 10));
    EXPECT_EQ(mover.HitFraction(), 0.0f);
    EXPECT_EQ(under.ContactNormalX(), 200.0f);
    // Sliding along over a circle: m is square to the move, so no contact normal.
    CollisionCircle over(5, 1.5f, 2, 0, 0);
    EXPECT_TRUE(mover.DetectCollision(&over, 0, 0, 0, 0, 10, 0, 10));
    EXPECT_EQ(mover.HitFraction(), 0.0f);
    EXPECT_EQ(over.ContactNormalX(), 200.0f);
    // A point segment never touches.
    CollisionSegment point(5, 5, 5, 5, 0, 0, 0);
    CollisionCircle around(5, 5, 3, 0, 0);
    EXPECT_FALSE(point.DetectCollision(&around, 0, 0, 0, 0, 1, 0, 4));
}

TEST(MixedSweep, CircleMovingOntoASegment) {
    // A floor from (20, 10) to (0, 10): its normal (0, -1) points up.
    CollisionSegment floor(20, 10, 0, 10, 0, 0, 0);
    struct Case {
        float x, y, r, tx, ty, n;
        float fraction, contactX, contactY;
    } cases[] = {
        // Falling onto the middle: 9.5 - 20t <= 2 from t = 0.4.
        {5, 0.5f, 2, 0, 20, 20, 0.35f, 200, 200},
        // Sliding along it (normal . u = 0): a hit that does not cut the move.
        {5, 9, 2, 10, 0, 20, 1.5f, 200, 200},
        // Straight above the start point (s = 0) counts as inside the segment.
        {20, 5.5f, 2, 0, 10, 10, 0.2f, 200, 200},
        // Coming from the right onto the start point: within 2 of (20, 10) at t = 0.45;
        // m = (1, 1) / sqrt 2 and the segment learns (m.y, -m.x).
        {30, 11, 2, -20, 0, 20, 0.4f, 0.70710678f, -0.70710678f},
        // Beside the end, falling straight down (normal . u = -1): slips past, no cut.
        {21.5f, 9, 2, 0, 4, 4, 1.5f, 200, 200},
        // The same with a sideways part in the move: cut at once.
        {21.5f, 9, 2, 1, 4, 4, 0, 200, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "circle at " << c.x << "," << c.y);
        CollisionCircle mover(c.x, c.y, c.r, 0, 0);
        EXPECT_TRUE(mover.DetectCollision(&floor, 0, 0, 0, 0, c.tx, c.ty, c.n));
        EXPECT_FLOAT_EQ(mover.HitFraction(), c.fraction);
        EXPECT_FLOAT_EQ(floor.ContactNormalX(), c.contactX);
        EXPECT_FLOAT_EQ(floor.ContactNormalY(), c.contactY);
    }
    CollisionCircle farAway(5, -20, 2, 0, 0);
    EXPECT_FALSE(farAway.DetectCollision(&floor, 0, 0, 0, 0, 0, 10, 10));
}
