#pragma once

#include "platform/Platform.h"

namespace kiv::platform::sdl {

// Message boxes in a window of their own (texts arrive in code page 1252, as games write
// them); on standard error when no window can be shown. The host-or-join dialog and the
// choice of a character are message boxes with a button per answer; the port and the host
// name are asked through the desktop's own entry dialog (zenity or kdialog) when one is
// installed, and keep their defaults otherwise.
class SdlDialogs : public Dialogs {
public:
    int MessageBox(const char* text, const char* caption, unsigned flags) override;
    int HostOrJoin(unsigned& port, std::string& hostName) override;
    int Choose(const char* caption, const std::vector<std::string>& choices) override;
};

} // namespace kiv::platform::sdl
