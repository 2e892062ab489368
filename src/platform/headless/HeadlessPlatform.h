#pragma once

#include "platform/FileInstanceLock.h"
#include "platform/headless/HeadlessAudio.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/RecordedDialogs.h"
#include "platform/headless/ScriptedInput.h"
#include "platform/headless/ScriptedMouse.h"
#include "platform/headless/VirtualClock.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace kiv::platform::headless {

// The deterministic backend: virtual time, recorded dialogs, frames kept in memory, input
// and window events from a script.
class HeadlessPlatform : public Platform {
public:
    const char* Name() const override { return "headless"; }
    Clock& GetClock() override { return clock; }
    Dialogs& GetDialogs() override { return dialogs; }
    InstanceLock& GetInstanceLock() override { return lock; }
    Window& GetWindow() override { return window; }
    Presenter& GetPresenter() override { return presenter; }
    InputSource& GetInput() override { return input; }
    MouseSource& GetMouse() override { return mouse; }
    AudioOutput& GetAudio() override { return audio; }
    // Releases the scripted events of frames up to `nextFrame`.
    void StartPass(std::uint32_t nextFrame) override;

    // Reads an input script: one event per line, "<frame> <event>", where the event is
    //   key <name|code> down | key <name|code> up | press <name|code> (down, up a frame later)
    //   focus lost | focus gained | minimize | expose | close | locks <caps 0/1> <num 0/1>
    //   mouse move <dx> <dy> (an X step and a Y step, in the picture's pixels; a 0 step is
    //     not sent) | mouse wheel <notches> (positive away from the player)
    //   mouse down <button> | mouse up <button> | mouse click <button> (down, up a frame later)
    // Key names are the DirectInput names without "DIK_" (ESCAPE, F10, RIGHT, A...). Buttons
    // are left, right and middle (or 0, 1, 2).
    // Lines starting with '#' are comments. A line it cannot read is reported on standard
    // error and skipped; false when the file cannot be read.
    bool LoadScript(const char* path);
    // The same, from text.
    void ReadScript(const std::string& text);

    VirtualClock clock;
    RecordedDialogs dialogs;
    FileInstanceLock lock;
    HeadlessWindow window;
    HeadlessPresenter presenter;
    ScriptedInput input;
    ScriptedMouse mouse;
    HeadlessAudio audio{clock};

private:
    struct Scripted {
        std::uint32_t frame;
        enum Kind { Key, Window, Locks, Mouse } kind;
        KeyEvent key;
        WindowEvent window;
        bool caps, num;
        MouseInput mouse;
    };
    // The events of a "mouse" line, appended to `out`; false when the line is not understood.
    static bool ReadMouse(std::istream& words, std::uint32_t frame, std::vector<Scripted>& out);

    std::vector<Scripted> script; // in frame order
    size_t nextEvent = 0;
};

// Makes a fresh headless backend current and returns it.
HeadlessPlatform& Install();

} // namespace kiv::platform::headless
