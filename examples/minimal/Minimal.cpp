// A minimal KivCore game: one level with a map, a sprite moved by the arrow keys, a text and
// a sound. Its data is compiled from minimal.json into "Data"; its art lies in "Art Assets".
#include <kiv/Kiv.h>

#include <cstdio>
#include <filesystem>

namespace {

// The hero's behavior (function 0 of the game's function table), run every frame.
void MoveHero(void* object) {
    auto* hero = static_cast<Sprite*>(object);
    float dx = 2.0f * (pKeyboard->IsPressed(DIK_RIGHT) - pKeyboard->IsPressed(DIK_LEFT));
    float dy = 2.0f * (pKeyboard->IsPressed(DIK_DOWN) - pKeyboard->IsPressed(DIK_UP));
    hero->MapPosition(hero->MapPositionX() + dx, hero->MapPositionY() + dy);
    if (pKeyboard->IsTriggered(DIK_SPACE))
        gNode->PlaySFX("beep");
}

// The level's first load function: the level record of its level file.
void LoadLevel(GameNode* level) {
    GenerateLevel(level);
}

// "Data" and "Art Assets" lie beside the executable.
void SetDataPath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        RTDPath = ArtAssetsPath = exe.parent_path().c_str();
}

void BuildLogic() {
    FArray = NewVoidPointers(1);
    FArray[0] = reinterpret_cast<void*>(MoveHero);
    maxFIndex = 0;
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
    LVFArray[1] = reinterpret_cast<void*>(GenerateActors);
}

void SayWhereTheHeroIs() {
    Sprite* hero = Sprite::Search("hero");
    std::printf("hero at %g, %g\n", hero->MapPositionX(), hero->MapPositionY());
}

} // namespace

int main(int argc, char** argv) {
    SetDataPathP = SetDataPath;
    LoadGameFileP = [] { CreateBinaryGameFile("minimal.kiv"); };
    BuildLogicP = BuildLogic;
    OnGameEndP = SayWhereTheHeroIs;
    // ModeP and KivP are left empty: they read the mode, the levels and the logic from the
    // game file.
    return KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
}
