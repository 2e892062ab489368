#pragma once

#include <kiv/base/Types.h>
#include <kiv/input/DirectInput.h>
#include <kiv/input/KeyEntry.h>

#include <cstdint>

class File;

// One mouse event as the frame loop hands it on (network peers receive these 8 bytes).
struct MouseEvent {
    enum Kind : std::uint8_t {
        StepX = 1,
        StepY = 2,
        StepWheel = 4,
        Button0 = 8,
        Button1 = 0x10,
        Button2 = 0x20,
    };
    std::uint8_t kind;
    // The step's low 8 bits for X, Y and the wheel; 1 pressed / 0 released for a button.
    std::uint8_t value;
    std::uint8_t padding[2];
    // For X and Y: the new position in world coordinates; 0 otherwise.
    std::int32_t position;
};
static_assert(sizeof(MouseEvent) == 8, "network peers exchange 8-byte mouse events");

// The mouse as the game sees it: read once per frame, a position kept inside a motion
// rectangle, this frame's steps and wheel, and three buttons (0 left, 1 right, 2 middle)
// counted like keys, with double clicks measured in frames.
class KIV_API Mouse {
public:
    Mouse(HWND window, HINSTANCE instance);
    ~Mouse();

    Mouse(const Mouse&) = delete;
    Mouse& operator=(const Mouse&) = delete;

    // Reads this frame's events. `out` must point at room for 256 records: the area is
    // cleared and one record per event written from its start. Returns the number of events
    // (0 while a replay feeds the mouse).
    unsigned int Update(MouseEvent*& out);
    // Clears the buttons and starts reading the device.
    void StartReceivingData();
    void StopReceivingData();
    void ResetKeys();

    // Buttons 0 to 2; any other number is never down.
    bool IsPressed(unsigned char b);
    bool IsNotPressed(unsigned char b);
    bool IsTriggered(unsigned char b);
    bool IsNotTriggered(unsigned char b);
    // The second click of a pair whose gap lies in the double-click window, this frame.
    bool IsDoubleClicked(unsigned char b);
    unsigned int TapCounter(unsigned char b);
    unsigned int HoldCounter(unsigned char b);
    // No button is down / some button is down.
    bool Nothing();
    bool Any();
    // The lowest button that went down this frame; false when none did.
    bool GetKey(unsigned char& b);

    // The position on the screen, and in the world (the viewport's world position added).
    int ViewportX() const { return position[0]; }
    int ViewportY() const { return position[1]; }
    int WorldX();
    int WorldY();
    int X() { return WorldX(); }
    int Y() { return WorldY(); }
    // This frame's step of an axis (0 when it did not move).
    int RelX() const { return moved[0] ? rel[0] : 0; }
    int RelY() const { return moved[1] ? rel[1] : 0; }
    // -1 or +1 when the wheel turned this frame (down or up), else 0.
    int Wheel() const;
    bool IsMoving() const { return moved[0] || moved[1]; }
    bool InRect(KivRect* r) const;
    bool HaveWheel() const { return haveWheel; }

    // Moves the position to (x, y) when that lies inside the motion rectangle (user error
    // 28 otherwise).
    void Locate(unsigned int x, unsigned int y);
    // Keeps the position inside r from now on, starting at its top-left corner (user error
    // 29 for a missing or empty rectangle).
    void SetMotionRect(KivRect* r);
    const KivRect& MotionRect() const { return motionRect; }
    // 0: steps as the device gives them; 1: halved; 2: doubled. Other values change nothing.
    void SetSensitivity(int n);
    // The double-click window is speed ± accuracy frames (speed at least the accuracy).
    void DoubleClickSpeed(unsigned int s);
    unsigned int DoubleClickSpeed() const { return windowLow + accuracy; }
    // Takes effect at the next DoubleClickSpeed.
    void DoubleClickAccuracy(unsigned int a) { accuracy = a; }
    unsigned int DoubleClickAccuracy() const { return accuracy; }
    // Whether two clicks `gap` frames apart make a double click.
    bool InDoubleClickWindow(std::uint32_t gap) const {
        return windowLow <= gap && gap <= windowHigh;
    }

    // The mouse's part of a level's saved record, and reading it back.
    void SaveState(File& file);
    void LoadState(File& file);

private:
    struct Device;

    // Axis 0 is X, 1 is Y.
    void MoveAxis(int axis, std::int32_t step);
    void ReadDevice(MouseEvent* out);
    bool Replay();
    void Record();
    void CountClicks();

    std::uint32_t accuracy;
    std::uint32_t windowLow;
    std::uint32_t windowHigh;
    std::uint32_t frameCounter;
    std::uint32_t firstClick[3];
    bool doubleClicked[3];
    bool haveWheel;
    float sensitivity;
    std::int32_t position[2];
    std::int32_t rel[2];
    std::int32_t wheelStep;
    HWND window;
    KivRect motionRect;
    kiv::KeyEntry buttons[3];
    std::uint32_t eventCount;
    Device* device;
    DirectInput input;
    bool moved[3]; // X, Y, wheel
    std::uint32_t replayFrame;
    // This frame's sums of the X, Y and wheel steps, for recordings.
    std::int32_t sums[3];
};

extern KIV_API Mouse* pMouse;
