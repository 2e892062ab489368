#pragma once

#include "platform/Platform.h"

#include <deque>
#include <string>
#include <vector>

namespace kiv::platform::headless {

// Message boxes without a screen: each is recorded, printed to standard error and answered
// from a queue of prepared answers (OK, or the first button, when the queue is empty).
// The dialogs of network levels take their answers, in order, from a queue of texts (the
// input script's "dialog" lines): "host [PORT]", "join HOST:PORT", "choose NAME" or
// "cancel". Without an answer the host-or-join dialog is cancelled and the choice of a
// character takes the first one offered.
class RecordedDialogs : public Dialogs {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags;
    };

    int MessageBox(const char* text, const char* caption, unsigned flags) override;
    int HostOrJoin(unsigned& port, std::string& hostName) override;
    int Choose(const char* caption, const std::vector<std::string>& choices) override;

    void QueueAnswer(int answer) { answers.push_back(answer); }
    void QueueDialogAnswer(const std::string& text) { dialogAnswers.push_back(text); }
    const std::vector<Box>& Shown() const { return shown; }
    void Forget() { shown.clear(); }

private:
    std::vector<Box> shown;
    std::deque<int> answers;
    std::deque<std::string> dialogAnswers;
};

} // namespace kiv::platform::headless
