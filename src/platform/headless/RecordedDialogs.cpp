#include "platform/headless/RecordedDialogs.h"

#include "platform/Dialogs.h"

namespace kiv::platform::headless {

int RecordedDialogs::MessageBox(const char* text, const char* caption, unsigned flags) {
    shown.push_back({text ? text : "", caption ? caption : "", flags});
    EchoMessageBox(text, caption);
    if (answers.empty())
        return (flags & 0xF) == MbYesNo ? IdYes : IdOk;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace kiv::platform::headless
