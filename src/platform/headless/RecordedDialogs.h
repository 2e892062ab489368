#pragma once

#include "platform/Platform.h"

#include <deque>
#include <string>
#include <vector>

namespace kiv::platform::headless {

// Message boxes without a screen: each is recorded, printed to standard error and answered
// from a queue of prepared answers (OK, or the first button, when the queue is empty).
class RecordedDialogs : public Dialogs {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags;
    };

    int MessageBox(const char* text, const char* caption, unsigned flags) override;

    void QueueAnswer(int answer) { answers.push_back(answer); }
    const std::vector<Box>& Shown() const { return shown; }
    void Forget() { shown.clear(); }

private:
    std::vector<Box> shown;
    std::deque<int> answers;
};

} // namespace kiv::platform::headless
