// A text that follows a sprite: its frame moves to the sprite's hot spot and takes the width
// and height that Frame() kept (one less than the frame's own), however often it follows.
#include "sprites/SpriteFixture.h"

#include <array>

namespace {

class TextFollow : public kiv::test::SpriteLevel {};

std::array<int, 4> Corners(KivRect r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

TEST_F(TextFollow, TheFrameMovesToTheSpritesHotSpot) {
    MakeActor(0, {1});
    FrameOf(0, 0, 0).m_HotSpots[FrameElem::AsDrawn][1] = {5, 6};
    Sprite* s = AddSprite(0, "hero");
    s->ActorIndex(0);
    s->MapPosition(30.75f, 40.5f);

    Variable label;
    label.Frame(KivRect{0, 0, 50, 20});
    label.Follow(s, 1);
    EXPECT_EQ(Corners(label.Frame()), (std::array{35, 46, 84, 65}));
    s->MapPosition(-10.5f, 2);
    label.Follow("hero", 1);
    label.Follow("hero", 1);
    EXPECT_EQ(Corners(label.Frame()), (std::array{-5, 8, 44, 27})); // truncated toward zero

    label.Follow(static_cast<Sprite*>(nullptr), 0);
    EXPECT_EQ(LastError(), "void Variable::Follow(Sprite *) | Cannot follow a NULL sprite.");
    label.Follow(static_cast<const char*>(nullptr), 0);
    EXPECT_EQ(LastError(),
              "void Variable::Follow(const char *) | Cannot follow a sprite with a NULL name.");
    label.Follow("nobody", 0);
    EXPECT_EQ(LastError(), "void Variable::Follow(const char *) | The sprite name does not exist.");
    EXPECT_EQ(Corners(label.Frame()), (std::array{-5, 8, 44, 27}));
}
