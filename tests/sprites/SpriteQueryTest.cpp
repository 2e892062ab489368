// Questions sprites answer about each other and themselves, and queries over a level.

#include "SpriteFixture.h"

#include <functional>

using kiv::test::SpriteLevel;

namespace {

// Actor 9: 32 x 32, centre (10, 8); actor 10: 20 x 10, centre (4, 2). Both may flip, so
// their left-right centres are 21 and 15.
class Queries : public SpriteLevel {
protected:
    void SetUp() override {
        SpriteLevel::SetUp();
        MakeActor(9, {1}, 32, 32);
        MakeActor(10, {1}, 20, 10);
        Centre(FrameOf(9, 0, 0), 10, 8);
        Centre(FrameOf(10, 0, 0), 4, 2);
    }
    static void Centre(FrameElem& f, float cx, float cy) {
        f.m_CenterX = cx;
        f.m_CenterY = cy;
        f.m_FlipHorizontally = f.m_FlipVertically = true;
        f.ComputeMirrors();
    }
};

} // namespace

TEST_F(Queries, DistancesAndSidesBetweenFrameCentres) {
    Sprite a, b;
    a.ActorIndex(9);
    b.ActorIndex(9);
    a.MapPosition(7, 7);
    b.MapPosition(7, 7);
    EXPECT_EQ(a.Distance(&b), 0.0f);
    EXPECT_TRUE(a.Left(&b) && a.Right(&b) && a.Up(&b) && a.Down(&b));

    b.MapPosition(37, 47); // (30, 40) further on
    EXPECT_EQ(a.Distance(&b), 50.0f);
    EXPECT_EQ(a.DistanceX(&b), 30.0f);
    EXPECT_EQ(b.DistanceY(&a), 40.0f);
    EXPECT_EQ(b.DifferenceY(&a), -40.0f);
    EXPECT_TRUE(a.Right(&b) && a.Down(&b) && b.Left(&a) && b.Up(&a));
    EXPECT_FALSE(a.Left(&b) || a.Up(&b));

    // Both centres in the orientation the asking sprite shows, wherever the other one looks.
    Sprite c;
    c.ActorIndex(10);
    c.MapPosition(30, 7);
    a.m_ShownHFlip = true;
    EXPECT_EQ(a.DifferenceX(&c), (15.0f + 30) - (21 + 7));
    EXPECT_EQ(c.DifferenceX(&a), (10.0f + 7) - (4 + 30)); // c shows as drawn
    EXPECT_FALSE(a.SameHFlip(&c));
    EXPECT_TRUE(a.SameVFlip(&c));
}

TEST_F(Queries, NullOthersAreReportedAndAnswerNothing) {
    Sprite s;
    const char* distance = "Cannot get the distance to a null sprite.";
    const char* difference = "Cannot get the difference to a null sprite.";
    const char* side = "Cannot get the relative position of a null sprite.";
    const char* flip = "Cannot get the flip direction of a null sprite.";
    struct Call {
        std::function<float()> call;
        const char* function;
        const char* message;
    } calls[] = {
        {[&] { return s.Distance(nullptr); }, "float Sprite::Distance(Sprite *)", distance},
        {[&] { return s.DistanceX(nullptr); }, "float Sprite::DistanceX(Sprite *)", distance},
        {[&] { return s.DistanceY(nullptr); }, "float Sprite::DistanceY(Sprite *)", distance},
        {[&] { return s.DifferenceX(nullptr); }, "float Sprite::DifferenceX(Sprite *)", difference},
        {[&] { return s.DifferenceY(nullptr); }, "float Sprite::DifferenceY(Sprite *)", difference},
        {[&] { return s.Left(nullptr); }, "bool  Sprite::Left(Sprite *)", side},
        {[&] { return s.Right(nullptr); }, "bool  Sprite::Right(Sprite *)", side},
        {[&] { return s.Up(nullptr); }, "bool  Sprite::Up(Sprite *)", side},
        {[&] { return s.Down(nullptr); }, "bool  Sprite::Down(Sprite *)", side},
        {[&] { return s.SameHFlip(nullptr); }, "bool Sprite::SameHFlip(Sprite *)", flip},
        {[&] { return s.SameVFlip(nullptr); }, "bool Sprite::SameVFlip(Sprite *)", flip},
    };
    for (const Call& c : calls) {
        EXPECT_EQ(c.call(), 0.0f) << c.function;
        EXPECT_EQ(LastError(), std::string(c.function) + " | " + c.message);
    }
}

TEST_F(Queries, CentresAndTheWorld) {
    FrameElem& f = FrameOf(9, 0, 0);
    f.m_CenterX = 10.7f;
    f.m_CenterY = -2.5f;
    f.ComputeMirrors();
    Sprite a;
    a.ActorIndex(9);
    EXPECT_EQ(a.FrameCenterX(), 10);
    EXPECT_EQ(a.FrameCenterY(), -2); // truncated towards zero
    a.m_ShownHFlip = true;
    EXPECT_EQ(a.FrameCenterX(), 20); // 31 - 10.7

    Sprite s;
    s.ActorIndex(10); // 20 x 10 in a world of 1000 x 500; corners truncated, edges not enough
    struct Case {
        float x, y;
        bool in;
    } cases[] = {{-19.5f, 0, false},
                 {-18.9f, 0, true},
                 {999.9f, 0, true},
                 {1000, 0, false},
                 {500, -9.5f, false}};
    for (const Case& c : cases) {
        s.MapPosition(c.x, c.y);
        EXPECT_EQ(s.InWorld(), c.in) << c.x << "," << c.y;
    }
}

namespace {

bool Everything(Sprite*) {
    return true;
}

bool EvenIds(Sprite* s) {
    return s->Id() % 2 == 0;
}

} // namespace

TEST_F(Queries, AQueryListsTheSpritesThatPassInDisplayListOrder) {
    Sprite* s15 = AddSprite(15);
    Sprite* s3 = AddSprite(3);
    Sprite* first = AddSprite(0);
    Sprite* cursor = AddSprite(1);
    Sprite* second = AddSprite(0);
    cursor->ZOrder(Sprite::CursorZOrder);
    first->Id(4), second->Id(7), s3->Id(2), s15->Id(10), cursor->Id(6);

    Query all(Everything);
    ASSERT_EQ(all.Count(), 4);
    EXPECT_EQ(all[0], first);
    EXPECT_EQ(all[1], second);
    EXPECT_EQ(all[2], s3);
    EXPECT_EQ(all[3], s15);
    EXPECT_EQ(all[4], nullptr);
    Query even(EvenIds);
    ASSERT_EQ(even.Count(), 3);
    EXPECT_EQ(even[1], s3);
    EXPECT_EQ(Query(nullptr).Count(), 0);

    for (int i = 0; i < 300; ++i) // past the first 256 places: the array grows, in order
        AddSprite(5)->Id(100 + i);
    Query many(Everything);
    ASSERT_EQ(many.Count(), 304);
    EXPECT_EQ(many[256]->Id(), 100 + 253);
    EXPECT_EQ(many[303], s15);
}
