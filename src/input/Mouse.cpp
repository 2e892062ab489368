#include <kiv/data/File.h>
#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>

#include "base/Messages.h"
#include "graphics/Display.h"
#include "platform/Platform.h"

#include <array>
#include <cstring>

Mouse* pMouse = nullptr;

namespace {

constexpr unsigned int MaxEvents = 256;

// Flags of a recorded frame: the buttons down, and the axes that moved.
constexpr unsigned char RecordedButton[3] = {0x01, 0x02, 0x20};
constexpr unsigned char RecordedMoved[3] = {0x04, 0x08, 0x10}; // X, Y, wheel

// Right and bottom are outside, as in every point test of the system.
bool Inside(const KivRect& r, std::int32_t x, std::int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Whether the game records its input into the running level, or replays it from there.
bool Recording() {
    return myGame && gNode && myGame->Recording();
}
bool Replaying() {
    return myGame && gNode && myGame->Replaying();
}

} // namespace

struct Mouse::Device {
    kiv::platform::MouseSource* source;
    kiv::platform::MouseInput events[MaxEvents];
};

Mouse::Mouse(HWND w, HINSTANCE instance)
    : accuracy(10), windowLow(5), windowHigh(25), frameCounter(0), firstClick{}, doubleClicked{},
      haveWheel(false), sensitivity(1.0f), position{}, rel{}, wheelStep(0),
      window(w), motionRect{0, 0, kiv::ModeWidth, kiv::ModeHeight}, buttons{}, eventCount(0),
      device(new Device{&kiv::platform::Current().GetMouse(), {}}), input(w, instance), moved{},
      replayFrame(0), sums{} {
    haveWheel = device->source->HasWheel();
    StartReceivingData();
}

Mouse::~Mouse() {
    StopReceivingData();
    delete device;
}

unsigned int Mouse::Update(MouseEvent*& out) {
    ++frameCounter;
    for (bool& d : doubleClicked)
        d = false;
    for (std::int32_t& s : sums)
        s = 0;
    eventCount = MaxEvents;
    switch (device->source->Read(device->events, eventCount)) {
    case kiv::platform::MouseSource::Status::Ok:
        break;
    case kiv::platform::MouseSource::Status::NotAcquired:
        eventCount = 0;
        ResetKeys();
        return 0;
    case kiv::platform::MouseSource::Status::InputLost:
        eventCount = 0;
        ResetKeys();
        StartReceivingData(); // acquire again; the next frame reads
        return 0;
    }

    for (bool& m : moved)
        m = false;
    if (Replaying()) {
        eventCount = 0;
        if (!Replay()) {
            // The recording ran out or the player stopped it: back to the game's own pace.
            gNode->FPStoMS(static_cast<unsigned int>(myGame->ReplayFrameRate()));
            replayFrame = 0;
            ResetKeys();
            return 0;
        }
    } else {
        ReadDevice(out);
        if (Recording())
            Record();
    }
    for (kiv::KeyEntry& b : buttons)
        b.NextFrame();
    CountClicks();
    return eventCount;
}

// The step is remembered and added to the position, which stays inside the motion
// rectangle (its right and bottom edges excluded).
void Mouse::MoveAxis(int axis, std::int32_t step) {
    std::int32_t low = axis ? motionRect.top : motionRect.left;
    std::int32_t high = axis ? motionRect.bottom : motionRect.right;
    std::int64_t p = static_cast<std::int64_t>(position[axis]) + step;
    if (p >= high)
        p = static_cast<std::int64_t>(high) - 1;
    else if (p < low)
        p = low;
    position[axis] = static_cast<std::int32_t>(p);
    rel[axis] = step;
    moved[axis] = true;
}

void Mouse::ReadDevice(MouseEvent* out) {
    using Input = kiv::platform::MouseInput;
    std::memset(out, 0, MaxEvents * sizeof(MouseEvent));
    for (unsigned int i = 0; i < eventCount; ++i) {
        const Input& e = device->events[i];
        MouseEvent& record = out[i];
        // Steps scale by the sensitivity, truncated toward zero.
        auto step = static_cast<std::int32_t>(static_cast<float>(e.value) * sensitivity);
        auto low8 = static_cast<std::uint8_t>(step);
        switch (e.what) {
        case Input::X:
            MoveAxis(0, step);
            sums[0] += step;
            record = {MouseEvent::StepX, low8, {}, WorldX()};
            break;
        case Input::Y:
            MoveAxis(1, step);
            sums[1] += step;
            record = {MouseEvent::StepY, low8, {}, WorldY()};
            break;
        case Input::Wheel:
            wheelStep = step;
            moved[2] = true;
            sums[2] += step;
            record = {MouseEvent::StepWheel, low8, {}, 0};
            break;
        case Input::Button0:
        case Input::Button1:
        case Input::Button2: {
            int b = e.what - Input::Button0;
            buttons[b].pressed = e.value != 0;
            record = {
                static_cast<std::uint8_t>(MouseEvent::Button0 << b), buttons[b].pressed, {}, 0};
            break;
        }
        }
    }
}

// Appends this frame to the level's recorded mouse frames.
void Mouse::Record() {
    unsigned char flags = 0;
    for (int b = 0; b < 3; ++b)
        if (buttons[b].pressed)
            flags |= RecordedButton[b];
    for (int m = 0; m < 3; ++m)
        if (moved[m])
            flags |= RecordedMoved[m];
    gNode->RecordedInput().AddMouseFrame(flags, {sums[0], sums[1], sums[2]});
}

// Plays the next recorded frame instead of the device's events; false when none is left or
// the key that stops replays went down.
bool Mouse::Replay() {
    const InputRecording& recorded = gNode->RecordedInput();
    if (replayFrame >= recorded.MouseFlagFrames() || replayFrame >= recorded.MouseStepFrames())
        return false;
    auto exitKey = static_cast<unsigned char>(myGame->ReplayExitKey());
    if (pKeyboard && pKeyboard->IsTriggered(exitKey))
        return false;
    unsigned char f = recorded.MouseFlags(replayFrame);
    const std::array<std::int32_t, 3>& sum = recorded.MouseSteps(replayFrame);
    for (int axis = 0; axis < 2; ++axis) {
        rel[axis] = sum[axis];
        if (f & RecordedMoved[axis])
            MoveAxis(axis, sum[axis]);
    }
    wheelStep = sum[2];
    moved[2] = f & RecordedMoved[2];
    for (int b = 0; b < 3; ++b)
        buttons[b].pressed = f & RecordedButton[b];
    ++replayFrame;
    return true;
}

// A click that starts no pending pair starts one; the next click ends it, as a double click
// when the gap lies inside the window.
void Mouse::CountClicks() {
    for (int b = 0; b < 3; ++b) {
        if (!buttons[b].triggered)
            continue;
        if (firstClick[b]) {
            doubleClicked[b] = InDoubleClickWindow(frameCounter - firstClick[b]);
            firstClick[b] = 0;
        } else {
            firstClick[b] = frameCounter;
        }
    }
}

void Mouse::StartReceivingData() {
    ResetKeys();
    device->source->Acquire();
}

void Mouse::StopReceivingData() {
    device->source->Unacquire();
}

void Mouse::ResetKeys() {
    for (kiv::KeyEntry& b : buttons)
        b = {};
}

bool Mouse::IsPressed(unsigned char b) {
    return b < 3 && buttons[b].pressed;
}

bool Mouse::IsNotPressed(unsigned char b) {
    return !IsPressed(b);
}

bool Mouse::IsTriggered(unsigned char b) {
    return b < 3 && buttons[b].triggered;
}

bool Mouse::IsNotTriggered(unsigned char b) {
    return !IsTriggered(b);
}

bool Mouse::IsDoubleClicked(unsigned char b) {
    return b < 3 && doubleClicked[b];
}

unsigned int Mouse::TapCounter(unsigned char b) {
    return b < 3 ? buttons[b].TapCount() : 0;
}

unsigned int Mouse::HoldCounter(unsigned char b) {
    return b < 3 ? buttons[b].framesHeld : 0;
}

bool Mouse::Nothing() {
    return !Any();
}

bool Mouse::Any() {
    for (const kiv::KeyEntry& b : buttons)
        if (b.pressed)
            return true;
    return false;
}

bool Mouse::GetKey(unsigned char& b) {
    for (unsigned char i = 0; i < 3; ++i)
        if (buttons[i].triggered) {
            b = i;
            return true;
        }
    return false;
}

int Mouse::WorldX() {
    float world = gNode ? gNode->GetViewPort().WorldXPos() : 0;
    return static_cast<int>(world + static_cast<float>(position[0]));
}

int Mouse::WorldY() {
    float world = gNode ? gNode->GetViewPort().WorldYPos() : 0;
    return static_cast<int>(world + static_cast<float>(position[1]));
}

int Mouse::Wheel() const {
    if (!moved[2])
        return 0;
    return wheelStep < 1 ? -1 : 1;
}

bool Mouse::InRect(KivRect* r) const {
    return r && Inside(*r, position[0], position[1]);
}

void Mouse::Locate(unsigned int newX, unsigned int newY) {
    auto px = static_cast<std::int32_t>(newX), py = static_cast<std::int32_t>(newY);
    if (!Inside(motionRect, px, py)) {
        kiv::ReportUserError("void Mouse::Locate(unsigned int,unsigned int)", 28, px, py);
        return;
    }
    position[0] = px;
    position[1] = py;
}

void Mouse::SetMotionRect(KivRect* r) {
    if (!r || r->right <= r->left || r->bottom <= r->top) {
        kiv::ReportUserError("void Mouse::SetMotionRect(KivRect *)", 29);
        return;
    }
    motionRect = *r;
    position[0] = r->left;
    position[1] = r->top;
}

void Mouse::SetSensitivity(int n) {
    static const float factors[] = {1.0f, 0.5f, 2.0f};
    if (n >= 0 && n <= 2)
        sensitivity = factors[n];
}

void Mouse::DoubleClickSpeed(unsigned int s) {
    unsigned int speed = s > accuracy ? s : accuracy;
    windowLow = speed - accuracy;
    windowHigh = speed + accuracy;
}

void Mouse::SaveState(File& f) {
    f.Write(sensitivity);
    for (std::int32_t v : {position[0], position[1], rel[0], rel[1], wheelStep})
        f.Write(v);
    f.Write(motionRect);
    f.Write(moved[0]);
    f.Write(moved[1]);
    for (std::uint32_t v : {accuracy, windowLow, windowHigh})
        f.Write(v);
    f.Write(doubleClicked[0]);
    f.Write(doubleClicked[1]);
    f.Write(firstClick[0]);
    f.Write(firstClick[1]);
    f.Write(frameCounter);
}

void Mouse::LoadState(File& f) {
    f.Read(sensitivity);
    for (std::int32_t* v : {&position[0], &position[1], &rel[0], &rel[1], &wheelStep})
        f.Read(*v);
    f.Read(motionRect);
    f.Read(moved[0]);
    f.Read(moved[1]);
    for (std::uint32_t* v : {&accuracy, &windowLow, &windowHigh})
        f.Read(*v);
    f.Read(doubleClicked[0]);
    f.Read(doubleClicked[1]);
    f.Read(firstClick[0]);
    f.Read(firstClick[1]);
    f.Read(frameCounter);
}
