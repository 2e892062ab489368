#include <kiv/Kiv.h>

#include "SaveTo.h"
#include "Scratch.h"

TEST(ViewPort, ScrollingIsClampedToTheWorldAndShownAtTheEndOfTheFrame) {
    ViewPort v(1000, 600, 3, 0, 640, 480);
    EXPECT_EQ(v.MaxViewPortWorldXPos(), 360.0f);
    float* step = v.Scroll(-5, 0);
    EXPECT_EQ(step[0], -3.0f);
    EXPECT_EQ(v.WorldXPos(), 3.0f); // not yet: the frame still shows the old position
    v.Commit();
    EXPECT_EQ(v.WorldXPos(), 0.0f);
    EXPECT_EQ(v.CurrentDeltaScroll()[0], 0.0f); // the step before the last one
    EXPECT_EQ(v.Scroll(-5, 0)[0], 0.0f);
    EXPECT_EQ(v.CurrentDeltaScroll()[0], -3.0f);
    v.Commit();

    v.WorldXPos(356);
    EXPECT_EQ(v.Scroll(10, 0)[0], 4.0f);
    v.Commit();
    EXPECT_EQ(v.WorldXPos(), 360.0f);
    EXPECT_EQ(v.IntWorldRect().right, 1000);

    ViewPort exact(640, 480, 0, 0, 640, 480); // as large as the world: never scrolls
    EXPECT_EQ(exact.Scroll(7, 7)[0], 0.0f);
    EXPECT_EQ(exact.Scroll(7, 7)[1], 0.0f);
}

TEST(ViewPort, OffsetMovesAtOnceWithoutALowerLimit) {
    ViewPort v(1000, 600, 0, 0, 640, 480);
    Position applied = v.Offset(-10, 0, false);
    EXPECT_EQ(applied.x, -10.0f);
    EXPECT_EQ(v.WorldXPos(), -10.0f);
    applied = v.Offset(500, 500, false);
    EXPECT_EQ(applied.x, 370.0f);
    EXPECT_EQ(applied.y, 120.0f);
}

TEST(ViewPort, AnOffsetCarriesTheMainCharacterAlongWhenAsked) {
    GameNode level;
    level.GetViewPort().WorldWidth(1000);
    level.GetViewPort().WorldHeight(600);
    gNode = &level;
    Sprite hero, other;
    hero.MapPosition(100, 80);
    other.MapPosition(100, 80);
    MainCharacterSprite = &hero;

    level.GetViewPort().Offset(30, -20, false);
    EXPECT_EQ(hero.MapPositionX(), 100.0f);
    level.ViewPortPosition(50, 10, true); // from (30, -20): a step of (20, 30)
    EXPECT_EQ(level.GetViewPort().WorldXPos(), 50.0f);
    EXPECT_EQ(hero.MapPositionX(), 120.0f);
    EXPECT_EQ(hero.MapPositionY(), 110.0f);
    // The step the viewport could make is the one the character makes: 360 is its last x.
    Game game;
    game.ViewPortPosition(400, 10, true);
    EXPECT_EQ(level.GetViewPort().WorldXPos(), 360.0f);
    EXPECT_EQ(hero.MapPositionX(), 430.0f);
    EXPECT_EQ(other.MapPositionX(), 100.0f);
    MainCharacterSprite = nullptr;
    gNode = nullptr;
}

TEST(ViewPort, TheBoundingBoxInflatesWithinItsMaximum) {
    ViewPort v(1000, 600, 100, 50, 640, 480);
    v.ViewPortScrollingBB(200, 100, 240, 280);
    EXPECT_EQ(v.BBWidth(), 240.0f);
    EXPECT_EQ(v.BBWorldXPos(), 300.0f);
    v.MaxInflateBBRight(5);
    v.MaxInflateBBLeft(8);
    EXPECT_EQ(v.InflateBBRight(7), 5.0f);
    EXPECT_EQ(v.BBViewPortRightPos(), 445.0f);
    EXPECT_EQ(v.InflateBBRight(-20), -10.0f);
    EXPECT_EQ(v.BBViewPortRightPos(), 435.0f);
    EXPECT_EQ(v.InflateBBLeft(3), 3.0f); // the left edge grows the box by moving left
    EXPECT_EQ(v.BBViewPortXPos(), 197.0f);

    v.RestoreBB(); // back to the box as set; the inflations stay
    EXPECT_EQ(v.BBViewPortRightPos(), 440.0f);
    EXPECT_EQ(v.InflateBBRight(20), 10.0f); // from the kept -5 up to the maximum 5
    v.ViewPortScrollingBB(0, 0, 10, 10);    // clears the inflations
    EXPECT_EQ(v.InflateBBRight(5), 5.0f);
}

class ViewPortFile : public kiv::test::Scratch {};

TEST_F(ViewPortFile, RecordRoundTrip) {
    ViewPort v(900, 700, 12, 34, 320, 200);
    v.ViewPortScrollingBB(10, 20, 30, 40);
    v.MaxInflateBBTop(6);
    v.InflateBBTop(2);
    v.Scroll(5, 6);
    kiv::test::SaveTo("viewport.bin", v);
    ViewPort w;
    File in("viewport.bin", File::Reading);
    w.Load(in);
    EXPECT_EQ(in.Position(), 4 * 4 + 4 * 16 + 4 * 4 + 16 + 8 * 4);
    EXPECT_EQ(w.WorldWidth(), 900.0f);
    EXPECT_EQ(w.BBViewPortYPos(), 18.0f);
    w.Commit();
    v.Commit();
    EXPECT_EQ(w.WorldXPos(), v.WorldXPos());
    EXPECT_EQ(w.InflateBBTop(10), 4.0f);
}
