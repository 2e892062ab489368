#include "platform/sdl/SdlDialogs.h"

#include "platform/Cp1252.h"
#include "platform/DesktopChooser.h"
#include "platform/Dialogs.h"
#include "platform/sdl/DrawnQuestions.h"
#include "platform/sdl/SdlFileChooser.h"

#include "base/WholeNumber.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace kiv::platform::sdl {

int SdlDialogs::MessageBox(const char* text, const char* caption, unsigned flags) {
    std::string message = Utf8FromCp1252(text);
    std::string title = Utf8FromCp1252(caption);
    EchoMessageBox(text, caption);

    bool yesNo = (flags & 0xF) == MbYesNo;
    SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IdYes, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IdNo, "No"}};
    SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IdOk,
         "OK"}};
    SDL_MessageBoxData box{};
    box.flags = flags & MbIconError         ? SDL_MESSAGEBOX_ERROR
                : flags & MbIconInformation ? SDL_MESSAGEBOX_INFORMATION
                                            : SDL_MESSAGEBOX_WARNING;
    box.title = title.c_str();
    box.message = message.c_str();
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButton;
    int chosen = yesNo ? IdYes : IdOk;
    if (SDL_ShowMessageBox(&box, &chosen) == 0)
        return chosen < 0 ? (yesNo ? IdNo : IdOk) : chosen;
    if (!yesNo) {
        DrawnButtons(window, caption, text, {"OK"}, 0, 0);
        return IdOk;
    }
    return DrawnButtons(window, caption, text, {"Yes", "No"}, 0, 1) == 0 ? IdYes : IdNo;
}

std::string SdlDialogs::ChooseFile(const FileChoice& choice) {
    if (std::optional<std::string> answer = scripted.Take(choice)) // an input script's
        return *answer;
    if (std::optional<std::string> chosen = DesktopChooseFile(choice))
        return *chosen;
    return DrawnChooseFile(window, choice);
}

} // namespace kiv::platform::sdl

namespace kiv::platform::sdl {

namespace {

// Single quotes for a shell word.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A line of text from the desktop's entry dialog, or from one drawn over the game when the
// desktop has none; false when it is cancelled.
bool AskText(SdlWindow& window, const char* title, const char* question, std::string& text) {
    std::string command;
    if (std::system("command -v zenity >/dev/null 2>&1") == 0)
        command = "zenity --entry --title=" + Quoted(title) + " --text=" + Quoted(question) +
                  " --entry-text=" + Quoted(text);
    else if (std::system("command -v kdialog >/dev/null 2>&1") == 0)
        command = "kdialog --title " + Quoted(title) + " --inputbox " + Quoted(question) + " " +
                  Quoted(text);
    else
        return DrawnAskText(window, title, question, text);
    FILE* answer = popen((command + " 2>/dev/null").c_str(), "r");
    if (!answer)
        return false;
    char line[512] = {};
    bool read = std::fgets(line, sizeof line, answer) != nullptr;
    if (pclose(answer) != 0 || !read)
        return false;
    text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return !text.empty();
}

// A message box with one button per answer, drawn over the game when SDL cannot show one;
// -1 when it is closed.
int Buttons(SdlWindow& window, const char* title, const char* text,
            const std::vector<std::string>& labels) {
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (size_t i = 0; i < labels.size(); ++i)
        buttons.push_back({0, static_cast<int>(i), labels[i].c_str()});
    buttons.front().flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    buttons.back().flags = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_INFORMATION;
    box.title = title;
    box.message = text;
    box.numbuttons = static_cast<int>(buttons.size());
    box.buttons = buttons.data();
    int chosen = -1;
    if (SDL_ShowMessageBox(&box, &chosen) != 0)
        return DrawnButtons(window, title, text, labels, 0, -1);
    return chosen;
}

} // namespace

int SdlDialogs::HostOrJoin(unsigned& port, std::string& hostName) {
    int chosen = Buttons(window, "Network game", "Host a new session, or join one?",
                         {"Host", "Join", "Cancel"});
    if (chosen != 0 && chosen != 1)
        return IdCancel;
    std::string portText = std::to_string(port);
    long long number = 0;
    if (AskText(window, "Network game", "Port:", portText) &&
        ReadWholeNumber(portText, 1, 65535, number))
        port = static_cast<unsigned>(number);
    if (chosen == 1)
        AskText(window, "Network game", "Host name:", hostName);
    return chosen == 0 ? IdHost : IdJoin;
}

int SdlDialogs::Choose(const char* caption, const std::vector<std::string>& choices) {
    // A message box holds a handful of buttons: the first characters offered, and Cancel.
    constexpr size_t Most = 8;
    std::vector<std::string> labels;
    for (size_t i = 0; i < choices.size() && i < Most; ++i)
        labels.push_back(Utf8FromCp1252(choices[i].c_str()));
    labels.emplace_back("Cancel");
    int chosen = Buttons(window, caption, caption, labels);
    return chosen >= 0 && chosen < static_cast<int>(labels.size()) - 1 ? chosen : -1;
}

} // namespace kiv::platform::sdl
