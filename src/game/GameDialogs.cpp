// The file dialogs of saving, loading and replays. Each starts in the current folder, lists
// one kind of file, and refuses a name that does not end in that kind's extension.
#include <kiv/data/File.h>
#include <kiv/game/Game.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>

#include "game/SaveFiles.h"
#include "host/HostGlobals.h"
#include "platform/Platform.h"

#include <string>

namespace {

using namespace kiv;

struct DialogKind {
    bool save;
    const char* filterName;
    const char* pattern;
    const char* extension;
    int wrongExtension; // the message for a name with another extension
};

constexpr DialogKind SaveGameKind{true, "Saved Files (*.sav)", "*.sav", "sav", 117};
constexpr DialogKind LoadGameKind{false, "Load Files (*.sav)", "*.sav", "sav", 118};
constexpr DialogKind SaveReplayKind{true, "Saved Replays (*.rep)", "*.rep", "rep", 119};
constexpr DialogKind LoadReplayKind{false, "Load Replays (*.rep)", "*.rep", "rep", 116};

// The file the player chose, or "" when the dialog was cancelled or the name was refused
// (after its message). The system cursor shows while the dialog is open.
std::string Choose(const DialogKind& kind) {
    platform::FileChoice choice;
    choice.save = kind.save;
    choice.filterName = kind.filterName;
    choice.pattern = kind.pattern;
    choice.extension = kind.extension;
    choice.folder = CurrentDirectory;
    platform::Platform& p = platform::Current();
    p.GetWindow().ShowCursor(true);
    std::string name = p.GetDialogs().ChooseFile(choice);
    p.GetWindow().ShowCursor(_IsWindowed);
    std::string ending = std::string(".") + kind.extension;
    if (!name.empty() && (name.size() < ending.size() ||
                          name.compare(name.size() - ending.size(), ending.size(), ending) != 0)) {
        SaveError(kind.wrongExtension);
        return {};
    }
    return name;
}

} // namespace

// The devices stop while a dialog is open, and start again with no key or button down.
void Game::RunDialog(void (Game::*dialog)()) {
    if (pMouse)
        pMouse->StopReceivingData();
    if (pKeyboard)
        pKeyboard->StopReceivingData();
    (this->*dialog)();
    if (pMouse)
        pMouse->StartReceivingData();
    if (pKeyboard)
        pKeyboard->StartReceivingData();
}

void Game::SaveGameDialog() {
    std::string name = Choose(SaveGameKind);
    if (!name.empty())
        WriteSave(name.c_str(), SaveMagic);
}

void Game::LoadGameDialog() {
    std::string name = Choose(LoadGameKind);
    if (name.empty())
        return;
    File file(name.c_str(), File::Reading);
    if (ReadMagic(file, {SaveMagic, NamedMagic}))
        ReadSave(file);
    else
        SaveError(118);
}

void Game::SaveReplayDialog() {
    std::string name = Choose(SaveReplayKind);
    if (!name.empty())
        SaveReplay(name.c_str());
}

void Game::LoadReplayDialog() {
    std::string name = Choose(LoadReplayKind);
    if (!name.empty())
        LoadReplay(name.c_str(), false);
}
