#include <kiv/Kiv.h>

#include "SaveTo.h"
#include "Scratch.h"

#include <vector>

// Expected values come from a separate implementation of the same generator (ran1 of
// Numerical Recipes, single-precision scaling), not from this code.
namespace {

std::vector<float> Floats(int n, float max) {
    std::vector<float> out;
    for (int i = 0; i < n; ++i)
        out.push_back(RandFlt(max));
    return out;
}

std::vector<int> Ints(int n, unsigned int range) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i)
        out.push_back(RandInt(range));
    return out;
}

} // namespace

TEST(Random, SeedOneGivesTheKnownSequences) {
    RandReset(1);
    EXPECT_EQ(Floats(6, 1.0f),
              (std::vector<float>{0.4159993529319763f, 0.09196489304304123f, 0.7564104795455933f,
                                  0.5297002196311951f, 0.9304364919662476f, 0.3835020661354065f}));
    // The integer generator is seeded with seed + 77 and scales in single precision.
    EXPECT_EQ(Ints(10, 1000), (std::vector<int>{1, 496, 269, 451, 100, 345, 447, 818, 696, 600}));

    RandReset(1);
    EXPECT_EQ(Floats(3, 100.0f),
              (std::vector<float>{41.59993362426758f, 9.196489334106445f, 75.64104461669922f}));
}

TEST(Random, OtherSeedsAndDegenerateArguments) {
    RandReset(12345);
    EXPECT_EQ(Floats(4, 1.0f), (std::vector<float>{0.9231205582618713f, 0.3331466019153595f,
                                                   0.19788841903209686f, 0.9494217038154602f}));
    EXPECT_EQ(Ints(12, 6), (std::vector<int>{1, 3, 0, 1, 4, 3, 1, 1, 1, 0, 3, 5}));

    // Seeds 0 and 1 both re-initialise from 1.
    RandReset(0);
    std::vector<float> zero = Floats(5, 1.0f);
    RandReset(1);
    EXPECT_EQ(zero, Floats(5, 1.0f));

    EXPECT_EQ(RandInt(0), 0);
    EXPECT_EQ(RandFlt(0.0f), 0.0f);
}

class RandomFile : public kiv::test::Scratch {};

TEST_F(RandomFile, SavedStateContinuesTheSameSequence) {
    Random g;
    g.Seed(99);
    for (int i = 0; i < 7; ++i)
        g.Next();
    kiv::test::SaveTo("random.bin", g);
    EXPECT_EQ(ReadBytes("random.bin").size(), 34u * 4u);

    Random copy;
    File in("random.bin", File::Reading);
    copy.Load(in);
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(copy.Next(), g.Next()) << "draw " << i;
}

TEST_F(RandomFile, DamagedStateIsRebuiltInsteadOfIndexingOutsideTheTable) {
    std::vector<unsigned char> bytes(34 * 4, 0);
    bytes[0] = 0x01, bytes[3] = 0x80; // iy negative
    bytes[4] = 5;                     // idum
    WriteBytes("bad.bin", bytes);
    Random g;
    File in("bad.bin", File::Reading);
    g.Load(in);
    float r = g.Next();
    EXPECT_GE(r, 0.0f);
    EXPECT_LT(r, 1.0f);
}
