#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kiv::platform {

// Input played from a script (--input), over either backend: one event per line,
// "<frame> <event>", where the event is
//   key <name|code> down | key <name|code> up | press <name|code> (down, up a frame later)
//   focus lost | focus gained | minimize | expose | close | locks <caps 0/1> <num 0/1>
//   mouse move <dx> <dy> (an X step and a Y step, in the picture's pixels; a 0 step is
//     not sent) | mouse wheel <notches> (positive away from the player)
//   mouse down <button> | mouse up <button> | mouse click <button> (down, up a frame later)
//   dialog <answer> (the next answer of a dialog, in turn: a file dialog's "FILE" or
//     "cancel"; a network level's "host [PORT]", "join HOST:PORT", "choose NAME", "cancel";
//     see platform/headless/RecordedDialogs.h; a relative file name is in the dialog's folder)
// Key names are the DirectInput names without "DIK_" (ESCAPE, F10, RIGHT, A...). Buttons are
// left, right and middle (or 0, 1, 2). Lines starting with '#' are comments. A line that
// cannot be read is reported on standard error and skipped.
class InputScript {
public:
    struct Event {
        std::uint32_t frame;
        enum Kind { Key, Window, Locks, Mouse, Dialog } kind;
        KeyEvent key;
        WindowEvent window;
        bool caps, num;
        MouseInput mouse;
        std::string answer; // a dialog's
    };

    // Reads a script file; false (reported) when it cannot be read.
    bool Load(const char* path);
    // Reads script text; `source` names it in the reports of lines it cannot read.
    void Read(const std::string& text, const std::string& source = "input script");

    // Hands over, oldest first, the events of frames up to `nextFrame` not handed over yet.
    template <class Deliver>
    void Release(std::uint32_t nextFrame, Deliver deliver) {
        for (; next < events.size() && events[next].frame <= nextFrame; ++next)
            deliver(events[next]);
    }

private:
    // The events of one line, appended to `out`; an explanation when the line is refused.
    static std::string ReadLine(std::istream& words, std::uint32_t frame, std::vector<Event>& out);
    static std::string ReadMouse(std::istream& words, std::uint32_t frame, std::vector<Event>& out);

    std::vector<Event> events; // in frame order
    size_t next = 0;
};

} // namespace kiv::platform
