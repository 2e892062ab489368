// A game executable for the tests that run the runtime as a process, made through the public
// interface only. It plays the game that kivc compiled into "Data" of the current folder:
//   function 0        reports a user error once (asks for level 99)
//   state function 0  does nothing; edge function 0 is always true
//   level functions   0 reads the level record, 1 the actor record
// It prints the command line left for it when the game starts.
//   KIV_PROBE_EMPTY=ModeP,KivP,...  callback slots to leave empty
//   KIV_PROBE_DATA=FOLDER           the folder that holds "Data" (RTDPath)
#include <kiv/Kiv.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

char* commandLine = nullptr;

void AskForAMissingLevel(void*) {
    static bool asked = false;
    if (!asked)
        myGame->LevelNumber(99);
    asked = true;
}

void Nothing(int, void*) {}

bool Always(void*) {
    return true;
}

void LoadLevel(GameNode* level) {
    GenerateLevel(level);
}

template <class F>
void* Entry(F* function) {
    return reinterpret_cast<void*>(function);
}

void BuildLogic() {
    FArray = NewVoidPointers(1);
    FArray[0] = Entry(AskForAMissingLevel);
    maxFIndex = 0;
    SMFArray = NewVoidPointers(2);
    SMFArray[0] = Entry(Nothing);
    SMFArray[1] = Entry(Always);
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = Entry(LoadLevel);
    LVFArray[1] = Entry(GenerateActors);
}

// Fills the slot unless the test asks for it to stay empty.
template <class Slot>
void Fill(Slot& slot, const char* name, Slot function) {
    const char* empty = std::getenv("KIV_PROBE_EMPTY");
    if (!empty || std::string(empty).find(name) == std::string::npos)
        slot = function;
}

} // namespace

int main(int argc, char** argv) {
    Fill(SetDataPathP, "SetDataPathP", +[] {
        if (const char* folder = std::getenv("KIV_PROBE_DATA"))
            RTDPath = folder;
    });
    Fill(LoadGameFileP, "LoadGameFileP", +[] { CreateBinaryGameFile("game.kiv"); });
    Fill(ModeP, "ModeP", GenerateMode);
    Fill(BuildLogicP, "BuildLogicP", BuildLogic);
    Fill(KivP, "KivP", +[] {
        GenerateLevels();
        GenerateLogic();
    });
    Fill(OnGameStartP, "OnGameStartP", +[] {
        std::printf("command line: %s\n", commandLine);
        std::fflush(stdout);
    });
    commandLine = KivCommandLine(argc, argv);
    return KivMain(nullptr, nullptr, commandLine, 1);
}
