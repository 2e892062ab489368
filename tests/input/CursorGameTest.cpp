// Scripted mouse input through the frame loop of a running game, and the cursor it moves.
#include "Images.h"
#include "game/GameRun.h"
#include "game/LoopGlobals.h"
#include "input/CursorRecord.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr COLORREF Red = 0x0000FF, Green = 0x00FF00, Black = 0, Grey = 0xC0C0C0;

// The world (green) seen from (40, 30); a red 20 x 20 sprite at (15, 5) on the screen, in the
// cursor's display list and above it in z-order; the cursor from the level's cursor record,
// at (20, 10) on the screen and shown.
void LoadLevel(GameNode* level) {
    ViewPort& v = level->GetViewPort();
    v.WorldWidth(320);
    v.WorldHeight(240);
    v.ViewPortWidth(160);
    v.ViewPortHeight(120);
    v.WorldXPos(40);
    v.WorldYPos(30);
    level->Add(new Map("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect));

    SpriteList[1].Animations(1);
    SpriteList[1].m_Animations[0].Frames(1);
    FrameElem& frame = SpriteList[1].m_Animations[0].m_Frames[0];
    frame.m_ImageName = "red.bmp";
    frame.m_Width = frame.m_Height = 20;
    frame.AddCollisionData(CollisionCircle(10, 10, 10, 2, 0));
    Sprite red;
    red.Name("red");
    red.BelongToMap("world");
    red.DisplayListNumber(15);
    red.ZOrder(20000);
    red.ActorIndex(1);
    red.MapPosition(55, 35);
    red.ActivateCollisionWithSprite(true);
    level->Add(red);
    // A round collision area of the world, 60 pixels right of where the cursor starts.
    Map::Search("world")->AddCollisionData(CollisionCircle(124, 44, 5, 4, 0));

    File record("cursor.rec", File::Reading);
    kiv::ReadCursorRecord(record);
}

class CursorGame : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        platform = static_cast<kiv::test::HookedPlatform*>(
            &kiv::platform::Install(std::make_unique<kiv::test::HookedPlatform>()));
        kiv::test::WriteSolidImage("Art Assets/Maps/world.bmp", 320, 240, Green);
        kiv::test::WriteSolidImage("Art Assets/Actors/red.bmp", 20, 20, Red);
        {
            File f("cursor.rec", File::Writing);
            f.Write(true);
            for (unsigned int v : {2000u, 0u, 0u}) // the built-in arrow
                f.Write(v);
            f.Write(false);
            f.Write(false);
            f.Write(20.0f);
            f.Write(10.0f);
            f.Write(0);
            f.Write(true);
            f.Write(-1);
        }
        SetDataPathP = [] {
            RTDPath = std::filesystem::current_path().c_str();
            ArtAssetsPath = RTDPath;
        };
        LoadGameFileP = [] {};
        ModeP = [] {
            SetMode(160, 120, 32);
            _IsWindowed = true;
            _IsScreenSaver = false;
        };
        BuildLogicP = [] {};
        KivP = [] {
            auto* level = new GameNode;
            level->Id(1);
            level->LoadFunctions(LoadLevel, nullptr);
            myGame->Add(level);
        };
        OnGameStartP = [] {};
        OnGameEndP = [] {};
    }

    // Runs the game for `frames` frames; `afterFrame` sees the state after each one.
    void Play(const char* script, unsigned int frames,
              std::function<void(std::uint32_t)> afterFrame) {
        platform->ReadScript(script);
        std::uint32_t done = 0;
        platform->onPass = [&](std::uint32_t next) {
            if (next - 1 > done) // the passes that end the game run no frame
                afterFrame(done = next - 1);
        };
        std::string line = "--frames=" + std::to_string(frames);
        EXPECT_EQ(KivMain(nullptr, nullptr, line.data(), 1), 0);
    }
    COLORREF Shown(int x, int y) { return platform->presenter.ColorAt(x, y); }

    kiv::test::HookedPlatform* platform = nullptr;
};

} // namespace

TEST_F(CursorGame, CursorFollowsTheMouseAndIsDrawnOverEverything) {
    int checked = 0;
    Play("3 mouse move 30 -4\n", 5, [&](std::uint32_t frame) {
        Sprite* cursor = Sprite::Search("KIV_CURSOR_ROSRUC_");
        ASSERT_NE(cursor, nullptr);
        if (frame == 1) {
            // Both share display list 15, where the red sprite comes later.
            EXPECT_EQ(cursor->Next(), Sprite::Search("red"));
            EXPECT_EQ(Shown(20, 10), Black); // the arrow's tip, over the red sprite
            EXPECT_EQ(Shown(21, 10), Red);   // its transparent white
            EXPECT_EQ(Shown(21, 12), Grey);
        } else if (frame == 3) {
            EXPECT_EQ(Shown(50, 6), Black);
            EXPECT_EQ(Shown(20, 10), Red);
            EXPECT_EQ(pKivCursor->ViewportPositionX(), 50u);
            EXPECT_FLOAT_EQ(cursor->MapPositionX(), 90); // the world position
            EXPECT_FLOAT_EQ(cursor->MapPositionY(), 36);
            myGame->ShowCursor(false);
        } else if (frame == 4) {
            EXPECT_EQ(Shown(50, 6), Green); // hidden
            EXPECT_TRUE(cursor->Unused());
        } else {
            return;
        }
        ++checked;
    });
    EXPECT_EQ(checked, 3);
}

TEST_F(CursorGame, ClicksLandOnTheSpritesAndMapAreasUnderTheCursor) {
    std::vector<std::string> seen; // frame: what a click would have chosen
    Play("3 mouse click left\n5 mouse move 60 0\n6 mouse down left\n8 mouse move 30 0\n", 9,
         [&](std::uint32_t frame) {
             std::string s = std::to_string(frame) + ":";
             if (pKivCursor->IsTriggeredOnSprite("red", 0))
                 s += " red";
             if (pKivCursor->IsPressedOnSprite(nullptr, 0))
                 s += " any";
             if (pKivCursor->IsTriggeredOnMap(4, 0))
                 s += " map";
             if (pKivCursor->IsPressedOnMap(4, 0))
                 s += " held";
             seen.push_back(s);
         });
    // Over the red sprite at first, then over the world's area (still touched as the move of
    // frame 8 sweeps away from it), then over nothing.
    EXPECT_EQ(seen, (std::vector<std::string>{"1:", "2:", "3: red any", "4:", "5:", "6: map held",
                                              "7: held", "8: held", "9:"}));
    EXPECT_EQ(ReadText("Kiv.log").find("collision ID"), std::string::npos);
}

TEST_F(CursorGame, MotionIsClippedAndLocateOutsideTheRectangleIsRefused) {
    int checked = 0;
    Play("2 mouse move 500 -500\n4 mouse move -100 100\n", 5, [&](std::uint32_t frame) {
        checked += frame == 2 || frame == 4;
        if (frame == 2) {
            EXPECT_EQ(pMouse->ViewportX(), 159); // the window's client area
            EXPECT_EQ(pMouse->ViewportY(), 0);
            EXPECT_EQ(pKivCursor->ViewportPositionX(), 159u);
            pMouse->Locate(160, 5);
            EXPECT_EQ(pMouse->ViewportX(), 159);
            KivRect r = {10, 10, 60, 50};
            pMouse->SetMotionRect(&r);
        } else if (frame == 4) {
            EXPECT_EQ(pMouse->ViewportX(), 10);
            EXPECT_EQ(pMouse->ViewportY(), 49);
            EXPECT_EQ(pKivCursor->ViewportPositionY(), 49u);
            pKivCursor->ViewportPositionX(5000, false); // kept on the 160-wide viewport
            EXPECT_EQ(pKivCursor->ViewportPositionX(), 159u);
            EXPECT_FLOAT_EQ(pKivCursor->CursorSprite()->MapPositionX(), 5040);
        }
    });
    EXPECT_EQ(checked, 2);
    std::string log = ReadText("Kiv.log");
    EXPECT_NE(log.find("Target Function : void Mouse::Locate(unsigned int,unsigned int)\n"
                       "Error Message : The new location (160, 5) of the mouse is outside its "
                       "motion rect, so it is not set."),
              std::string::npos);
}

TEST_F(CursorGame, DoubleClicksInsideTheWindowAndWheelSteps) {
    std::vector<std::string> doubles, wheel;
    const char* script = "2 mouse click left\n5 mouse click left\n"       // 3 frames apart
                         "10 mouse click left\n15 mouse click left\n"     // 5
                         "20 mouse click right\n45 mouse click right\n"   // 25
                         "50 mouse click middle\n76 mouse click middle\n" // 26
                         "30 mouse wheel 1\n31 mouse wheel -2\n";
    Play(script, 80, [&](std::uint32_t frame) {
        for (unsigned char b = 0; b < 3; ++b)
            if (pMouse->IsDoubleClicked(b))
                doubles.push_back(std::to_string(frame) + ":" + std::to_string(b));
        if (int w = pMouse->Wheel())
            wheel.push_back(std::to_string(frame) + ":" + std::to_string(w));
        if (frame == 31) {
            ASSERT_EQ(kiv::MouseEventCount, 1u);
            EXPECT_EQ(kiv::MouseEventRecords[0].kind, MouseEvent::StepWheel);
            EXPECT_EQ(kiv::MouseEventRecords[0].value, 0x10); // -240 in 8 bits
        }
    });
    EXPECT_EQ(doubles, (std::vector<std::string>{"15:0", "45:1"}));
    EXPECT_EQ(wheel, (std::vector<std::string>{"30:1", "31:-1"}));
}

TEST_F(CursorGame, PauseAndFocusLossStopTheMouse) {
    std::vector<std::string> seen; // reading?, X after each frame
    Play("2 press F10\n3 mouse move 10 0\n4 press F10\n5 mouse move 7 0\n"
         "6 focus lost\n7 mouse move 5 0\n8 focus gained\n9 mouse move 3 0\n",
         9, [&](std::uint32_t) {
             seen.push_back((platform->mouse.Acquired() ? "on " : "off ") +
                            std::to_string(pMouse->ViewportX()));
         });
    EXPECT_EQ(seen, (std::vector<std::string>{"on 20", "off 20", "off 20", "on 20", "on 27",
                                              "off 27", "off 27", "on 27", "on 30"}));
}
