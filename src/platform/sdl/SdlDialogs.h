#pragma once

#include "platform/Platform.h"
#include "platform/ScriptedAnswers.h"

namespace kiv::platform::sdl {

class SdlWindow;

// Message boxes in a window of their own (texts arrive in code page 1252, as games write
// them), echoed on standard error; drawn over the game where SDL cannot show one. The
// host-or-join dialog and the choice of a character are message boxes with a button per
// answer; the port and the host name are asked through the desktop's own entry dialog
// (zenity or kdialog) when one is installed, otherwise drawn over the game. File dialogs are
// the desktop's own (zenity or kdialog) when one is installed, otherwise drawn over the game.
class SdlDialogs : public Dialogs {
public:
    explicit SdlDialogs(SdlWindow& w) : window(w) {}
    int MessageBox(const char* text, const char* caption, unsigned flags) override;
    int HostOrJoin(unsigned& port, std::string& hostName) override;
    int Choose(const char* caption, const std::vector<std::string>& choices) override;
    std::string ChooseFile(const FileChoice& choice) override;
    // The answer an input script gives the next file dialog.
    void QueueFile(const std::string& name) { scripted.Queue(name); }

private:
    SdlWindow& window;
    ScriptedAnswers scripted;
};

} // namespace kiv::platform::sdl
