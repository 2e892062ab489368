#include "platform/sdl/SdlDialogs.h"

#include "platform/Cp1252.h"
#include "platform/Dialogs.h"

#include <SDL.h>

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
    if (SDL_ShowMessageBox(&box, &chosen) != 0 || chosen < 0)
        chosen = yesNo ? IdNo : IdOk;
    return chosen;
}

} // namespace kiv::platform::sdl
