// Bars, rectangles and circles closing over the picture or opening it up: each step's
// covered pixels against shapes computed here from the screen size and the step.
#include "EffectFixture.h"

#include <cmath>
#include <cstring>
#include <functional>

namespace {

constexpr int W = 40, H = 30;
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

int Trunc(float v) {
    return static_cast<int>(v);
}

} // namespace

TEST_F(Curtains, ACircleClosesTowardsTheCentre) {
    // Radius √(20² + 15²) = 25 shrinking by 25 / 5 a frame: after two steps the picture shows
    // through a circle of radius 15 around (20, 15); a pixel shows when its centre is inside.
    effect.CircleClose(Curtain, 5, 3);
    Step();
    Step();
    ExpectCovered(
        [](int x, int y) {
            double dx = x + 0.5 - 20, dy = y + 0.5 - 15;
            return dx * dx + dy * dy > 15.0 * 15.0;
        },
        "circle of radius 15");
    for (int i = 0; i < 3; ++i)
        Step();
    ExpectCovered([](int, int) { return true; }, "closed"); // from the last step on
}

TEST_F(Curtains, EveryKindCoversWhatItsStepReaches) {
    struct Case {
        const char* name;
        void (OpenClose::*start)(COLORREF, int, int);
        void (OpenClose::*open)(COLORREF, int);
        std::function<bool(int, int, float)> covered; // x, y, steps done
    };
    const float n = 4;
    auto halfW = static_cast<float>(W / 2), halfH = static_cast<float>(H / 2);
    const Case cases[] = {
        {"LeftRightClose", &OpenClose::LeftRightClose, nullptr,
         [=](int x, int, float f) {
             return x < Trunc(f * (halfW / n)) || x >= Trunc(W - f * (halfW / n));
         }},
        {"LeftRightOpen", nullptr, &OpenClose::LeftRightOpen,
         [=](int x, int, float f) {
             return x < Trunc(halfW - f * (halfW / n)) || x >= Trunc(halfW + f * (halfW / n));
         }},
        {"TopBottomClose", &OpenClose::TopBottomClose, nullptr,
         [=](int, int y, float f) {
             return y < Trunc(f * (halfH / n)) || y >= Trunc(H - f * (halfH / n));
         }},
        {"TopBottomOpen", nullptr, &OpenClose::TopBottomOpen,
         [=](int, int y, float f) {
             return y < Trunc(halfH - f * (halfH / n)) || y >= Trunc(halfH + f * (halfH / n));
         }},
        {"RectClose", &OpenClose::RectClose, nullptr,
         [=](int x, int y, float f) {
             float sx = halfW / n, sy = halfH / n;
             return x < Trunc(f * sx) || y < Trunc(f * sy) || x >= Trunc(W - f * sx) ||
                    y >= Trunc(H - f * sy);
         }},
        {"RectOpen", nullptr, &OpenClose::RectOpen,
         [=](int x, int y, float f) {
             float sx = halfW / n, sy = halfH / n;
             return x < Trunc(halfW - f * sx) || y < Trunc(halfH - f * sy) ||
                    x >= Trunc(halfW + f * sx) || y >= Trunc(halfH + f * sy);
         }},
        {"CircleOpen", nullptr, &OpenClose::CircleOpen,
         [=](int x, int y, float f) {
             // The circle's box, each side truncated; a pixel shows when its centre lies in
             // the ellipse inscribed in the box.
             float r = f * (25.0f / n);
             double left = Trunc(halfW - r), top = Trunc(halfH - r);
             double right = Trunc(halfW + r), bottom = Trunc(halfH + r);
             if (right == left || bottom == top)
                 return true;
             double dx = (x + 0.5 - (left + right) / 2) / ((right - left) / 2);
             double dy = (y + 0.5 - (top + bottom) / 2) / ((bottom - top) / 2);
             return dx * dx + dy * dy > 1;
         }},
    };
    for (const Case& c : cases) {
        if (c.start)
            (effect.*c.start)(Curtain, 4, 2);
        else
            (effect.*c.open)(Curtain, 4);
        for (int f = 1; f <= 3; ++f) {
            Step();
            ExpectCovered([&](int x, int y) { return c.covered(x, y, static_cast<float>(f)); },
                          c.name);
        }
        effect.Stop();
    }
}

TEST_F(Curtains, ClosingEffectsHoldThenStopWhileOpeningOnesStopAtOnce) {
    auto framesRunning = [&] {
        int frames = 0;
        while (effect.IsRunning() && frames < 100) {
            Step();
            ++frames;
        }
        return frames;
    };
    effect.RectClose(Curtain, 4, 3);
    EXPECT_EQ(framesRunning(), 4 + 3 + 2); // the last of them draws nothing and stops it
    ExpectCovered([](int, int) { return false; }, "stopped");
    effect.TopBottomOpen(Curtain, 4);
    EXPECT_EQ(framesRunning(), 4 + 2);
}

TEST_F(Curtains, OnlyOneRunsAtATime) {
    effect.CircleOpen(Curtain, 10);
    effect.RectClose(Curtain, 4, 0);
    EXPECT_EQ(LastError(), "void OpenClose::RectClose(unsigned long,int,int) | The effect "
                           "RectClose can't be set because another OpenClose effect is running.");
    Step();
    // The circle goes on: after one step its box runs from (17, 12) to (22, 17).
    EXPECT_EQ(Drawn(19, 14), Background);
    EXPECT_EQ(Drawn(0, 0), Curtain);
}

TEST_F(Curtains, TheRecordRoundTrips) {
    effect.CircleClose(0x0000FF, 8, 2);
    Step();
    std::vector<unsigned char> bytes = Record(effect);
    ASSERT_EQ(bytes.size(), 4u + 3 * 4 + 1 + 4 * 4 + 4);
    EXPECT_EQ(bytes[0], 0xFF); // the colour
    EXPECT_EQ(bytes[4], 6);    // kind: CircleClose
    EXPECT_EQ(bytes[8], 1);    // frame
    float radius;
    std::memcpy(&radius, &bytes[4 + 12 + 1 + 12], 4);
    EXPECT_EQ(radius, 25.0f);

    OpenClose loaded;
    {
        File file("record.bin", File::Reading);
        loaded.Load(file);
    }
    EXPECT_EQ(Record(loaded, "again.bin"), bytes);
    loaded.Stop();
    bytes = Record(loaded);
    EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16, 0xFFFFFF); // idle colour
    EXPECT_EQ(static_cast<signed char>(bytes[4]), -1);
}
