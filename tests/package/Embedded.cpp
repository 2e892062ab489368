// Runs a game from its embedded data and says what it read: the level's name and the text
// of another embedded file.
#include <kiv/Kiv.h>

#include <cstdio>

extern const KivResource gameResources[];
extern const int gameResourceCount;

namespace {

void Load(GameNode* level) {
    GenerateLevel(level);
    File note("note.txt", File::Reading);
    char text[64] = {};
    note.Read(text, static_cast<int>(note.Size() < 63 ? note.Size() : 63));
    std::printf("level %s, note: %s", level->Name(), text);
}

} // namespace

int main(int argc, char** argv) {
    LoadGameFileP = [] { CreateBinaryGameFile("embedded.kiv"); };
    BuildLogicP = [] {
        LVFArray = NewVoidPointers(1);
        LVFArray[0] = reinterpret_cast<void*>(Load);
    };
    KivRegisterResources(gameResources, gameResourceCount);
    return KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
}
