// A sprite against its map's scenery: which segments count, what blocks, where the move is
// cut, what is listed, and the queries about it. Sprites are 20 x 20 with the box (0, 0) to
// (19, 19); the comments give the arithmetic of the expected values.

#include "CollisionFixture.h"

using kiv::test::CollisionLevel;

namespace {

class MapCollision : public CollisionLevel {
protected:
    void SetUp() override {
        CollisionLevel::SetUp();
        MakeActor(1, {1});
        MakeActor(2, {1});
        FrameOf(2, 0, 0).AddCollisionData(CollisionCircle(10, 10, 5, 7, 0));
    }
    // A wall at x, downwards (normal (-1, 0): it faces a sprite coming from the left) or
    // upwards (normal (1, 0)).
    void Wall(float x, bool facingLeft, int id = 1, unsigned char attributes = 0) {
        world->AddCollisionData(facingLeft ? CollisionSegment(x, 50, x, 150, id, attributes, 0)
                                           : CollisionSegment(x, 150, x, 50, id, attributes, 0));
    }
    // A 20 x 20 box sprite at (70, 80) running right at 20 pixels a frame: its right edge
    // goes from 89 to 109.
    Sprite* Runner(int actor = 1) { return Mover(0, "runner", actor, 70, 80, 1, 0, 20); }
};

} // namespace

TEST_F(MapCollision, SegmentsCountOnlyAgainstAMoveTowardsTheirFace) {
    Sprite* s = Runner();
    Wall(100, false); // its normal points right, the way the sprite goes
    MapStep(*s);
    EXPECT_FALSE(s->CollisionWithMap());
    EXPECT_EQ(s->MoveFraction(), 1.5f);

    world->RemoveCollisionData(1, 0);
    Wall(100, true);
    MapStep(*s);
    EXPECT_TRUE(s->CollisionWithMap());
    EXPECT_LT(s->MoveFraction(), 1.0f);

    // A sprite without a direction meets every segment it touches, whichever way it faces.
    Wall(95, false, 2);
    Sprite* still = Mover(0, "still", 1, 90, 80, 0, 0, 0);
    MapStep(*still);
    EXPECT_EQ(still->m_MapTouched.size(), 2u);
    EXPECT_EQ(still->MoveFraction(), 0.0f);
}

TEST_F(MapCollision, TheBoxMoveIsCutAtTheFirstContact) {
    // Sub-steps of 1/20: the right edge 89 + 20 t reaches the wall at 100 at t = 0.55; the
    // move is cut a sub-step earlier, at 0.5. The scan ends there: the wall at 105, listed
    // first, is never reached.
    Wall(105, true, 2);
    Wall(100, true, 1);
    Sprite* s = Runner();
    s->CheckCollisionWithMap(true);
    MapStep(*s);
    EXPECT_NEAR(s->MoveFraction(), 0.5f, 1e-6);
    ASSERT_EQ(s->m_MapTouched.size(), 1u);
    EXPECT_EQ(s->m_MapTouched[0]->Id(), 1);
    EXPECT_EQ(s->m_LastSegment.NormalX(), -1.0f); // kept for reflection

    Pass();
    EXPECT_NEAR(s->LeftPosition(), 80.0f, 1e-4); // half of the 20 pixels
    EXPECT_TRUE(s->CollisionWithMap(1));
    EXPECT_FALSE(s->CollisionWithMap(2));
}

TEST_F(MapCollision, TheBoxMoveIsCutNearItsEndWhicheverWayItGoes) {
    // Each box runs 20 pixels, in sub-steps of 1/20, into scenery it reaches at t = 0.9: the
    // move is cut at 0.85. The sweep must look as far as its last sub-step, whichever way
    // the box's sides move.
    Wall(107, true, 1);                                                   // right edge 89 -> 109
    Wall(112, false, 2);                                                  // left edge 130 -> 110
    world->AddCollisionData(CollisionSegment(200, 57, 0, 57, 3, 0, 0));   // bottom 39 -> 59
    world->AddCollisionData(CollisionSegment(0, 102, 200, 102, 4, 0, 0)); // top 120 -> 100
    struct Run {
        float x, y, dx, dy;
        int id;
    };
    for (Run run : {Run{70, 80, 1, 0, 1}, Run{130, 80, -1, 0, 2}, Run{70, 20, 0, 1, 3},
                    Run{70, 120, 0, -1, 4}}) {
        Sprite* s = Mover(0, "s", 1, run.x, run.y, run.dx, run.dy, 20);
        MapStep(*s);
        EXPECT_NEAR(s->MoveFraction(), 0.85f, 1e-5) << run.id;
        ASSERT_EQ(s->m_MapTouched.size(), 1u) << run.id;
        EXPECT_EQ(s->m_MapTouched[0]->Id(), run.id);
    }
}

TEST_F(MapCollision, TheShapeMoveIsCutAtTheNearestContactWhateverTheOrder) {
    // The circle's centre runs from x = 80 at 20 a frame; it touches the wall at 105 at
    // x = 100 (t = 1, cut 0.95) and the wall at 100 at x = 95 (t = 0.75, cut 0.7).
    Wall(105, true, 2);
    Wall(100, true, 1);
    Sprite* s = Runner(2);
    s->CollisionType(false);
    MapStep(*s);
    EXPECT_NEAR(s->MoveFraction(), 0.7f, 1e-6);
    EXPECT_EQ(s->m_MapTouched.size(), 2u); // every contact is listed
    EXPECT_EQ(s->m_OwnTouched.size(), 2u);
    EXPECT_TRUE(s->Collision(7));
    EXPECT_EQ(s->m_LastSegment.OriginX(), 100.0f); // the last blocking one met
}

TEST_F(MapCollision, PassThroughAndGhostContactsAreRecordedButNeverBlock) {
    Wall(100, true, 4, 0x01 | 0x04);
    Sprite* s = Runner();
    s->CheckCollisionWithMap(true);
    MapStep(*s);
    EXPECT_TRUE(s->CollisionWithMap());
    EXPECT_EQ(s->m_MapTouched.size(), 1u);
    EXPECT_EQ(s->MoveFraction(), 1.5f);
    EXPECT_TRUE(s->MapCollisionDataFlagBit(3));
    EXPECT_FALSE(s->MapCollisionDataFlagBit(2));
    Pass();
    EXPECT_EQ(s->LeftPosition(), 90.0f); // through it

    world->RemoveCollisionData(4, 0);
    Wall(120, true, 5); // a blocking wall, but the sprite is a ghost to the map
    s->GhostCollisionWithMap(true);
    Pass();
    EXPECT_TRUE(s->CollisionWithMap(5));
    EXPECT_EQ(s->LeftPosition(), 110.0f);
}

TEST_F(MapCollision, AtMostFifteenMapShapesAreListedEachOnce) {
    // Sixteen short segments inside a resting sprite's box.
    for (int i = 0; i < 16; ++i)
        world->AddCollisionData(CollisionSegment(12, 12.0f + i, 20, 12.0f + i, i, 0, 0));
    Sprite* s = Mover(0, "s", 1, 10, 10, 0, 0, 0);
    MapStep(*s);
    EXPECT_TRUE(s->CollisionWithMap());
    EXPECT_EQ(s->m_MapTouched.size(), 15u);
    EXPECT_EQ(s->m_MapTouched.back()->Id(), 14);

    // A segment across five grid cells has a copy in each; the two cells under the sprite
    // give one listed shape.
    world->RemoveCollisionData(0, 0);
    for (int i = 1; i < 16; ++i)
        world->RemoveCollisionData(static_cast<unsigned int>(i), 0);
    world->AddCollisionData(CollisionSegment(0, 40, 300, 40, 20, 0, 0));
    Sprite* t = Mover(0, "t", 1, 50, 30, 0, 0, 0); // x 50 to 69: cells 0 and 1
    MapStep(*t);
    EXPECT_EQ(t->m_MapTouched.size(), 1u);
}

TEST_F(MapCollision, ARestingSpriteIsSweptAlongTheNormalOfWhatItStandsOn) {
    // The circle (radius 5) is half a pixel above a segment whose normal points down: at
    // rest, the sweep moves it one pixel along that normal, into the segment.
    world->AddCollisionData(CollisionSegment(0, 100, 200, 100, 3, 0, 0));
    Sprite* s = Mover(0, "s", 2, 70, 84.5f, 0, 0, 0); // centre (80, 94.5)
    s->CollisionType(false);
    MapStep(*s);
    EXPECT_TRUE(s->CollisionWithMap());
    EXPECT_EQ(s->MoveFraction(), 0.0f);
}

TEST_F(MapCollision, QueriesCheckTheirArguments) {
    Wall(100, true, 1, 0x02);
    Sprite* s = Runner();
    MapStep(*s);
    EXPECT_FALSE(s->CollisionWithMap(9));
    EXPECT_EQ(LastError(), "bool Sprite::CollisionWithMapId(unsigned int) | The collision ID "
                           "number 9 is not implemented in the map world.");
    EXPECT_TRUE(s->CollisionWithMap(1));
    EXPECT_EQ(LastError(), "");

    const std::string range = "The range allowed to test a bit value from the collision data "
                              "attribute is between 2 and 8.";
    EXPECT_FALSE(s->MapCollisionDataFlagBit(1));
    EXPECT_EQ(LastError(), "bool Sprite::MapCollisionDataFlagBit(int) | " + range);
    EXPECT_FALSE(s->MapCollisionDataFlagBit(9));
    EXPECT_EQ(LastError(), "bool Sprite::MapCollisionDataFlagBit(int) | " + range);
    EXPECT_TRUE(s->MapCollisionDataFlagBit(2));
    EXPECT_FALSE(s->OwnerCollisionDataFlagBit(1));
    EXPECT_EQ(LastError(), "bool Sprite::OwnerCollisionDataFlagBit(int) | " + range);
    EXPECT_FALSE(s->SpriteCollisionDataFlagBit(9));
    EXPECT_EQ(LastError(), "bool Sprite::SpriteCollisionDataFlagBit(int) | " + range);

    // The cursor's sprite may ask about any ID.
    s->ZOrder(Sprite::CursorZOrder);
    EXPECT_FALSE(s->CollisionWithMap(9));
    EXPECT_EQ(LastError(), "");
}

TEST_F(MapCollision, ShapesTheMapDeletesAreForgottenBySprites) {
    Wall(100, true, 1);
    Wall(110, true, 2);
    Sprite* s = Runner();
    MapStep(*s);
    ASSERT_EQ(s->m_MapTouched.size(), 1u);
    world->SpacePartitionGridSize(128); // the cells' copies are made anew
    EXPECT_TRUE(s->m_MapTouched.empty());

    MapStep(*s);
    world->AddCollisionData(CollisionSegment(200, 99, 0, 99, 5, 0, 0)); // under the sprite
    s->FollowPathRight(5, 2, 0, false, 0);
    EXPECT_NE(s->m_FollowedSegment, nullptr);
    world->RemoveCollisionData(1, 0);
    world->RemoveCollisionData(5, 0);
    EXPECT_TRUE(s->m_MapTouched.empty());
    EXPECT_EQ(s->m_FollowedSegment, nullptr);
}
