#include "platform/headless/RecordedDialogs.h"

#include <cstdio>

namespace kiv::platform::headless {

int RecordedDialogs::MessageBox(const char* text, const char* caption, unsigned flags) {
    shown.push_back({text ? text : "", caption ? caption : "", flags});
    std::fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
    if (answers.empty())
        return (flags & 0xF) == MbYesNo ? IdYes : IdOk;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace kiv::platform::headless
