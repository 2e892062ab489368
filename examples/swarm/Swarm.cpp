// The swarm: animated critters thrown into an arena, falling under the engine's gravity and
// bouncing off the walls, the floor and two ledges (the arena map's collision segments,
// through the engine's map collisions and reflection). More are thrown in every frame while a
// frame's work stays under a 60th of a second; the count the game then holds is its record.
//
// Run it headless for the record (the virtual clock of the headless mode adds no waiting, so
// the time between two frames is the frame's own work):
//     swarm --headless
// or with a fixed count, in a window or headless, to watch or to profile:
//     swarm --sprites=5000 [--frames=600]
#include <kiv/Kiv.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double FrameBudgetMs = 1000.0 / 60;
// Critters thrown in at once: many while frames take less than half the budget, then few.
constexpr int BigStep = 2000;
constexpr int SmallStep = 250;
// Each count is held for this many frames, and its frame time is the fastest of them: a
// slow frame on a busy machine does not end the record.
constexpr int Window = 8;
constexpr int WarmUpFrames = 10;
// Frames shown once the record is set, before the game ends.
constexpr int Encore = 60;
constexpr float Gravity = 20; // 0.2 pixels per frame per frame

struct Run {
    int fixedCount = 0; // --sprites=N: hold N critters, set no record
    Sprite* prototype = nullptr;
    int count = 1;
    int held = 0;
    double heldFrame = 0, overFrame = 0; // ms: the fastest frame at the record and above it
    int frames = 0;
    int encore = -1; // frames left to show after the record; -1 while it grows
    Clock::time_point last;
    std::array<double, Window> recent{};
    std::uint32_t seed = 2024;
} run;

int Next(int range) {
    run.seed = run.seed * 1664525u + 1013904223u;
    return static_cast<int>((run.seed >> 8) % static_cast<std::uint32_t>(range));
}

// A copy of the prototype thrown from the top of the arena in a random direction, its
// parabola starting where it is.
void Throw() {
    Sprite* s = run.prototype->CreateSprite();
    if (!s)
        return;
    s->MapPosition(static_cast<float>(40 + Next(560)), static_cast<float>(24 + Next(120)));
    float dx = static_cast<float>(Next(201) - 100) / 100.0f;
    s->VectorDirection(dx, -0.5f, 0);
    s->Speed(static_cast<float>(1 + Next(4)));
    s->Frame(Next(4));
    s->Gravity(true, Gravity);
    ++run.count;
}

// The fastest of the last frames, in milliseconds.
double RecentFrame() {
    return *std::min_element(run.recent.begin(), run.recent.end());
}

// The level's behavior, once a frame: measures the frame just done and grows the swarm.
void Grow(void*) {
    Clock::time_point now = Clock::now();
    double ms = std::chrono::duration<double, std::milli>(now - run.last).count();
    run.last = now;
    run.recent[static_cast<std::size_t>(run.frames++ % Window)] = ms;
    if (run.fixedCount) {
        while (run.count < run.fixedCount)
            Throw();
        return;
    }
    if (run.encore >= 0) {
        if (run.encore-- == 0) {
            std::printf("swarm: %d sprites held at 60 frames per second (fastest of %d frames: "
                        "%.2f ms; with %d sprites: %.2f ms)\n",
                        run.held, Window, run.heldFrame, run.count, run.overFrame);
            myGame->EndGame();
        }
        return;
    }
    if (run.frames < WarmUpFrames || (run.frames - WarmUpFrames) % Window != 0)
        return;
    // The last `Window` frames all ran with the present count.
    double frame = RecentFrame();
    if (frame >= FrameBudgetMs) {
        run.overFrame = frame;
        run.encore = Encore;
        return;
    }
    run.held = run.count;
    run.heldFrame = frame;
    for (int i = frame < FrameBudgetMs / 2 ? BigStep : SmallStep; i > 0; --i)
        Throw();
}

void LoadLevel(GameNode* level) {
    GenerateLevel(level);
}

void Start(GameNode*) {
    GenerateActors(gNode);
    run.prototype = Sprite::Search("critter");
    run.last = Clock::now();
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
    FArray[0] = reinterpret_cast<void*>(Grow);
    maxFIndex = 0;
    LVFArray = NewVoidPointers(2);
    LVFArray[0] = reinterpret_cast<void*>(LoadLevel);
    LVFArray[1] = reinterpret_cast<void*>(Start);
}

} // namespace

int main(int argc, char** argv) {
    // --sprites=N is the game's own option; the rest goes to the runtime.
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--sprites=", 10) == 0)
            run.fixedCount = std::max(1, std::atoi(argv[i] + 10));
        else
            args.push_back(argv[i]);
    }
    SetDataPathP = SetDataPath;
    LoadGameFileP = [] { CreateBinaryGameFile("swarm.kiv"); };
    BuildLogicP = BuildLogic;
    return KivMain(nullptr, nullptr, KivCommandLine(static_cast<int>(args.size()), args.data()), 1);
}
