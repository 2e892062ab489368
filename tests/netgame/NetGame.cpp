// A game executable for the network tests, made through the public interface only. Its
// levels: "Duel" (2 players), "Melee" (4 players) and "Trio" (2 needed, 3 at most), network
// levels in which every player moves its own hero with the arrow keys; "Lobby", where a
// network game falls back to.
// Each level reports "load <name>" when it starts.
//   KIV_NET_LEVEL=Melee        start with that level instead of the first
//   KIV_NET_FRAMES=N           quit after N frames of network play
//   KIV_NET_HOLD=FILE          with KIV_NET_FRAMES, play on past N frames until FILE exists
//   KIV_NET_QUIT_IN_LOBBY=1    quit as soon as the lobby starts
#include <kiv/Kiv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

unsigned long playFrames = 0;

// Every hero moves by its own player's keys, as the session delivers them.
void MoveHero(void* object) {
    auto* hero = static_cast<Sprite*>(object);
    float dx = 2.0f * (hero->Keyboard_IsPressed(DIK_RIGHT) - hero->Keyboard_IsPressed(DIK_LEFT));
    float dy = 2.0f * (hero->Keyboard_IsPressed(DIK_DOWN) - hero->Keyboard_IsPressed(DIK_UP));
    hero->MapPosition(hero->MapPositionX() + dx, hero->MapPositionY() + dy);
    if (std::strcmp(hero->Name(), "hero1") != 0)
        return;
    const char* limit = std::getenv("KIV_NET_FRAMES");
    const char* hold = std::getenv("KIV_NET_HOLD");
    if (limit && ++playFrames >= std::strtoul(limit, nullptr, 10) &&
        (!hold || access(hold, F_OK) == 0))
        myGame->EndGame();
}

void LoadLevel(GameNode* level) {
    GenerateLevel(level);
    std::printf("load %s\n", level->Name());
    std::fflush(stdout);
    if (std::strcmp(level->Name(), "Lobby") == 0 && std::getenv("KIV_NET_QUIT_IN_LOBBY"))
        myGame->EndGame();
}

void BuildLogic() {
    FArray = NewVoidPointers(1);
    FArray[0] = reinterpret_cast<void*>(MoveHero);
    maxFIndex = 0;
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
    LVFArray[1] = reinterpret_cast<void*>(GenerateActors);
}

} // namespace

int main(int argc, char** argv) {
    SetDataPathP = [] {
        RTDPath = KIV_NETGAME_DATA;
        ArtAssetsPath = KIV_NETGAME_ART;
    };
    LoadGameFileP = [] { CreateBinaryGameFile("netgame.kiv"); };
    BuildLogicP = BuildLogic;
    OnGameStartP = [] {
        if (const char* name = std::getenv("KIV_NET_LEVEL"))
            myGame->LevelName(name);
    };
    return KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
}
