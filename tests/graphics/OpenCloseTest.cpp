// Bars, rectangles and circles closing over the picture or opening it up: each step's
// covered pixels against shapes computed here from the screen size and the step.
#include "EffectFixture.h"

#include <functional>

namespace {

constexpr int W = 40, H = 30; // halves 20 and 15; the circles' radius √(20² + 15²) = 25
constexpr COLORREF Background = 0x123456, Curtain = 0x00C0FF;

class Curtains : public kiv::test::EffectDisplay {
protected:
    void SetUp() override {
        EffectDisplay::SetUp();
        Start(W, H, 32, true);
    }
    // One frame: the picture drawn again, then the effect's step over it.
    void Step() {
        back->Fill(back->MatchColor(Background));
        effect.Update();
    }
    void ExpectCovered(const std::function<bool(int, int)>& covered, const char* what) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(Drawn(x, y), covered(x, y) ? Curtain : Background)
                    << what << " at " << x << ", " << y;
    }

    OpenClose effect;
};

int T(float v) {
    return static_cast<int>(v);
}

// Outside the circle of radius r around the screen's centre: its box has each side
// truncated, and a pixel is inside when its centre lies in the ellipse inscribed in the box.
bool OutsideCircle(int x, int y, float r) {
    double left = T(20 - r), top = T(15 - r), right = T(20 + r), bottom = T(15 + r);
    if (right == left || bottom == top)
        return true;
    double dx = (x + 0.5 - (left + right) / 2) / ((right - left) / 2);
    double dy = (y + 0.5 - (top + bottom) / 2) / ((bottom - top) / 2);
    return dx * dx + dy * dy > 1;
}

} // namespace

TEST_F(Curtains, ACircleClosesTowardsTheCentreAndStaysClosed) {
    effect.CircleClose(Curtain, 5, 3); // 25 / 5 a step
    Step();
    Step(); // radius 15 around (20, 15)
    ExpectCovered(
        [](int x, int y) {
            double dx = x + 0.5 - 20, dy = y + 0.5 - 15;
            return dx * dx + dy * dy > 15.0 * 15.0;
        },
        "circle of radius 15");
    for (int i = 0; i < 7; ++i) // closed from its last step on, through the hold
        Step();
    ExpectCovered([](int, int) { return true; }, "closed");
    EXPECT_TRUE(effect.IsRunning());
    Step();
    EXPECT_FALSE(effect.IsRunning());
    ExpectCovered([](int, int) { return false; }, "over");
}

TEST_F(Curtains, EveryKindCoversWhatItsStepsReach) {
    using Covered = std::function<bool(int, int, float)>; // x, y, steps done (of 4)
    const float sx = 20.0f / 4, sy = 15.0f / 4;
    const std::pair<std::function<void()>, Covered> cases[] = {
        {[&] { effect.LeftRightClose(Curtain, 4, 2); },
         [=](int x, int, float f) { return x < T(f * sx) || x >= T(W - f * sx); }},
        {[&] { effect.LeftRightOpen(Curtain, 4); },
         [=](int x, int, float f) { return x < T(20 - f * sx) || x >= T(20 + f * sx); }},
        {[&] { effect.TopBottomClose(Curtain, 4, 2); },
         [=](int, int y, float f) { return y < T(f * sy) || y >= T(H - f * sy); }},
        {[&] { effect.TopBottomOpen(Curtain, 4); },
         [=](int, int y, float f) { return y < T(15 - f * sy) || y >= T(15 + f * sy); }},
        {[&] { effect.RectClose(Curtain, 4, 2); },
         [=](int x, int y, float f) {
             return x < T(f * sx) || y < T(f * sy) || x >= T(W - f * sx) || y >= T(H - f * sy);
         }},
        {[&] { effect.RectOpen(Curtain, 4); },
         [=](int x, int y, float f) {
             return x < T(20 - f * sx) || y < T(15 - f * sy) || x >= T(20 + f * sx) ||
                    y >= T(15 + f * sy);
         }},
        {[&] { effect.CircleOpen(Curtain, 4); },
         [=](int x, int y, float f) { return OutsideCircle(x, y, f * (25.0f / 4)); }},
    };
    int kind = 0;
    for (const auto& [start, shape] : cases) {
        const Covered& covered = shape; // a lambda may not capture a structured binding
        start();
        for (int f = 1; f <= 3; ++f) {
            Step();
            ExpectCovered([&](int x, int y) { return covered(x, y, static_cast<float>(f)); },
                          std::to_string(kind).c_str());
        }
        effect.Stop();
        ++kind;
    }
}

TEST_F(Curtains, OpeningEndsAfterItsStepsAndRefusesASecondEffect) {
    effect.CircleOpen(Curtain, 4);
    effect.RectClose(Curtain, 4, 0);
    EXPECT_EQ(LastError(), "void OpenClose::RectClose(unsigned long,int,int) | The effect "
                           "RectClose can't be set because another OpenClose effect is running.");
    for (int i = 0; i < 5; ++i)
        Step();
    EXPECT_TRUE(effect.IsRunning());
    Step();
    EXPECT_FALSE(effect.IsRunning());
}

TEST_F(Curtains, TheRecordRoundTrips) {
    effect.CircleClose(0x0000FF, 8, 2);
    Step();
    std::vector<unsigned char> bytes = Record(effect);
    ASSERT_EQ(bytes.size(), 4u + 3 * 4 + 1 + 4 * 4 + 4);
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin(), bytes.begin() + 17)),
              (std::vector<unsigned char>{0xFF, 0, 0, 0, 6, 0, 0, 0, 1, 0, 0, 0, 8, 0, 0, 0, 1}));
    EXPECT_EQ(bytes[29 + 2] | bytes[29 + 3] << 8, 0x41C8); // the radius, 25.0f
    OpenClose loaded;
    {
        File file("record.bin", File::Reading);
        loaded.Load(file);
    }
    EXPECT_EQ(Record(loaded, "again.bin"), bytes);
}
