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
    for (int x = 59; x <= 70; ++x) // the end point is left out, as a pen draws it
        EXPECT_EQ(Drawn(x, 30), x >= 60 && x < 70 ? 0x00FF00u : 0u) << x;
    EXPECT_EQ(CountOf(0x00FF00), 10);

    draw.Line(45.9f, 23.5f, 0xFFFFFF); // from the screen's corner to (5, 3)
    EXPECT_EQ(Drawn(0, 0), 0xFFFFFFu);
    EXPECT_EQ(Drawn(2, 1), 0xFFFFFFu);
    EXPECT_EQ(CountOf(0xFFFFFF), 5);

    draw.Circle(50, 30, 0, 0x0000FF); // radius 0: at most one pixel
    EXPECT_LE(CountOf(0x0000FF), 1);
}

TEST_F(Drawing, ScreenShotsWriteTheBackBufferUnlessItIsLost) {
    Paint();
    ScreenShotBMP("shot");
    ScreenShotJPG("shot");
    kiv::platform::Image bmp, jpg;
    ASSERT_TRUE(kiv::platform::ImageCodec::DecodeFile("shot.bmp", bmp));
    ASSERT_TRUE(kiv::platform::ImageCodec::DecodeFile("shot.jpg", jpg));
    ASSERT_EQ(bmp.width * bmp.height, 80 * 60);
    for (int i = 0; i < 80 * 60; ++i) {
        std::uint32_t argb = bmp.argb[static_cast<size_t>(i)];
        ASSERT_EQ((argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16,
                  Pattern(i % 80, i / 80));
    }
    EXPECT_EQ(jpg.width * jpg.height, 80 * 60);

    back->Lose(); // nothing to read: nothing written, nothing said
    ScreenShotJPG("lost");
    ScreenShotBMP("lost");
    EXPECT_FALSE(std::filesystem::exists("lost.jpg") || std::filesystem::exists("lost.bmp"));
    EXPECT_EQ(LastError(), "");
}
