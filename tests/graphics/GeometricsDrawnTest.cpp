// Lines and circles drawn in world coordinates, and screenshots of the back buffer.
#include "EffectFixture.h"

#include <filesystem>

namespace {

class Drawing : public kiv::test::EffectDisplay {
protected:
    void SetUp() override {
        EffectDisplay::SetUp();
        Start(80, 60, 32, true);
        gNode = &level;
        level.GetViewPort().WorldXPos(40);
        level.GetViewPort().WorldYPos(20);
    }
    void TearDown() override {
        gNode = nullptr;
        EffectDisplay::TearDown();
    }
    int CountOf(COLORREF c) {
        int n = 0;
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x)
                n += Drawn(x, y) == c;
        return n;
    }

    GameNode level;
    GeometricsDrawn draw;
};

} // namespace

TEST_F(Drawing, WorldPositionsAppearLessTheViewportsPosition) {
    draw.Line(100, 50, 110, 50, 0x00FF00);
    for (int x = 60; x < 70; ++x)
        EXPECT_EQ(Drawn(x, 30), 0x00FF00u) << x;
    EXPECT_EQ(Drawn(70, 30), 0u); // the end point is left out, as a pen draws it
    EXPECT_EQ(CountOf(0x00FF00), 10);

    draw.Line(45.9f, 23.5f, 0xFFFFFF); // from the screen's corner, not the world's
    EXPECT_EQ(Drawn(0, 0), 0xFFFFFFu);
    EXPECT_EQ(Drawn(2, 1), 0xFFFFFFu);
    EXPECT_EQ(Drawn(5, 3), 0u);
    EXPECT_EQ(CountOf(0xFFFFFF), 5);

    draw.Circle(60, 40, 5, 0x0000FF); // the outline in the box (15, 15) to (25, 25)
    int left = 0, right = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (Drawn(x, y) == 0x0000FF) {
                ASSERT_TRUE(x >= 15 && x < 25 && y >= 15 && y < 25) << x << ", " << y;
                left += x == 15;
                right += x == 24;
            }
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
    EXPECT_EQ(Drawn(20, 20), 0u);
}

TEST_F(Drawing, ACircleOfRadiusZeroDrawsAtMostOnePixel) {
    draw.Circle(50, 30, 0, 0xFFFFFF);
    EXPECT_LE(CountOf(0xFFFFFF), 1);
}

TEST_F(Drawing, ScreenShotsWriteTheBackBuffer) {
    Paint();
    ScreenShotBMP("shot");
    ScreenShotJPG("shot");
    kiv::platform::Image bmp, jpg;
    ASSERT_TRUE(kiv::platform::ImageCodec::DecodeFile("shot.bmp", bmp));
    ASSERT_TRUE(kiv::platform::ImageCodec::DecodeFile("shot.jpg", jpg));
    ASSERT_EQ(bmp.width, 80);
    ASSERT_EQ(bmp.height, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            std::uint32_t argb = bmp.argb[static_cast<size_t>(y) * 80 + x];
            COLORREF c = (argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16;
            ASSERT_EQ(c, Pattern(x, y));
        }
    EXPECT_EQ(jpg.width, 80);
    EXPECT_EQ(jpg.height, 60);

    back->Lose(); // nothing to read: nothing written, nothing said
    ScreenShotJPG("lost");
    ScreenShotBMP("lost");
    EXPECT_FALSE(std::filesystem::exists("lost.jpg"));
    EXPECT_FALSE(std::filesystem::exists("lost.bmp"));
    EXPECT_EQ(LastError(), "");
}
