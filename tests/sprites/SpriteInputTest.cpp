// A network player's keyboard and mouse, as the sprite's queue of received items fills them.

#include <kiv/Kiv.h>

#include "Scratch.h"
#include "game/SpritePass.h"

#include <initializer_list>
#include <vector>

namespace {

class PlayerInput : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        SetMode(160, 120, 32);
        pMouse = new Mouse(nullptr, nullptr); // double clicks 5 to 25 frames apart
    }
    void TearDown() override {
        delete pMouse;
        pMouse = nullptr;
        Scratch::TearDown();
    }
    // Key entries: the code in the low byte, 256 added while the key is down.
    void Keys(std::initializer_list<unsigned int> entries) {
        std::vector<unsigned char> data;
        for (unsigned int e : entries) {
            data.push_back(static_cast<unsigned char>(e));
            data.push_back(static_cast<unsigned char>(e >> 8));
        }
        player.AddToQ(9, data.data(), static_cast<unsigned int>(data.size()));
    }
    // One mouse record: kind, value, and for motions the new world position.
    void MouseRecord(unsigned char kind, int value, int world = 0) {
        unsigned char r[8] = {kind,
                              static_cast<unsigned char>(value),
                              0,
                              0,
                              static_cast<unsigned char>(world),
                              static_cast<unsigned char>(world >> 8),
                              static_cast<unsigned char>(world >> 16),
                              static_cast<unsigned char>(world >> 24)};
        player.AddToQ(10, r, 8);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            player.HandleQ();
    }
    Sprite player;
};

constexpr unsigned char A = 0x1E, B = 0x30;

} // namespace

TEST_F(PlayerInput, KeysFollowTheirMessages) {
    Keys({B | 256u, A | 256u});
    Frames(1);
    EXPECT_TRUE(player.Keyboard_IsPressed(A));
    EXPECT_TRUE(player.Keyboard_IsTriggered(B));
    unsigned char first = 0;
    EXPECT_TRUE(player.Keyboard_GetKey(first));
    EXPECT_EQ(first, A); // the lowest code
    Frames(2);           // nothing new: still down, no longer triggered
    EXPECT_TRUE(player.Keyboard_IsNotTriggered(A));
    EXPECT_EQ(player.Keyboard_HoldCounter(A), 3u);
    EXPECT_FALSE(player.Keyboard_GetKey(first));

    Keys({A});
    Frames(3);
    EXPECT_TRUE(player.Keyboard_IsNotPressed(A));
    EXPECT_EQ(player.Keyboard_TapCounter(A), 3u); // up: frames since release
    Keys({A | 256u});
    Frames(1);
    EXPECT_EQ(player.Keyboard_TapCounter(A), 3u); // down: the gap before this press, once
    EXPECT_EQ(player.Keyboard_TapCounter(A), 0u);
    EXPECT_TRUE(player.Keyboard_Any());
    Sprite copy(player), idle; // a copy keeps the player's keys; a sprite never fed has none
    EXPECT_TRUE(copy.Keyboard_IsPressed(A));
    EXPECT_TRUE(idle.Keyboard_Nothing());
    EXPECT_EQ(idle.Keyboard_TapCounter(A), 0u);
    copy = idle;
    EXPECT_TRUE(copy.Keyboard_Nothing());
    player.Keyboard_Reset();
    EXPECT_TRUE(player.Keyboard_Nothing());
}

TEST_F(PlayerInput, TheMouseMovesWithinTheGameMouseRange) {
    MouseRecord(1, 5, 305);
    MouseRecord(2, -3, 77);
    Frames(1);
    EXPECT_EQ(player.Mouse_ViewportX(), 5);
    EXPECT_EQ(player.Mouse_ViewportY(), 0); // -3 from 0 stays inside the motion rectangle
    EXPECT_EQ(player.Mouse_WorldX(), 305);
    EXPECT_EQ(player.Mouse_WorldY(), 77);
    EXPECT_EQ(player.Mouse_RelX(), 5);
    EXPECT_TRUE(player.Mouse_IsMoving());
    for (int i = 0; i < 2; ++i)
        MouseRecord(1, 127);
    Frames(1);
    EXPECT_EQ(player.Mouse_ViewportX(), 159); // the right edge is outside
    Frames(1);
    EXPECT_EQ(player.Mouse_RelX(), 0); // no motion this frame
    EXPECT_FALSE(player.Mouse_IsMoving());

    MouseRecord(3, -2); // the wheel
    Frames(1);
    EXPECT_EQ(player.Mouse_Wheel(), -1);
    Frames(1);
    EXPECT_EQ(player.Mouse_Wheel(), 0); // the delta is still stored, but it did not move
    KivRect r{150, 0, 160, 10};
    EXPECT_TRUE(player.Mouse_InRect(&r));
    r.left = 160;
    EXPECT_FALSE(player.Mouse_InRect(&r));
}

TEST_F(PlayerInput, ButtonsAndDoubleClicks) {
    auto click = [&](unsigned char kind) {
        MouseRecord(kind, 1);
        Frames(1);
        MouseRecord(kind, 0);
        Frames(1);
    };
    click(8);
    Frames(1);
    MouseRecord(8, 1); // the second press, 3 frames after the first: too early
    Frames(1);
    EXPECT_TRUE(player.Mouse_IsTriggered(0));
    EXPECT_FALSE(player.Mouse_IsDoubleClicked(0));
    MouseRecord(8, 0);
    Frames(4);
    MouseRecord(8, 1); // 5 frames after the last: a new pair had just begun
    Frames(1);
    EXPECT_FALSE(player.Mouse_IsDoubleClicked(0));

    click(16);
    Frames(3);
    MouseRecord(16, 1); // 5 frames after the first
    Frames(1);
    EXPECT_TRUE(player.Mouse_IsDoubleClicked(1));
    unsigned char b = 9;
    EXPECT_TRUE(player.Mouse_GetKey(b));
    EXPECT_EQ(b, 1);
    EXPECT_TRUE(player.Mouse_IsPressed(0));
    EXPECT_TRUE(player.Mouse_Any());
    Frames(1);
    EXPECT_FALSE(player.Mouse_IsDoubleClicked(1)); // for one frame only
    EXPECT_EQ(player.Mouse_HoldCounter(1), 2u);

    MouseRecord(16, 0);
    player.ClearQ(); // never applied
    Frames(1);
    EXPECT_TRUE(player.Mouse_IsPressed(1));
    player.Mouse_Reset();
    EXPECT_TRUE(player.Mouse_Nothing());
}

TEST_F(PlayerInput, TheSpritePassAppliesTheQueueOfAnActivePlayerOnly) {
    GameNode level;
    gNode = &level;
    auto* map = new Map;
    level.Add(map);
    Sprite* players[2] = {new Sprite, new Sprite};
    for (Sprite* s : players) {
        s->BelongToMapPtr(map);
        s->m_NetworkPlayer = true;
        unsigned char down[2] = {A, 1};
        s->AddToQ(9, down, 2);
        level.Add(s);
    }
    players[0]->m_NetworkActive = true;
    bool cursorDone = false;
    kiv::UpdateSprites(map, cursorDone);
    EXPECT_TRUE(players[0]->Keyboard_IsTriggered(A));
    EXPECT_FALSE(players[1]->Keyboard_IsPressed(A));
    gNode = nullptr;
}

TEST_F(PlayerInput, DoubleClicksUseTheGameMouseWindowAsItIs) {
    pMouse->DoubleClickAccuracy(2); // the window stays 5 to 25 until the speed is set again
    auto pressAfter = [&](int frames) {
        MouseRecord(8, 0);
        Frames(frames - 1);
        MouseRecord(8, 1);
        Frames(1);
    };
    MouseRecord(8, 1);
    Frames(1);
    pressAfter(20);
    EXPECT_TRUE(player.Mouse_IsDoubleClicked(0));
    pressAfter(25);
    pressAfter(25);
    EXPECT_TRUE(player.Mouse_IsDoubleClicked(0)); // the upper bound counts
    pressAfter(26);
    pressAfter(26);
    EXPECT_FALSE(player.Mouse_IsDoubleClicked(0));
}
