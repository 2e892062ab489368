#pragma once

#include "platform/Platform.h"

#include <deque>
#include <optional>
#include <string>

namespace kiv::platform {

// The answers an input script gives dialogs ("dialog FILE", "dialog cancel", ...), in turn.
class ScriptedAnswers {
public:
    void Queue(const std::string& text) { texts.push_back(text); }
    // The next answer as the script gives it; nothing when the script has none waiting.
    std::optional<std::string> Next() {
        if (texts.empty())
            return std::nullopt;
        std::string text = texts.front();
        texts.pop_front();
        return text;
    }
    // The next answer as a file dialog returns it: the chosen path, or "" for "cancel".
    std::optional<std::string> Take(const FileChoice& choice) {
        std::optional<std::string> name = Next();
        if (name && *name != "cancel")
            return ChosenPath(*name, choice);
        return name ? std::optional<std::string>(std::string()) : std::nullopt;
    }

private:
    std::deque<std::string> texts;
};

} // namespace kiv::platform
