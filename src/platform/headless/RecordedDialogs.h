#pragma once

#include "platform/Platform.h"
#include "platform/ScriptedAnswers.h"

#include <deque>
#include <string>
#include <vector>

namespace kiv::platform::headless {

// Dialogs without a screen: each is recorded, printed to standard error and answered from a
// queue of prepared answers. A message box with no answer queued takes OK or its first
// button. The other dialogs take their answers, in order, from a queue of texts (the input
// script's "dialog" lines): a file dialog "FILE" or "cancel"; the dialogs of network levels
// "host [PORT]", "join HOST:PORT", "choose NAME" or "cancel". Without an answer a file
// dialog and the host-or-join dialog are cancelled and the choice of a character takes the
// first one offered.
class RecordedDialogs : public Dialogs {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned flags;
    };
    // A file dialog as it was asked for, and the path it answered ("" when cancelled).
    struct Chooser {
        bool save;
        std::string filterName;
        std::string pattern;
        std::string extension;
        std::string folder;
        std::string answer;
    };

    int MessageBox(const char* text, const char* caption, unsigned flags) override;
    int HostOrJoin(unsigned& port, std::string& hostName) override;
    int Choose(const char* caption, const std::vector<std::string>& choices) override;
    std::string ChooseFile(const FileChoice& choice) override;

    void QueueAnswer(int answer) { answers.push_back(answer); }
    void QueueDialogAnswer(const std::string& text) { scripted.Queue(text); }
    const std::vector<Box>& Shown() const { return shown; }
    const std::vector<Chooser>& Choosers() const { return choosers; }
    void Forget() {
        shown.clear();
        choosers.clear();
    }

private:
    std::vector<Box> shown;
    std::vector<Chooser> choosers;
    std::deque<int> answers;
    ScriptedAnswers scripted;
};

} // namespace kiv::platform::headless
