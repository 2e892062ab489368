// The KivCore showcase: a game whose data comes from showcase.json (compiled by kivc at build
// time) and whose logic is the functions below, named by index in the game's tables.
#include <kiv/Kiv.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

// Behavior and timer functions (FArray).
void ShowPlayTime(void*) {
    static int seconds = 0;
    std::string title = "KivCore showcase - playground, " + std::to_string(++seconds) + " s";
    myGame->Title(title.c_str());
}

// State and edge functions (SMFArray).
void TitleScreen(int entry, void*) {
    if (entry == 1)
        myGame->Title("KivCore showcase - press Enter to play, Escape to quit");
}

bool EnterPressed(void*) {
    return pKeyboard->IsTriggered(DIK_RETURN);
}

void StartPlaying(int entry, void*) {
    if (entry == 1)
        myGame->NextLevel();
}

bool BackspacePressed(void*) {
    return pKeyboard->IsTriggered(DIK_BACK);
}

void Playground(int entry, void*) {
    if (entry == 1)
        myGame->Title("KivCore showcase - playground (Backspace: back to the title)");
}

void BackToTitle(int entry, void*) {
    if (entry == 1)
        myGame->PreviousLevel();
}

// Level functions (LVFArray).
void LoadLevel(GameNode* level) {
    GenerateLevel(level);
    pConsole->Print("Entering %s\n", level->Name());
}

void SetDataPath() {
    // The compiled data lies in "Data" beside the executable.
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        RTDPath = exe.parent_path().c_str();
}

void BuildLogic() {
    FArray = NewVoidPointers(1);
    FArray[0] = reinterpret_cast<void*>(ShowPlayTime);
    maxFIndex = 0;

    // State functions and edge functions share one table; the game data names them by index.
    void* logic[] = {
        reinterpret_cast<void*>(TitleScreen),      reinterpret_cast<void*>(EnterPressed),
        reinterpret_cast<void*>(StartPlaying),     reinterpret_cast<void*>(Playground),
        reinterpret_cast<void*>(BackspacePressed), reinterpret_cast<void*>(BackToTitle)};
    SMFArray = NewVoidPointers(6);
    for (int i = 0; i < 6; ++i)
        SMFArray[i] = logic[i];

    LVFArray = NewVoidPointers(1);
    LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
}

} // namespace

int main(int argc, char** argv) {
    SetDataPathP = SetDataPath;
    LoadGameFileP = [] { CreateBinaryGameFile("showcase.kiv"); };
    ModeP = GenerateMode;
    BuildLogicP = BuildLogic;
    KivP = [] {
        GenerateLevels();
        GenerateLogic();
    };
    OnGameStartP = [] {};
    OnGameEndP = [] {};
    return KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
}
