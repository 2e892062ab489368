#include "platform/InputScript.h"

#include "base/Diagnostics.h"
#include "base/WholeNumber.h"
#include "platform/KeyNames.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace kiv::platform {

namespace {

// The wheel counts in the system's units, 120 a notch, in 32 bits.
constexpr long long WheelUnit = 120;
constexpr long long MostNotches = INT32_MAX / WheelUnit;

bool ReadWindowEvent(const std::string& word, std::istream& rest, WindowEvent& out) {
    std::string what;
    if (word == "focus" && rest >> what && (what == "lost" || what == "gained")) {
        out = what == "lost" ? WindowEvent::FocusLost : WindowEvent::FocusGained;
        return true;
    }
    static const std::pair<const char*, WindowEvent> plain[] = {
        {"minimize", WindowEvent::Minimized},
        {"expose", WindowEvent::Exposed},
        {"close", WindowEvent::CloseRequested}};
    for (const auto& [name, event] : plain)
        if (word == name) {
            out = event;
            return true;
        }
    return false;
}

bool ReadButton(std::istream& words, MouseInput::What& out) {
    static const char* const names[] = {"left", "right", "middle"};
    std::string word;
    if (!(words >> word))
        return false;
    for (int b = 0; b < 3; ++b)
        if (word == names[b] || word == std::to_string(b)) {
            out = static_cast<MouseInput::What>(MouseInput::Button0 + b);
            return true;
        }
    return false;
}

// A signed number of the script; false when the word is missing or out of [lo, hi].
bool ReadNumber(std::istream& words, long long lo, long long hi, long long& out) {
    std::string word;
    return static_cast<bool>(words >> word) && ReadWholeNumber(word, lo, hi, out);
}

} // namespace

bool InputScript::Load(const char* path) {
    std::ifstream in(path);
    if (!in) {
        WriteStandardErrorUtf8(
            ("Cannot read the input script " + std::string(path) + ".\n").c_str());
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    Read(text.str(), path);
    return true;
}

std::string InputScript::ReadMouse(std::istream& words, std::uint32_t frame,
                                   std::vector<Event>& out) {
    auto add = [&](std::uint32_t at, MouseInput::What what, long long value) {
        out.push_back({at, Event::Mouse, {}, {}, false, true, {what, static_cast<int>(value)}, {}});
    };
    std::string action;
    words >> action;
    long long a = 0, b = 0;
    MouseInput::What button = MouseInput::Button0;
    if (action == "move") {
        if (!ReadNumber(words, INT32_MIN, INT32_MAX, a) ||
            !ReadNumber(words, INT32_MIN, INT32_MAX, b))
            return "a move takes two whole numbers of pixels";
        if (a != 0)
            add(frame, MouseInput::X, a);
        if (b != 0)
            add(frame, MouseInput::Y, b);
    } else if (action == "wheel") {
        if (!ReadNumber(words, -MostNotches, MostNotches, a))
            return "the wheel turns by a whole number of notches from " +
                   std::to_string(-MostNotches) + " to " + std::to_string(MostNotches);
        add(frame, MouseInput::Wheel, a * WheelUnit);
    } else if (action == "down" || action == "up" || action == "click") {
        if (!ReadButton(words, button))
            return "the button is left, right or middle";
        add(frame, button, action != "up");
        if (action == "click")
            add(frame + 1, button, 0);
    } else {
        return "the mouse moves, turns its wheel, or has a button down, up or clicked";
    }
    return {};
}

std::string InputScript::ReadLine(std::istream& words, std::uint32_t frame,
                                  std::vector<Event>& out) {
    std::string word, key, state;
    if (!(words >> word))
        return "an event must follow the frame number";
    Event e{frame, Event::Key, {}, {}, false, true, {}, {}};
    if (word == "key" || word == "press") {
        int code = words >> key ? KeyCodeFromName(key.c_str()) : -1;
        if (code < 0)
            return "unknown key \"" + key + "\"";
        bool down = true;
        if (word == "key") {
            if (!(words >> state) || (state != "down" && state != "up"))
                return "a key goes down or up";
            down = state == "down";
        }
        e.key = {static_cast<std::uint8_t>(code), down};
        out.push_back(e);
        if (word == "press") { // down in this frame, up in the next
            e.frame = frame + 1;
            e.key.pressed = false;
            out.push_back(e);
        }
        return {};
    }
    if (word == "mouse")
        return ReadMouse(words, frame, out);
    if (word == "dialog") {
        e.kind = Event::Dialog;
        std::getline(words >> std::ws, e.answer);
        if (e.answer.empty())
            return "a dialog line gives the dialog's answer";
        out.push_back(e);
        return {};
    }
    if (word == "locks") {
        e.kind = Event::Locks;
        if (!(words >> e.caps >> e.num))
            return "locks takes two flags, 0 or 1: caps lock and num lock";
    } else {
        e.kind = Event::Window;
        if (!ReadWindowEvent(word, words, e.window))
            return "unknown event \"" + word + "\"";
    }
    out.push_back(e);
    return {};
}

void InputScript::Read(const std::string& text, const std::string& source) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == '#')
            continue;
        long long frame = 0;
        // A press or a click lets go one frame later: that frame must exist too.
        std::string problem =
            ReadWholeNumber(word, 0, UINT32_MAX - 1, frame)
                ? ReadLine(words, static_cast<std::uint32_t>(frame), events)
                : "a line starts with a frame number from 0 to " + std::to_string(UINT32_MAX - 1);
        if (!problem.empty())
            WriteStandardErrorUtf8((source + ":" + std::to_string(number) + ": " + line + ": " +
                                    problem + "; the line is skipped.\n")
                                       .c_str());
    }
    std::stable_sort(events.begin() + static_cast<long>(next), events.end(),
                     [](const Event& a, const Event& b) { return a.frame < b.frame; });
}

} // namespace kiv::platform
