// The KivCore showcase: a game whose data comes from showcase.json (compiled by kivc at build
// time), whose art is drawn by showcase_art at build time, and whose logic is the functions
// below, named by index in the game's tables.
#include "WorldLayout.h"

#include <kiv/Kiv.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

constexpr float RunSpeed = 3;
constexpr float JumpSpeed = 11.5f;
constexpr float BumpSpeed = 5;
constexpr float GravityPercent = 40; // g = 0.4 pixels per frame per frame
constexpr int Unhurt = 120;          // frames the hero passes through the slime after a bump

// Collision IDs of the world's scenery: what the hero walks on, and walls.
constexpr int Walkable = 1;
constexpr int Wall = 3;

// Hot spot 1 of the hero's frames: the middle of its feet.
constexpr unsigned int Feet = 1;

// Directions of look-ahead and rays.
constexpr unsigned int Right = 0, Left = 1, Down = 2;

// What the hero's controller found this frame; the hero's state machine reads it.
struct Hero {
    bool grounded = true;
    bool running = false;
    bool steered = false; // steered once in the air since it left the ground
    bool walled = false;  // running against a wall
    int unhurt = 0;
} hero;

int score = 0;
int seconds = 0;
bool showCollision = false;

// What the logic works with, found once when a level starts rather than by name each frame.
struct Level {
    SpritePTR hero;
    MapPTR world;
    VariablePTR score, clock, play, quit;
    ParticleSystemPTR sparkle; // the spare system each collected coin gets a copy of
} found;

// A loaded game brings new objects: they are found again before the logic next runs.
bool foundStale = false;

void Find(GameNode* level) {
    found = Level();
    if (level->NetworkLevel()) // the arena's logic finds its own
        return;
    if (level->Id() == 1) {
        found.play = Variable::Search("play");
        found.quit = Variable::Search("quit");
    } else {
        found.hero = Sprite::Search("hero");
        found.world = Map::Search("world");
        found.score = Variable::Search("score");
        found.clock = Variable::Search("clock");
        found.sparkle = ParticleSystem::Search("sparkle");
    }
}

Level& Found() {
    if (foundStale) {
        foundStale = false;
        Find(gNode);
    }
    return found;
}

// ---- behavior and timer functions (FArray) ----

void ShowPlayTime(void*) {
    *Found().clock = ("Time: " + std::to_string(++seconds) + " s").c_str();
}

// Off the ground: the engine's gravity carries the hero along a parabola from its present
// motion; a move cut by the scenery is its landing or a wall.
void Leap(Sprite* s, float dx, float dy, float speed) {
    s->VectorDirection(dx, dy, 0);
    s->Speed(speed);
    s->Gravity(true, GravityPercent);
    hero.grounded = false;
}

// A wall right beside the hero on that side (-1 left, 1 right).
bool WallBeside(Sprite* s, int direction) {
    return direction && s->LookAheadCollisionWithMap(direction > 0 ? Right : Left, 1, Wall);
}

// Ground under the feet: a look-ahead of a few pixels down finds the scenery.
bool GroundBelow(Sprite* s) {
    return s->LookAheadCollisionWithMap(Down, 2, Walkable);
}

// On the ground the hero runs along the scenery under its feet (path following gives the
// slope's direction), and the engine's collisions stop it at walls. A run blocked by no wall
// was caught on a step of the ground: the hero climbs it.
void Walk(Sprite* s, int direction) {
    bool walled = s->CollisionWithMap() && WallBeside(s, direction);
    if (walled && !hero.walled)
        pConsole->Print("A wall stops the hero\n");
    hero.walled = walled;
    if (!direction) {
        s->Speed(0);
        return;
    }
    if (s->CollisionWithMap() && !walled)
        s->MapPositionY(s->MapPositionY() - 1);
    if (direction > 0)
        s->FollowPathRight(Walkable, Down, Feet, showCollision, 0xFFFF);
    else
        s->FollowPathLeft(Walkable, Down, Feet, showCollision, 0xFFFF);
    s->Speed(RunSpeed);
}

// The slime bumps the hero up and away; for a while after, the hero passes through it.
void Bump(Sprite* s) {
    Sprite* slime = s->CollisionWithSpritePtr("slime");
    if (!slime || hero.unhurt)
        return;
    float away = s->Left(slime) ? 1.0f : -1.0f;
    Leap(s, away, -1, BumpSpeed);
    s->GhostCollisionWithSprite(true);
    hero.unhurt = Unhurt;
    gNode->PlaySFX("jump");
    pConsole->Print("The slime bumps the hero\n");
}

// Runs with the arrow keys, jumps with Space or Up (straight up beside a wall, and once in
// the air, at the top of the jump, towards the way pressed); the rest is the engine's
// collisions: standing and walking on the scenery, landing, walls, the slime.
void HeroControl(void* object) {
    auto* s = static_cast<Sprite*>(object);
    int direction = pKeyboard->IsPressed(DIK_RIGHT) - pKeyboard->IsPressed(DIK_LEFT);
    hero.running = direction != 0;
    if (hero.unhurt && --hero.unhurt == 0)
        s->GhostCollisionWithSprite(false);
    Bump(s);
    if (!hero.grounded) {
        if (s->CollisionWithMap() && s->TranslationY() >= 0 && GroundBelow(s)) {
            s->Gravity(false, 0);
            hero.grounded = true;
            hero.steered = false;
        } else if (direction && !hero.steered && s->TranslationY() >= 0) {
            Leap(s, static_cast<float>(direction), 0, RunSpeed);
            hero.steered = true;
        }
        return;
    }
    if (pKeyboard->IsTriggered(DIK_SPACE) || pKeyboard->IsTriggered(DIK_UP)) {
        float across = WallBeside(s, direction) ? 0.0f : 0.33f * static_cast<float>(direction);
        Leap(s, across, -1, JumpSpeed);
        gNode->PlaySFX("jump");
    } else if (!GroundBelow(s)) {
        Leap(s, s->DirectionX(), s->DirectionY(), s->Speed()); // off an edge
    } else {
        Walk(s, direction);
    }
}

// The bee flies after the hero and hovers once it is close.
void BeeFollow(void* object) {
    auto* bee = static_cast<Sprite*>(object);
    Sprite* target = Found().hero;
    if (bee->Distance(target) < 48) {
        bee->Speed(0);
        return;
    }
    bee->Speed(2.5f);
    bee->Follow(target, 0, 0, 4);
    bee->HFlip(bee->DirectionX() < 0);
}

// The slime walks its movement pattern along the hills.
void SlimeWalk(void* object) {
    auto* slime = static_cast<Sprite*>(object);
    int middle = static_cast<int>(slime->MapPositionX()) + 16;
    slime->MapPositionY(static_cast<float>(showcase::GroundY(middle)) - 24);
}

// A burst of sparkles at (x, y) on the world: a copy of the spare system, which removes
// itself once its sparkles have faded.
void Sparkle(float x, float y) {
    ParticleSystem* burst = Found().sparkle->CreateParticleSystem();
    if (!burst)
        return;
    burst->Name("burst");
    burst->Unused(false);
    burst->MapPosition(x, y);
}

// A coin touched by the hero chimes, sparkles and goes away: the hero's sprite collision
// tells the coin too.
void CoinCheck(void* object) {
    auto* coin = static_cast<Sprite*>(object);
    if (!coin->CollisionWithSprite("hero"))
        return;
    gNode->PlaySFX("coin");
    Sparkle(coin->MapPositionX() + 8, coin->MapPositionY() + 8);
    coin->DeleteFlag(true);
    score += 10;
    *Found().score = ("Score: " + std::to_string(score)).c_str();
    pConsole->Print("Coin collected, score %d\n", score);
}

// The bird flies its network of stations: at rest at a station, it sets off on the shortest
// route to the station two further on.
void BirdFlight(void* object) {
    auto* bird = static_cast<Sprite*>(object);
    PathStateMachineTraverser* t = bird->Traverser();
    if (!t || t->ShortPath())
        return;
    int here = bird->NearestStationNumber(true);
    bird->ShortestPath(static_cast<unsigned int>((here + 2) % 4));
}

// C shows and hides the collision layer: the world's shapes, the sprites' shapes and boxes,
// the hero's rays and the bird's path network.
void ToggleCollision(void*) {
    if (!pKeyboard->IsTriggered(DIK_C))
        return;
    showCollision = !showCollision;
    Found().world->ShowMapCollision(showCollision);
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            s->ShowSpriteCollision(showCollision);
            s->ShowSpriteBoundingBox(showCollision);
            s->ShowPath(showCollision);
        }
}

// The title fades out (full screen) or closes in a black circle (a window has no gamma
// ramp); the playground starts once the effect is over.
void LeaveTitle() {
    if (myGame->LevelChangePending())
        return;
    if (myGame->IsFullScreen()) {
        Effect_GammaRamp->Stop(); // the playground may still be fading in
        Effect_GammaRamp->FadeOut(30, 0, false);
    } else {
        Effect_OpenClose->Stop(); // the title may still be opening up
        Effect_OpenClose->CircleClose(0x000000, 30, 5);
    }
    myGame->NextLevel();
}

// The playground dissolves into black cells before the title comes back.
void LeaveForTitle() {
    if (myGame->LevelChangePending())
        return;
    Effect_OpenClose->Stop();
    Effect_RandomDissolve->OneColor(0x000000, 40, 5);
    myGame->PreviousLevel();
}

// The title's menu: the item under the cursor turns yellow; a left click chooses it.
void TitleMenu(void*) {
    struct Item {
        VariablePTR& text;
        KivRect place;
        void (*choose)();
    };
    const Item items[] = {{Found().play, {200, 288, 300, 326}, LeaveTitle},
                          {found.quit, {340, 288, 440, 326}, [] { myGame->EndGame(); }}};
    if (pKeyboard->IsTriggered(DIK_N) && !myGame->LevelChangePending())
        myGame->LevelName("Arena"); // the network game for two players
    for (const Item& item : items) {
        bool over = pKivCursor && pKivCursor->InRect(item.place);
        item.text->Color(over ? 0x00FFFF : 0xFFFFFF);
        if (over && pMouse->IsTriggered(0))
            item.choose();
    }
}

// In the arena, a network level for two players, each hero walks by its own player's arrow
// keys, as the session hands them to its sprite; it faces the way it goes.
void ArenaWalk(void* object) {
    auto* hero = static_cast<Sprite*>(object);
    int dx = hero->Keyboard_IsPressed(DIK_RIGHT) - hero->Keyboard_IsPressed(DIK_LEFT);
    int dy = hero->Keyboard_IsPressed(DIK_DOWN) - hero->Keyboard_IsPressed(DIK_UP);
    float x = std::clamp(hero->MapPositionX() + 3.0f * static_cast<float>(dx), 0.0f, 608.0f);
    float y = std::clamp(hero->MapPositionY() + 3.0f * static_cast<float>(dy), 0.0f, 432.0f);
    hero->MapPosition(x, y);
    if (dx != 0)
        hero->HFlip(dx < 0);
}

// S saves the frame as showcase.bmp in the current folder.
void SaveScreenShotKey(void*) {
    if (pKeyboard->IsTriggered(DIK_S))
        ScreenShotBMP("showcase");
}

// ---- particle functions (FArray) ----

// Snow falls over the part of the world in view, settles on the ground and the platforms,
// and melts away to fall again from the top of the view. Particles are placed in the
// system's own axes: its origin is the world's top-left corner and Y points up.
void SnowFrom(Particle* p, float top) {
    ViewPort& view = gNode->GetViewPort();
    p->CheckCollisionWithMap(false); // forgets where it rested
    p->CheckCollisionWithMap(true);
    p->Position(view.WorldXPos() + RandFlt(640), -(view.WorldYPos() + top));
    p->Angle(265 + RandFlt(10));
    p->Velocity(0.4f + RandFlt(0.6f));
}

void SnowInit(Particle* p) {
    p->MaximumAge(240 + RandInt(240));
    p->Color(0xFFFFFF, 0xE0C8C8);
    p->Size(RandInt(3) == 0 ? 2 : 1);
    SnowFrom(p, RandFlt(480));
}

void SnowFall(Particle* p) {
    if (!p->Dead())
        return;
    p->MaximumAge(240 + RandInt(240)); // born again
    SnowFrom(p, 0);
}

// Sparkles fly up and out, fading from gold to white.
void SparkleInit(Particle* p) {
    p->Position(0, 0);
    p->Angle(20 + RandFlt(140));
    p->Velocity(1 + RandFlt(2.5f));
    p->MaximumAge(20 + RandInt(20));
    p->Color(0x00D7FF, 0xFFFFFF);
    p->Size(2);
}

// Each sparkle twinkles, hidden now and then.
void SparkleTwinkle(Particle* p) {
    p->Visible(RandInt(4) != 0);
}

// ---- state and edge functions (SMFArray) ----

void TitleScreen(int entry, void*) {
    if (entry == 1)
        myGame->Title("KivCore showcase - press Enter to play, Escape to quit");
}

bool EnterPressed(void*) {
    return pKeyboard->IsTriggered(DIK_RETURN);
}

void StartPlaying(int entry, void*) {
    if (entry == 1)
        LeaveTitle();
}

bool BackspacePressed(void*) {
    return pKeyboard->IsTriggered(DIK_BACK);
}

void Playground(int entry, void*) {
    if (entry == 1)
        myGame->Title("KivCore showcase - arrows run, Space jumps, C shows collision, Backspace: "
                      "title");
}

void BackToTitle(int entry, void*) {
    if (entry == 1)
        LeaveForTitle();
}

void HeroIdle(int entry, void* object) {
    if (entry == 1)
        static_cast<Sprite*>(object)->Animation(0);
}

void HeroRun(int entry, void* object) {
    if (entry == 1)
        static_cast<Sprite*>(object)->Animation(1);
}

void HeroJump(int entry, void* object) {
    if (entry == 1)
        static_cast<Sprite*>(object)->Animation(2);
}

bool IsRunning(void*) {
    return hero.grounded && hero.running;
}

bool IsStanding(void*) {
    return hero.grounded && !hero.running;
}

bool IsAirborne(void*) {
    return !hero.grounded;
}

// ---- level functions (LVFArray) ----

// The world's collision layer. Whatever the hero stands on faces up (drawn from right to
// left): the grass line in steps of 16 pixels, the platforms' tops (which the hero jumps up
// through) and the pillars' tops. The pillars' sides are walls facing out.
void AddWorldCollision() {
    Map* world = found.world;
    auto add = [world](int x1, int y1, int x2, int y2, int id) {
        world->AddCollisionData(CollisionSegment(static_cast<float>(x1), static_cast<float>(y1),
                                                 static_cast<float>(x2), static_cast<float>(y2), id,
                                                 0, 0));
    };
    for (int x = 0; x < showcase::WorldWidth; x += 16) {
        int x2 = std::min(x + 16, showcase::WorldWidth - 1);
        add(x2, showcase::GroundY(x2), x, showcase::GroundY(x), Walkable);
    }
    for (int k = 0; k < showcase::Platforms; ++k) {
        showcase::Platform p = showcase::PlatformAt(k);
        add(p.x + showcase::PlatformWidth, p.y, p.x, p.y, Walkable);
    }
    for (int k = 0; k < showcase::Pillars; ++k) {
        int left = showcase::PillarX(k), right = left + showcase::PillarWidth;
        int top = showcase::PillarTop(k);
        add(right, top, left, top, Walkable);
        add(left, top, left, showcase::GroundY(left), Wall);
        add(right, showcase::GroundY(right), right, top, Wall);
    }
}

void LoadLevel(GameNode* level) {
    GenerateLevel(level);
    pConsole->Print("Entering %s\n", level->Name());
    Find(level);
    foundStale = false;
    if (level->NetworkLevel()) {
        myGame->Title("KivCore showcase - network arena: arrows walk your hero");
    } else if (level->Id() == 1) {
        level->PlayMidiFile("theme");
        Effect_OpenClose->RectOpen(0x000000, 20);
    } else {
        if (myGame->IsFullScreen())
            Effect_GammaRamp->FadeIn(30);
        else
            Effect_OpenClose->CircleOpen(0x000000, 30);
        hero = Hero();
        score = seconds = 0;
        showCollision = false;
        AddWorldCollision();
        level->PlayMusic("wind");
    }
}

// The game's own part of a saved game (F5, and the start of a recording): the hero's
// controller, the score, the clock and whether the collision layer shows. The level and its
// objects are saved by the runtime.
void SaveState(File& file) {
    file.Write(hero.grounded);
    file.Write(hero.running);
    file.Write(hero.steered);
    file.Write(hero.walled);
    file.Write(hero.unhurt);
    file.Write(score);
    file.Write(seconds);
    file.Write(showCollision);
}

void LoadState(File& file) {
    file.Read(hero.grounded);
    file.Read(hero.running);
    file.Read(hero.steered);
    file.Read(hero.walled);
    file.Read(hero.unhurt);
    file.Read(score);
    file.Read(seconds);
    file.Read(showCollision);
    foundStale = true;
}

void SetDataPath() {
    // The compiled data lies in "Data" and the art in "Art Assets" beside the executable.
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        RTDPath = exe.parent_path().c_str();
        ArtAssetsPath = RTDPath;
    }
}

// Fills a logic table; the game data names its functions by index.
template <size_t N>
void** Table(void* const (&functions)[N]) {
    void** table = NewVoidPointers(N);
    std::copy(std::begin(functions), std::end(functions), table);
    return table;
}

template <class F>
void* Entry(F* function) {
    return reinterpret_cast<void*>(function);
}

void BuildLogic() {
    void* const behaviors[] = {Entry(ShowPlayTime), Entry(HeroControl),    Entry(BeeFollow),
                               Entry(SlimeWalk),    Entry(CoinCheck),      Entry(ToggleCollision),
                               Entry(TitleMenu),    Entry(SnowInit),       Entry(SnowFall),
                               Entry(SparkleInit),  Entry(SparkleTwinkle), Entry(SaveScreenShotKey),
                               Entry(BirdFlight),   Entry(ArenaWalk)};
    FArray = Table(behaviors);
    maxFIndex = std::size(behaviors) - 1;

    // State functions and edge functions share one table.
    void* const machines[] = {Entry(TitleScreen), Entry(EnterPressed),     Entry(StartPlaying),
                              Entry(Playground),  Entry(BackspacePressed), Entry(BackToTitle),
                              Entry(HeroIdle),    Entry(HeroRun),          Entry(HeroJump),
                              Entry(IsRunning),   Entry(IsStanding),       Entry(IsAirborne)};
    SMFArray = Table(machines);

    void* const levels[] = {Entry(LoadLevel), Entry(GenerateActors)};
    LVFArray = Table(levels);
}

} // namespace

// Fills the runtime's callback slots with the showcase's functions.
void InstallShowcase() {
    SetDataPathP = SetDataPath;
    LoadGameFileP = [] { CreateBinaryGameFile("showcase.kiv"); };
    ModeP = GenerateMode;
    BuildLogicP = BuildLogic;
    KivP = [] {
        GenerateLevels();
        GenerateLogic();
    };
    OnGameStartP = [] { pConsole->Show(false); }; // F9 shows it
    OnGameEndP = [] {};
    OnSaveP = SaveState;
    OnLoadP = LoadState;
}

#ifndef KIV_SHOWCASE_NO_MAIN // the tests play the showcase in their own process
int main(int argc, char** argv) {
    InstallShowcase();
    return KivMain(nullptr, nullptr, KivCommandLine(argc, argv), 1);
}
#endif
