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

} // namespace

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
        Scripted e{frame, Scripted::Key, {}, {}, false, true};
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
        } else if (ok && word == "locks") {
            e.kind = Scripted::Locks;
            ok = static_cast<bool>(words >> e.caps >> e.num);
        } else if (ok) {
            e.kind = Scripted::Window;
            ok = ReadWindowEvent(word, words, e.window);
        }
        if (ok)
            script.push_back(e);
        else
            std::fprintf(stderr, "Input script line %d not understood: %s\n", number, line.c_str());
    }
    std::stable_sort(script.begin() + static_cast<long>(nextEvent), script.end(),
                     [](const Scripted& a, const Scripted& b) { return a.frame < b.frame; });
}

} // namespace kiv::platform::headless
