#include <kiv/Kiv.h>

#include "Scratch.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cstring>
#include <initializer_list>
#include <string>

using kiv::platform::MouseInput;

namespace {

constexpr MouseInput::What X = MouseInput::X, Y = MouseInput::Y, Wheel = MouseInput::Wheel,
                           Left = MouseInput::Button0, Right = MouseInput::Button1,
                           Middle = MouseInput::Button2;

class Mice : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        SetMode(160, 120, 32);
        headless = &Headless();
        mouse = new Mouse(nullptr, nullptr);
        _UE = UserError();
        UserError::Errors.clear();
    }
    void TearDown() override {
        delete mouse;
        delete gNode;
        gNode = nullptr;
        Scratch::TearDown();
    }

    // One frame: the events arrive, the mouse reads them.
    unsigned int Frame(std::initializer_list<MouseInput> events = {}) {
        for (const MouseInput& e : events)
            headless->mouse.Push(e);
        MouseEvent* out = records;
        unsigned int n = mouse->Update(out);
        EXPECT_EQ(out, records);
        return n;
    }
    // Releases button b in the next frame and presses it again `frames` frames after the
    // previous press.
    void PressAfter(MouseInput::What b, int frames) {
        Frame({{b, 0}});
        for (int i = 2; i < frames; ++i)
            Frame();
        Frame({{b, 1}});
    }
    // "function | message" of the last user error, then forgets it.
    static std::string LastError() {
        std::string e = std::string(_UE.targetFunction) + " | " + _UE.errorMessage;
        _UE = UserError();
        return e;
    }

    kiv::platform::headless::HeadlessPlatform* headless = nullptr;
    Mouse* mouse = nullptr;
    MouseEvent records[256];
};

bool Same(const KivRect& a, const KivRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST_F(Mice, StepsScaleByTheSensitivityAndStayInsideTheRectangle) {
    EXPECT_TRUE(Same(mouse->MotionRect(), {0, 0, 160, 120})); // the window's client area
    KivRect r = {10, 20, 110, 70};
    mouse->SetMotionRect(&r); // the position starts at its top-left corner
    Frame({{X, 200}, {Y, -50}});
    EXPECT_EQ(mouse->ViewportX(), 109); // never on the right edge
    EXPECT_EQ(mouse->ViewportY(), 20);
    EXPECT_EQ(mouse->RelX(), 200); // the step, not the distance moved
    EXPECT_EQ(mouse->RelY(), -50);
    Frame({{Y, -1}});
    EXPECT_EQ(mouse->RelX(), 0); // X did not move in this frame
    EXPECT_TRUE(mouse->IsMoving());
    Frame();
    EXPECT_FALSE(mouse->IsMoving());

    mouse->Locate(50, 50);
    mouse->SetSensitivity(1);
    Frame({{X, -3}, {Y, 3}});
    EXPECT_EQ(mouse->ViewportX(), 49); // -1.5 truncated toward zero
    EXPECT_EQ(mouse->RelX(), -1);
    EXPECT_EQ(mouse->ViewportY(), 51);
    mouse->SetSensitivity(3); // not a setting: still halved
    Frame({{X, 4}});
    EXPECT_EQ(mouse->ViewportX(), 51);
    mouse->SetSensitivity(2);
    Frame({{X, 4}});
    EXPECT_EQ(mouse->ViewportX(), 59);
}

TEST_F(Mice, DoubleClickWindowFollowsSpeedAndAccuracy) {
    EXPECT_EQ(mouse->DoubleClickSpeed(), 15u); // window 5 to 25
    mouse->DoubleClickSpeed(3);                // raised to the accuracy: window 0 to 20
    EXPECT_EQ(mouse->DoubleClickSpeed(), 10u);
    Frame({{Left, 1}});
    PressAfter(Left, 2);
    EXPECT_TRUE(mouse->IsDoubleClicked(0));
    Frame({{Left, 0}});
    EXPECT_FALSE(mouse->IsDoubleClicked(0)); // for one frame only

    mouse->DoubleClickAccuracy(2); // the window stays until the speed is set again
    EXPECT_EQ(mouse->DoubleClickSpeed(), 2u);
    Frame({{Right, 1}});
    PressAfter(Right, 20);
    EXPECT_TRUE(mouse->IsDoubleClicked(1));
    mouse->DoubleClickSpeed(10); // window 8 to 12
    PressAfter(Right, 13);
    PressAfter(Right, 13);
    EXPECT_FALSE(mouse->IsDoubleClicked(1));
}

TEST_F(Mice, EventsBecomeRecordsAndButtonsCountLikeKeys) {
    gNode = new GameNode;
    gNode->GetViewPort().WorldXPos(100);
    gNode->GetViewPort().WorldYPos(200);
    mouse->Locate(50, 60);
    std::memset(records, 0xFF, sizeof records);
    EXPECT_EQ(Frame({{X, -3}, {Y, 4}, {Wheel, 120}, {Right, 1}, {Left, 1}, {Wheel, -120}}), 6u);
    const MouseEvent expected[] = {
        {MouseEvent::StepX, 0xFD, {}, 147},   {MouseEvent::StepY, 4, {}, 264},
        {MouseEvent::StepWheel, 0x78, {}, 0}, {MouseEvent::Button1, 1, {}, 0},
        {MouseEvent::Button0, 1, {}, 0},      {MouseEvent::StepWheel, 0x88, {}, 0}};
    EXPECT_EQ(std::memcmp(records, expected, sizeof expected), 0);
    for (size_t i = sizeof expected; i < sizeof records; ++i)
        ASSERT_EQ(reinterpret_cast<unsigned char*>(records)[i], 0) << "byte " << i;
    EXPECT_EQ(mouse->Y(), 264);
    EXPECT_EQ(mouse->Wheel(), -1); // the last step counts

    unsigned char b = 9;
    ASSERT_TRUE(mouse->GetKey(b));
    EXPECT_EQ(b, 0);                   // the lowest of the buttons that went down
    EXPECT_FALSE(mouse->IsPressed(3)); // no such button
    Frame({{Wheel, 240}, {Right, 0}});
    EXPECT_EQ(mouse->Wheel(), 1);
    EXPECT_EQ(mouse->HoldCounter(0), 2u);
    EXPECT_EQ(mouse->TapCounter(1), 1u);
    EXPECT_FALSE(mouse->GetKey(b));
    mouse->SetSensitivity(1);
    Frame({{Wheel, 1}});
    EXPECT_EQ(mouse->Wheel(), -1); // a step of 0 counts as below 1
}

TEST_F(Mice, LocateAndSetMotionRectRefuseWhatTheyCannotDo) {
    mouse->Locate(159, 119);
    mouse->Locate(50, 120);
    EXPECT_EQ(LastError(), "void Mouse::Locate(unsigned int,unsigned int) | The new location "
                           "(50, 120) of the mouse is outside its motion rect, so it is not set.");
    EXPECT_EQ(mouse->ViewportX(), 159);
    EXPECT_EQ(mouse->ViewportY(), 119);

    KivRect empty = {40, 40, 40, 90};
    for (KivRect* bad : {static_cast<KivRect*>(nullptr), &empty}) {
        mouse->SetMotionRect(bad);
        EXPECT_EQ(LastError(), "void Mouse::SetMotionRect(KivRect *) | The new motion rectangle "
                               "is empty or not provided, so the motion rectangle is not set.");
    }
    EXPECT_TRUE(Same(mouse->MotionRect(), {0, 0, 160, 120}));
    EXPECT_FALSE(mouse->InRect(&empty));
}

TEST_F(Mice, LostDeviceClearsTheButtonsAndIsTakenAgain) {
    Frame({{Middle, 1}});
    headless->mouse.LoseDevice();
    EXPECT_EQ(Frame({{X, 5}}), 0u);
    EXPECT_TRUE(mouse->Nothing());
    EXPECT_EQ(mouse->ViewportX(), 0);
    EXPECT_EQ(Frame({{Left, 1}}), 1u);
    EXPECT_TRUE(mouse->IsTriggered(0));
}

TEST_F(Mice, SavedStateComesBackWithAPendingClick) {
    KivRect r = {5, 5, 100, 100};
    mouse->SetMotionRect(&r);
    mouse->SetSensitivity(2);
    mouse->DoubleClickSpeed(20);
    Frame({{X, 4}, {Left, 1}}); // a first click, waiting for its pair
    {
        File f("mouse.sav", File::Writing);
        mouse->SaveState(f);
    }
    EXPECT_EQ(ReadBytes("mouse.sav").size(), 68u);
    delete mouse;
    mouse = new Mouse(nullptr, nullptr);
    File f("mouse.sav", File::Reading);
    mouse->LoadState(f);
    EXPECT_TRUE(Same(mouse->MotionRect(), r));
    EXPECT_EQ(mouse->ViewportX(), 13);
    EXPECT_EQ(mouse->RelX(), 8);
    EXPECT_EQ(mouse->DoubleClickSpeed(), 20u);
    EXPECT_TRUE(mouse->Nothing()); // buttons are not part of the state
    for (int i = 0; i < 14; ++i)
        Frame();
    Frame({{Left, 1}});
    EXPECT_TRUE(mouse->IsDoubleClicked(0)); // paired with the saved first click
}

TEST(MouseScript, LinesBecomeEventsOfTheirFrames) {
    kiv::platform::headless::HeadlessPlatform p;
    p.mouse.Acquire();
    p.ReadScript("2 mouse click right\n1 mouse move 3 -2\n1 mouse wheel -1\n"
                 "3 mouse down middle\n3 mouse up 2\n2 press A\n"
                 "4 mouse move 0 0\n4 mouse jump\n4 mouse down thumb\n4 mouse move 1\n");
    auto read = [&](std::uint32_t frame) {
        p.StartPass(frame);
        MouseInput events[8];
        unsigned n = 8;
        p.mouse.Read(events, n);
        std::string text;
        for (unsigned i = 0; i < n; ++i)
            text += std::to_string(events[i].what) + ":" + std::to_string(events[i].value) + " ";
        return text;
    };
    EXPECT_EQ(read(1), "0:3 1:-2 2:-120 ");
    EXPECT_EQ(read(2), "4:1 ");
    EXPECT_EQ(read(3), "4:0 5:1 5:0 ");
    EXPECT_EQ(read(4), ""); // no step, and lines not understood
}
