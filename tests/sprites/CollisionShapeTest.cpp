#include <kiv/Kiv.h>

#include "Scratch.h"
#include "sprites/CollisionGeometry.h"

#include <memory>
#include <vector>

namespace {

// Origin, direction, magnitudes and normal, in that order.
void ExpectSegment(const CollisionSegment& s, std::vector<float> v) {
    const float got[] = {s.OriginX(),    s.OriginY(),    s.DirectionX(), s.DirectionY(),
                         s.MagnitudeX(), s.MagnitudeY(), s.NormalX(),    s.NormalY()};
    for (size_t i = 0; i < v.size(); ++i)
        EXPECT_FLOAT_EQ(got[i], v[i]) << "value " << i;
}

// The little-endian bytes of a record, built field by field.
struct Bytes {
    std::vector<unsigned char> v;
    template <class T>
    Bytes& operator<<(T x) {
        v.insert(v.end(), reinterpret_cast<unsigned char*>(&x),
                 reinterpret_cast<unsigned char*>(&x) + sizeof x);
        return *this;
    }
};

using CollisionRecords = kiv::test::Scratch;

} // namespace

TEST(CollisionSegment, ConstructionFromPointsAndParts) {
    ExpectSegment(CollisionSegment(0, 0, 10, 0, 1, 0, 0), {0, 0, 1, 0, 10, 10, 0, 1});
    ExpectSegment(CollisionSegment(5, 5, 5, 5, 1, 0, 0), {5, 5, 0, 0, 0, 0, 0, 0});
    ExpectSegment(CollisionSegment(1, 1, 4, 5, 1, 0, 0), {1, 1, 0.6f, 0.8f, 5, 5, -0.8f, 0.6f});
    // A vertical segment takes its x magnitude from the y axis, so the end point is exact.
    CollisionSegment vertical(2, 1, 2, 9, 1, 0, 0);
    ExpectSegment(vertical, {2, 1, 0, 1, 8, 8, -1, 0});
    EXPECT_EQ(vertical.EndX(), 2.0f);
    EXPECT_EQ(vertical.EndY(), 9.0f);

    CollisionSegment parts(1, 2, 0, -1, 3, 3, 7, 0x21, 9);
    ExpectSegment(parts, {1, 2, 0, -1, 3, 3, 1, 0});
    EXPECT_EQ(parts.Tag(), 9);
    EXPECT_EQ(parts.ContactNormalX(), 200.0f);
    EXPECT_EQ(parts.HitFraction(), 1.5f);
    EXPECT_EQ(parts.Type(), 0);
    EXPECT_EQ(CollisionCircle(1, 2, 3, 4, 5).Type(), 1);
}

TEST(CollisionSegment, HoldsAValueUnlessInTheDefaultState) {
    EXPECT_FALSE(CollisionSegment());
    EXPECT_FALSE(CollisionSegment(0, 0, 0, 0, 12, 0xFF, 3)); // ID and bits do not count
    EXPECT_TRUE(CollisionSegment(5, 5, 5, 5, 0, 0, 0));
    CollisionSegment normalOnly;
    normalOnly.NormalY(1);
    EXPECT_TRUE(normalOnly);
}

TEST(CollisionSegment, OppositeAndMirroredCopies) {
    CollisionSegment s(0, 4, 10, 4, 3, 5, 9);
    s.HitFraction(0.25f);
    s.Inside(true);
    CollisionSegment o = CollisionSegment::OppositeSegmentDirection(s);
    ExpectSegment(o, {10, 4, -1, 0, 10, 10, 0, -1});
    EXPECT_EQ(o.Id(), 3);
    EXPECT_EQ(o.Attributes(), 5);
    EXPECT_EQ(o.Tag(), 9);
    EXPECT_EQ(o.HitFraction(), 1.5f);
    EXPECT_FALSE(o.Inside());

    // (2, 3)-(8, 11), normal (-0.8, 0.6), in a 32 x 20 frame: x' = 31 - x, y' = 19 - y, and
    // the copy's normal is the mirror image.
    CollisionSegment m(2, 3, 8, 11, 6, 0x42, 77);
    ExpectSegment(m.Mirror(true, false, 32, 20), {23, 11, 0.6f, -0.8f, 10, 10, 0.8f, 0.6f});
    ExpectSegment(m.Mirror(false, true, 32, 20), {8, 8, -0.6f, 0.8f, 10, 10, -0.8f, -0.6f});
    ExpectSegment(m.Mirror(true, true, 32, 20), {29, 16, -0.6f, -0.8f, 10, 10, 0.8f, -0.6f});
    CollisionSegment lr = m.Mirror(true, false, 32, 20);
    EXPECT_EQ(lr.Id(), 6);
    EXPECT_EQ(lr.Attributes(), 0x42);
    EXPECT_EQ(lr.Tag(), 0);
    // An end at x = 0 lands on the last column, for odd widths too.
    EXPECT_EQ(CollisionSegment(0, 0, 0, 5, 0, 0, 0).Mirror(true, false, 33, 9).OriginX(), 32.0f);

    // Circles mirror to W - x and H - y.
    CollisionCircle c(0, 5, 3, 8, 0x11);
    std::unique_ptr<CollisionData> both(c.Mirrored(true, true, 32, 20));
    ASSERT_EQ(both->Type(), 1);
    auto* circle = static_cast<CollisionCircle*>(both.get());
    EXPECT_EQ(circle->OriginX(), 32.0f);
    EXPECT_EQ(circle->OriginY(), 15.0f);
    EXPECT_EQ(circle->Radius(), 3.0f);
    EXPECT_EQ(circle->Id(), 8);
    EXPECT_EQ(circle->Attributes(), 0x11);
    EXPECT_EQ(c.Mirror(false, true, 32, 20).OriginX(), 0.0f);
}

TEST(CollisionSegment, RectangleTestsCountEdgesAsInside) {
    // The rectangle x 10..20, y 10..20, given in reverse order.
    auto touches = [](float x1, float y1, float x2, float y2) {
        return CollisionSegment::SegmentTouchesRectangle(x1, y1, x2, y2, 20, 20, 10, 10);
    };
    EXPECT_TRUE(touches(12, 12, 18, 18));
    EXPECT_TRUE(touches(0, 15, 30, 15));
    EXPECT_TRUE(touches(0, 25, 25, 0));
    EXPECT_TRUE(touches(12, 30, 30, 3));  // in at (18.7, 20), out at (20, 18)
    EXPECT_TRUE(touches(20, 15, 30, 15)); // an end on the right edge
    EXPECT_TRUE(touches(30, 30, 20, 20)); // only the corner
    EXPECT_FALSE(touches(0, 12, 12, 0));  // passes the corner (10, 10) outside
    EXPECT_FALSE(touches(0, 0, 5, 30));
    EXPECT_FALSE(touches(21, 15, 21, 15));
    EXPECT_TRUE(CollisionSegment(0, 15, 30, 15, 0, 0, 0).TouchesRectangle(10, 10, 20, 20));

    auto circle = [](float x, float y, float r) {
        return CollisionCircle::CircleTouchesRectangle(x, y, r, 20, 10, 10, 20);
    };
    EXPECT_TRUE(circle(15, 15, 0));
    EXPECT_TRUE(circle(25, 15, 5));
    EXPECT_FALSE(circle(25, 15, 4.9f));
    EXPECT_TRUE(circle(23, 24, 5)); // nearest point is the corner (20, 20)
    EXPECT_FALSE(circle(23, 24, 4.99f));
}

TEST(CollisionSegment, ClippingAgainstAConvexPolygon) {
    double enter = 0, leave = 1;
    EXPECT_TRUE(CollisionSegment::ChopCandidateInterval(enter, leave, -1, -4));
    EXPECT_FALSE(CollisionSegment::ChopCandidateInterval(enter, leave, -2, -1)); // 2 > leave
    EXPECT_TRUE(CollisionSegment::ChopCandidateInterval(enter, leave, 3, 4));
    EXPECT_FALSE(CollisionSegment::ChopCandidateInterval(enter, leave, 0.1, 1)); // < enter
    EXPECT_TRUE(CollisionSegment::ChopCandidateInterval(enter, leave, 1, 0));
    EXPECT_FALSE(CollisionSegment::ChopCandidateInterval(enter, leave, 0, 0));
    EXPECT_EQ(enter, 0.25);
    EXPECT_EQ(leave, 0.75);

    // The square 0..10, walked so that the normals point out, and the other way round.
    List out, in;
    float c[5][2] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        out.add(new CollisionSegment(c[i][0], c[i][1], c[i + 1][0], c[i + 1][1], 0, 0, 0));
        in.add(new CollisionSegment(c[i + 1][0], c[i + 1][1], c[i][0], c[i][1], 0, 0, 0));
    }
    struct Case {
        float x1, y1, x2, y2;
        bool hit, inside;
    } cases[] = {{-5, 5, 15, 5, true, false},
                 {15, 5, -5, 5, true, false},
                 {5, 5, 15, 5, true, true},
                 {2, 2, 8, 3, true, true},
                 {-5, 15, 15, 15, false, false}};
    for (const Case& k : cases) {
        CollisionSegment s(k.x1, k.y1, k.x2, k.y2, 0, 0, 0);
        SCOPED_TRACE(testing::Message() << k.x1 << "," << k.y1 << " " << k.x2 << "," << k.y2);
        EXPECT_EQ(CollisionSegment::LineClippingConvexeShape(s, out), k.hit);
        EXPECT_EQ(s.Inside(), k.inside);
        EXPECT_FALSE(CollisionSegment::LineClippingConvexeShape(s, in));
    }
}

TEST_F(CollisionRecords, RecordLayoutAndRoundTrip) {
    CollisionSegment s(1.5f, -2, 0, 1, 3, 3, 0x01020304, 0xA5, -2);
    s.HitFraction(0.25f);
    s.Inside(true);
    CollisionCircle c(4, 5, 6, -7, 0x80);
    {
        File out("shapes.bin", File::Writing);
        out.Write(static_cast<node*>(&s));
        out.Write(static_cast<node*>(&c));
    }
    Bytes segment, circle;
    segment << 1.5f << -2.0f << 0.0f << 1.0f << 3.0f << 3.0f << 0x01020304 << 200.0f << 200.0f
            << -1.0f << 0.0f << 0.25f << static_cast<unsigned char>(0xA5) << true << -2;
    circle << 4.0f << 5.0f << 6.0f << -7 << 200.0f << 200.0f << 1.5f
           << static_cast<unsigned char>(0x80);
    // Each object reference is a 32-byte name field and a number, then the record.
    std::vector<unsigned char> bytes = ReadBytes("shapes.bin");
    ASSERT_EQ(bytes.size(), (36 + 54) + (36 + 29u));
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 36, bytes.begin() + 90), segment.v);
    EXPECT_EQ(std::vector<unsigned char>(bytes.end() - 29, bytes.end()), circle.v);

    File in("shapes.bin", File::Reading);
    node *a = nullptr, *b = nullptr;
    in.Read(a);
    in.Read(b);
    std::unique_ptr<node> ownA(a), ownB(b);
    auto* rs = dynamic_cast<CollisionSegment*>(a);
    auto* rc = dynamic_cast<CollisionCircle*>(b);
    ASSERT_TRUE(rs && rc);
    ExpectSegment(*rs, {1.5f, -2, 0, 1, 3, 3, -1, 0});
    EXPECT_EQ(rs->Id(), 0x01020304);
    EXPECT_EQ(rs->Attributes(), 0xA5);
    EXPECT_EQ(rs->Tag(), -2);
    EXPECT_EQ(rs->HitFraction(), 0.25f);
    EXPECT_TRUE(rs->Inside());
    EXPECT_EQ(rc->Radius(), 6.0f);
    EXPECT_EQ(rc->Id(), -7);
    EXPECT_EQ(rc->Attributes(), 0x80);

    // A record whose only difference from the default state is a contact normal.
    Bytes touched;
    touched << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f << 0 << 0.0f << 200.0f << 0.0f << 0.0f
            << 1.5f << static_cast<unsigned char>(0) << false << 0;
    WriteBytes("touched.bin", touched.v);
    File one("touched.bin", File::Reading);
    CollisionSegment loaded;
    loaded.Load(one);
    EXPECT_TRUE(loaded);
}

TEST(CollisionPools, ShapesComeFromAndReturnToTheirPools) {
    auto check = [](MemoryPool& pool, node& shape) {
        void* block = pool.Alloc();
        pool.Free(block);
        node* copy = shape.Clone();
        EXPECT_EQ(static_cast<void*>(copy), block);
        delete copy;
        EXPECT_EQ(pool.Alloc(), block);
        pool.Free(block);
    };
    CollisionSegment segment(0, 0, 1, 1, 0, 0, 0);
    CollisionCircle circle(1, 2, 3, 4, 5);
    check(kiv::collision::SegmentPool(), segment);
    check(kiv::collision::CirclePool(), circle);
}
