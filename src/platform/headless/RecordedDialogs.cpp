#include "platform/headless/RecordedDialogs.h"

#include "base/WholeNumber.h"
#include "platform/Dialogs.h"

#include <cstdio>
#include <optional>
#include <sstream>

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

int RecordedDialogs::HostOrJoin(unsigned& port, std::string& hostName) {
    std::optional<std::string> answer = scripted.Next();
    if (!answer)
        return IdCancel;
    std::istringstream words(*answer);
    std::string what, where;
    words >> what >> where;
    long long number = 0;
    std::string_view host;
    if (what == "host" && (where.empty() || ReadWholeNumber(where, 1, 65535, number))) {
        port = number ? static_cast<unsigned>(number) : port;
        return IdHost;
    }
    if (what == "join" && ReadHostAndPort(where, host, number)) {
        hostName = host;
        port = static_cast<unsigned>(number);
        return IdJoin;
    }
    return IdCancel;
}

int RecordedDialogs::Choose(const char* caption, const std::vector<std::string>& choices) {
    EchoMessageBox("(a choice)", caption);
    std::optional<std::string> answer = scripted.Next();
    if (!answer)
        return choices.empty() ? -1 : 0;
    if (answer->rfind("choose ", 0) != 0)
        return -1;
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i] == answer->substr(7))
            return static_cast<int>(i);
    return -1;
}

std::string RecordedDialogs::ChooseFile(const FileChoice& choice) {
    std::string path = scripted.Take(choice).value_or("");
    choosers.push_back(
        {choice.save, choice.filterName, choice.pattern, choice.extension, choice.folder, path});
    std::fprintf(stderr, "[%s %s] %s\n", choice.save ? "Save" : "Open", choice.filterName,
                 path.empty() ? "(cancelled)" : path.c_str());
    std::fflush(stderr);
    return path;
}

} // namespace kiv::platform::headless
