// The main character against the world's edges and the viewport: scrolling, the scrolling
// box, direct placement; and the drawing of movement patterns.

#include "SpriteFixture.h"
#include "graphics/Display.h"

using kiv::test::SpriteLevel;

namespace {

// World 1000 x 500 seen through 200 x 100, scrolling box from (50, 25) to (150, 75); the hero
// is 20 x 20 with a box over the whole frame.
class MainCharacter : public SpriteLevel {
protected:
    void SetUp() override {
        SpriteLevel::SetUp();
        View().ViewPortScrollingBB(50, 25, 100, 50);
        MakeActor(8, {1});
        hero = AddSprite(0, "hero");
        hero->ActorIndex(8);
        hero->MainCharacter(true);
    }
    // One frame of motion without collisions, then the frame loop's commit of the viewport.
    void Frame(Sprite& s) {
        s.GetTranslation();
        s.UpdateTranslation();
        s.UpdateSprite();
        View().Commit();
    }
    void Move(Sprite& s, float x, float y, float dx, float dy) {
        s.MapPosition(x, y);
        s.Speed(10);
        s.VectorDirection(dx, dy, 0);
    }

    Sprite* hero = nullptr;
};

} // namespace

TEST_F(MainCharacter, PushingTheScrollingBoxScrollsTheViewport) {
    Move(*hero, 120, 40, 1, 0);
    Frame(*hero); // box right 120 + 10 + 19 = 149: inside the box
    EXPECT_EQ(View().WorldXPos(), 0.0f);
    for (int i = 0; i < 4; ++i) // from 159 on it reaches 150: the viewport takes each step
        Frame(*hero);
    EXPECT_EQ(View().WorldXPos(), 40.0f);
    EXPECT_EQ(hero->ViewportX(), 140); // placed before the last step shows
    hero->VectorDirection(-1, 0, 0);   // back away from that edge: no scrolling
    Frame(*hero);
    EXPECT_EQ(View().WorldXPos(), 40.0f);
    EXPECT_EQ(hero->ViewportX(), 120);

    View().WorldYPos(100);
    Move(*hero, 180, 136, 0, -1); // top on screen 136 - 10 - 100 = 26: not yet
    Frame(*hero);
    Frame(*hero); // 16: up through the box's top edge (right edge past 150, but no step in x)
    EXPECT_EQ(View().WorldYPos(), 90.0f);
    EXPECT_EQ(View().WorldXPos(), 40.0f);
}

TEST_F(MainCharacter, StopsAtTheWorldsEdges) {
    struct Case {
        float x, y, dx, dy;
        float tx, ty; // the step left after limiting
    } cases[] = {
        {975, 200, 1, 0, 6, 0}, {981, 200, 1, 0, 0, 0}, // right: 1000 - 975 - 19
        {3, 200, -1, 0, -3, 0}, {500, 480, 0, 1, 0, 1}, // left; bottom: 500 - 480 - 19
        {500, 4, 0, -1, 0, -4}, {500, 200, 1, 0, 10, 0},
    };
    Sprite other;
    other.ActorIndex(8);
    for (const Case& c : cases) {
        Move(*hero, c.x, c.y, c.dx, c.dy);
        Frame(*hero);
        EXPECT_EQ(hero->TranslationX(), c.tx) << c.x << "," << c.y;
        EXPECT_EQ(hero->TranslationY(), c.ty) << c.x << "," << c.y;
        EXPECT_EQ(hero->LeftPosition(), c.x + c.tx);
        Move(other, c.x, c.y, c.dx, c.dy); // any other sprite goes on
        Frame(other);
        EXPECT_EQ(other.LeftPosition(), c.x + 10 * c.dx);
    }
}

TEST_F(MainCharacter, TheBoxGrowsWhereTheViewportCannotFollowAndShrinksBack) {
    View().WorldXPos(800); // as far right as it goes
    View().MaxInflateBBRight(25);
    Move(*hero, 930, 40, 1, 0);                    // box right on screen: 930 + 19 - 800 = 149
    for (float right : {160.0f, 170.0f, 175.0f}) { // grows by the step, at most 25
        Frame(*hero);
        EXPECT_EQ(View().BBViewPortRightPos(), right);
    }
    hero->VectorDirection(-1, 0, 0);
    for (float right : {165.0f, 155.0f, 150.0f, 150.0f}) { // back to where it was set
        Frame(*hero);
        EXPECT_EQ(View().BBViewPortRightPos(), right);
    }
    EXPECT_EQ(View().WorldXPos(), 800.0f);

    View().WorldXPos(0);
    View().MaxInflateBBLeft(30);
    Move(*hero, 50, 40, -1, 0);
    Frame(*hero);
    EXPECT_EQ(View().BBViewPortXPos(), 40.0f);
}

TEST_F(MainCharacter, PlacingItDirectlyMovesTheViewportOrTheScrollingBox) {
    hero->MapPosition(100, 40);
    hero->MainCharWorldPosition(120, 50); // still on screen: the box moves with it
    EXPECT_EQ(hero->ViewportX(), 120);
    EXPECT_EQ(View().BBViewPortXPos(), 70.0f);
    EXPECT_EQ(View().BBViewPortYPos(), 35.0f);
    EXPECT_EQ(View().InitialBBClone().left, 70.0f);

    // Off screen: the viewport jumps by the offset 380 at once. The screen position and the
    // offset stay as measured before the jump: 500 on screen, and the box moves by 380.
    hero->MainCharWorldPosition(500, 50);
    EXPECT_EQ(hero->LeftPosition(), 500.0f);
    EXPECT_EQ(View().WorldXPos(), 380.0f);
    EXPECT_EQ(hero->ViewportX(), 500);
    EXPECT_EQ(View().BBViewPortXPos(), 450.0f);
    Frame(*hero); // standing still: placed on screen again at 500 - 380
    EXPECT_EQ(hero->ViewportX(), 120);

    // The viewport can only go 420 of 460: both are read again from the moved viewport, and
    // the rest moves the character and the box on screen.
    hero->MainCharWorldPosition(960, 50);
    EXPECT_EQ(View().WorldXPos(), 800.0f);
    EXPECT_EQ(hero->ViewportX(), 160);
    EXPECT_EQ(View().BBViewPortXPos(), 490.0f);

    hero->MainCharWorldPosition(970, -30); // limited to the world's top: (970, 0)
    EXPECT_EQ(hero->TopPosition(), 0.0f);
    EXPECT_EQ(hero->ViewportY(), 0);
    EXPECT_EQ(View().BBViewPortYPos(), -15.0f); // 35 - 50

    hero->MainCharacter(false);
    hero->MainCharWorldPosition(900, 50);
    EXPECT_EQ(hero->LeftPosition(), 970.0f);
}

using MotionDrawing = SpriteLevel;

TEST_F(MotionDrawing, AShownPatternIsDrawnInRedFromWhereItStarted) {
    SetMode(64, 48, 32);
    _IsWindowed = true;
    ASSERT_TRUE(kiv::InitGraphics());
    pDraw = new GeometricsDrawn;
    MovementPattern* saved = MPArray;
    int savedMax = maxMPIndex;
    MovementPattern pattern;
    pattern.NumberOfVectors(2);
    pattern.CalculateVectorPattern(0, 20, 0);
    pattern.CalculateVectorPattern(1, 0, 10);
    MPArray = &pattern;
    maxMPIndex = 0;

    View().WorldXPos(10); // drawn in world coordinates: 10 to the left on screen
    Sprite s;
    s.MapPosition(15, 5);
    s.ApplyMovementPattern(0);
    s.StartMovementPattern(false);
    s.MapPosition(30, 30); // moved away: the drawing still starts at (15, 5)
    s.ShowMovementPattern(true);
    s.UpdateMovementPattern();
    kiv::Surface* back = kiv::BackBuffer();
    auto shown = [back](int x, int y) { return back->ColorOf(back->GetPixel(x, y)); };
    EXPECT_EQ(shown(15, 5), 255u);  // on (5, 5) - (25, 5)
    EXPECT_EQ(shown(25, 10), 255u); // on (25, 5) - (25, 15)
    EXPECT_EQ(shown(20, 25), 0u);
    EXPECT_EQ(shown(4, 5), 0u);

    MPArray = saved;
    maxMPIndex = savedMax;
    delete pDraw;
    pDraw = nullptr;
    kiv::CloseGraphics();
}

TEST_F(MainCharacter, EitherEdgeOfTheScrollingBoxScrollsWhicheverWayItMoves) {
    View().WorldXPos(100);
    View().WorldYPos(100);
    Move(*hero, 260, 140, -1, 0); // box 150..169 on screen: still past the right edge at 150
    Frame(*hero);
    EXPECT_EQ(View().WorldXPos(), 90.0f);
    EXPECT_EQ(View().WorldYPos(), 100.0f);
    Move(*hero, 300, 110, 0, 1); // box top at 20 on screen: still above the top edge at 25
    Frame(*hero);
    EXPECT_EQ(View().WorldYPos(), 110.0f);
    EXPECT_EQ(View().WorldXPos(), 90.0f);
}

TEST_F(MainCharacter, TheBoxGrowsOnlyOnceTheViewportCannotMoveAtAll) {
    View().WorldXPos(797); // 3 short of its far edge
    View().MaxInflateBBRight(25);
    Move(*hero, 927, 40, 1, 0); // box right on screen: 927 + 19 - 797 = 149
    Frame(*hero);               // the viewport follows 3 of the 10: the box stays
    EXPECT_EQ(View().WorldXPos(), 800.0f);
    EXPECT_EQ(View().BBViewPortRightPos(), 150.0f);
    Frame(*hero); // now it cannot follow: the box grows by the whole step
    EXPECT_EQ(View().BBViewPortRightPos(), 160.0f);
}
