#include "platform/headless/HeadlessPlatform.h"

#include "platform/KeyNames.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kiv::platform::headless {

HeadlessPlatform& Install() {
    return static_cast<HeadlessPlatform&>(platform::Install(std::make_unique<HeadlessPlatform>()));
}

void HeadlessPlatform::StartPass(std::uint32_t nextFrame) {
    for (; nextEvent < script.size() && script[nextEvent].frame <= nextFrame; ++nextEvent) {
        const Scripted& e = script[nextEvent];
        switch (e.kind) {
        case Scripted::Key:
            input.Push(e.key);
            break;
        case Scripted::Window:
            window.Push(e.window);
            break;
        case Scripted::Locks:
            input.SetLocks(e.caps, e.num);
            break;
        case Scripted::Mouse:
            mouse.Push(e.mouse);
            break;
        }
    }
}

bool HeadlessPlatform::LoadScript(const char* path) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "Cannot read the input script %s.\n", path);
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    ReadScript(text.str());
    return true;
}

namespace {

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

} // namespace

bool HeadlessPlatform::ReadMouse(std::istream& words, std::uint32_t frame,
                                 std::vector<Scripted>& out) {
    auto add = [&](std::uint32_t at, MouseInput::What what, std::int32_t value) {
        Scripted e{at, Scripted::Mouse, {}, {}, false, true, {what, value}};
        out.push_back(e);
    };
    std::string action;
    words >> action;
    std::int32_t a = 0, b = 0;
    MouseInput::What button = MouseInput::Button0;
    if (action == "move" && words >> a >> b) {
        if (a != 0)
            add(frame, MouseInput::X, a);
        if (b != 0)
            add(frame, MouseInput::Y, b);
    } else if (action == "wheel" && words >> a) {
        add(frame, MouseInput::Wheel, a * 120); // the system's units: 120 a notch
    } else if ((action == "down" || action == "up" || action == "click") &&
               ReadButton(words, button)) {
        add(frame, button, action != "up");
        if (action == "click")
            add(frame + 1, button, 0);
    } else {
        return false;
    }
    return true;
}

void HeadlessPlatform::ReadScript(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::uint32_t frame;
        std::string word;
        if (!(words >> word) || word[0] == '#')
            continue;
        std::istringstream frameWord(word);
        bool ok = static_cast<bool>(frameWord >> frame) && static_cast<bool>(words >> word);
        Scripted e{frame, Scripted::Key, {}, {}, false, true, {}};
        std::vector<Scripted> mouseEvents;
        std::string key, state;
        if (ok && (word == "key" || word == "press")) {
            int code = words >> key ? KeyCodeFromName(key.c_str()) : -1;
            bool down = true;
            if (word == "key") {
                ok = static_cast<bool>(words >> state) && (state == "down" || state == "up");
                down = state == "down";
            }
            ok = ok && code >= 0;
            e.key = {static_cast<std::uint8_t>(code), down};
            if (ok && word == "press") {
                script.push_back(e); // down in this frame, up in the next
                e.frame = frame + 1;
                e.key.pressed = false;
            }
        } else if (ok && word == "mouse") {
            ok = ReadMouse(words, frame, mouseEvents);
        } else if (ok && word == "locks") {
            e.kind = Scripted::Locks;
            ok = static_cast<bool>(words >> e.caps >> e.num);
        } else if (ok) {
            e.kind = Scripted::Window;
            ok = ReadWindowEvent(word, words, e.window);
        }
        if (ok && word == "mouse")
            script.insert(script.end(), mouseEvents.begin(), mouseEvents.end());
        else if (ok)
            script.push_back(e);
        else
            std::fprintf(stderr, "Input script line %d not understood: %s\n", number, line.c_str());
    }
    std::stable_sort(script.begin() + static_cast<long>(nextEvent), script.end(),
                     [](const Scripted& a, const Scripted& b) { return a.frame < b.frame; });
}

} // namespace kiv::platform::headless
