// Sprites against each other: boxes, shapes, what blocks, what both sprites learn, and the
// queries about it. Frames are 20 x 20 with the box (0, 0) to (19, 19).

#include "CollisionFixture.h"

using kiv::test::CollisionLevel;

namespace {

class SpriteCollision : public CollisionLevel {
protected:
    void SetUp() override {
        CollisionLevel::SetUp();
        MakeActor(1, {1});
        MakeActor(2, {1});
        FrameOf(2, 0, 0).AddCollisionData(CollisionCircle(10, 10, 5, 7, 0x08));
        MakeActor(3, {1});
        FrameOf(3, 0, 0).AddCollisionData(CollisionCircle(10, 10, 5, 8, 0x01 | 0x04));
    }
    // The steps of a frame up to the sprite step, against one other sprite.
    static void Against(Sprite& s, Sprite& other) {
        s.GetTranslation();
        s.ClearCollisionResults();
        s.ResetMove();
        s.CheckSpriteCollision(&other);
    }
};

} // namespace

TEST_F(SpriteCollision, BoxesThatOnlyShareAnEdgeDoNotCollide) {
    Sprite* a = Mover(0, "a", 1, 0, 0, 0, 0, 0);
    Sprite* b = Mover(0, "b", 1, 19, 0, 0, 0, 0); // a's right edge is b's left edge
    Against(*a, *b);
    EXPECT_FALSE(a->CollisionWithSprite(nullptr));
    b->MapPositionX(18.5f);
    Against(*a, *b);
    EXPECT_TRUE(a->CollisionWithSprite("b"));
    EXPECT_TRUE(b->CollisionWithSprite("a")); // both learn it
    EXPECT_EQ(b->CollisionWithSpritePtr(nullptr), a);
    EXPECT_EQ(a->MoveFraction(), 0.0f);
}

TEST_F(SpriteCollision, TheBoxMoveIsCutBeforeTheFirstOverlap) {
    // Sub-steps of 1/25: a's right edge 19 + 25 t passes b's left edge 40 at t = 0.88.
    Sprite* a = Mover(0, "a", 1, 0, 0, 1, 0, 25);
    Sprite* b = Mover(1, "b", 1, 40, 5, 0, 0, 0);
    a->m_LastSegment = CollisionSegment(0, 0, 5, 0, 1, 0, 0);
    Against(*a, *b);
    EXPECT_NEAR(a->MoveFraction(), 0.84f, 1e-5);
    EXPECT_FALSE(a->m_LastSegment); // a sprite leaves no segment to reflect on

    b->GhostCollisionWithSprite(true); // a ghost on either side: touched, never cut
    Against(*a, *b);
    EXPECT_TRUE(a->CollisionWithSprite("b"));
    EXPECT_EQ(a->MoveFraction(), 1.5f);
}

TEST_F(SpriteCollision, ShapesCutAtTheirHitUnlessPassThrough) {
    // Circles of radius 5: a's centre runs from 10 at 10 a frame towards b's at 30 and
    // touches it at 20 (t = 1); the cut is a sub-step earlier, 0.9.
    Sprite* a = Mover(0, "a", 2, 0, 0, 1, 0, 10);
    Sprite* b = Mover(1, "b", 2, 20, 0, 0, 0, 0);
    a->CollisionType(false);
    b->CollisionType(false);
    Against(*a, *b);
    EXPECT_NEAR(a->MoveFraction(), 0.9f, 1e-6);
    EXPECT_TRUE(a->Collision(7));
    EXPECT_TRUE(a->CollisionWithSprite(7u));
    EXPECT_TRUE(a->SpriteCollisionDataFlagBit(4));
    EXPECT_TRUE(a->OwnerCollisionDataFlagBit(4));

    Sprite* c = Mover(1, "c", 3, 20, 0, 0, 0, 0); // the same circle, passed through
    c->CollisionType(false);
    Against(*a, *c);
    EXPECT_TRUE(a->CollisionWithSprite("c"));
    EXPECT_EQ(a->MoveFraction(), 1.5f);
    EXPECT_TRUE(a->SpriteCollisionDataFlagBit(3));
    EXPECT_FALSE(a->SpriteCollisionDataFlagBit(2));
    EXPECT_FALSE(a->CollisionWithSprite(7u)); // touched only c's circle, ID 8

    // Either sprite colliding by boxes makes it a box test: a's box edge, 19 + 10 t, passes
    // c's at 20 at t = 0.2, and the move is cut at 0.1.
    c->CollisionType(true);
    Against(*a, *c);
    EXPECT_NEAR(a->MoveFraction(), 0.1f, 1e-6);
}

TEST_F(SpriteCollision, QueriesCheckTheirArguments) {
    Sprite* a = Mover(0, "a", 2, 0, 0, 0, 0, 0);
    Mover(0, "b", 1, 100, 0, 0, 0, 0);
    EXPECT_FALSE(a->Collision(8));
    EXPECT_EQ(LastError(), "bool Sprite::Collision(unsigned int) | The collision ID number 8 "
                           "of the current sprite is not implemented.");
    EXPECT_FALSE(a->CollisionWithSprite(8u));
    EXPECT_EQ(LastError(), "bool Sprite::CollisionWithSprite(unsigned int) | The collision ID "
                           "number 8 is not implemented in any sprite's collision.");
    EXPECT_FALSE(a->CollisionWithSprite(7u)); // a's own circle counts as some sprite's
    EXPECT_EQ(LastError(), "");
    EXPECT_EQ(a->CollisionWithSpritePtr("b"), nullptr);
}

TEST_F(SpriteCollision, ThePassTestsTheSpritesOfTheMapInTheirDisplayLists) {
    // a runs into b (list 1) and c (its own list 0, checked only on request); d is on no map
    // and e is unused.
    Sprite* a = Mover(0, "a", 1, 0, 0, 1, 0, 10);
    Sprite* b = Mover(1, "b", 1, 25, 0, 0, 0, 0);
    Sprite* c = Mover(0, "c", 1, 25, 0, 0, 0, 0);
    Sprite* d = Mover(2, "d", 1, 25, 0, 0, 0, 0);
    Sprite* e = Mover(3, "e", 1, 25, 0, 0, 0, 0);
    d->m_Map = nullptr;
    e->Unused(true);
    for (Sprite* s : {a, b, c, d, e})
        s->ActivateCollisionWithSprite(true);
    a->CheckCollisionWithSprite(true);
    Pass();
    EXPECT_TRUE(a->CollisionWithSprite("b"));
    EXPECT_FALSE(a->CollisionWithSprite("c"));
    EXPECT_FALSE(a->CollisionWithSprite("d"));
    EXPECT_FALSE(a->CollisionWithSprite("e"));
    a->CheckSameDisplayList(true);
    Pass();
    EXPECT_TRUE(a->CollisionWithSprite("c"));
    EXPECT_EQ(a->m_TouchedSprites.size(), 2u);
}
