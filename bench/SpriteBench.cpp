// The sprite pass: 1,000, 5,000 and 20,000 animated, keyed sprites (the argument) walking
// squares over a 640x480 level, turned to face their way, drawn every frame (SpritePass),
// next to a loop that only blits the frames the pass draws, at the same places and in the
// same order, frame by frame (SpriteBlitOnly). Their ratio is the runtime's own cost per
// sprite: logic, animation, motion, viewport placement and list handling.
//
// Both are checked before they are timed: every frame of the swarm's cycle is drawn once by
// the pass and once by the blit list onto a cleared back buffer, and the two images must be
// the same; the pass is checked again after it is timed, against the frame it has reached.
// A difference stops the benchmark with an error. The counter pixels/frame is what each
// writes per frame, averaged over the cycle; allocs/frame counts the heap allocations of the
// timed passes.

#include "AllocationCount.h"
#include "BenchDisplay.h"
#include "DrawList.h"
#include "game/SpritePass.h"
#include "graphics/Surface.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using kiv::bench::BackBufferChecksum;
using kiv::bench::Drawn;
using kiv::bench::FrameDraws;
using kiv::bench::Pixels;
using kiv::bench::Replay;

constexpr int Actor = 7;
constexpr int Frames = 4;
constexpr int Size = 24;
constexpr unsigned FrameDelay = 3;
// The squares' side and the speeds are chosen so that every sprite is back where it began,
// on the same animation frame, after this many frames: the whole swarm repeats.
constexpr int Side = 48;
constexpr int Cycle = 96;

class Swarm : public kiv::bench::BenchDisplay {
public:
    explicit Swarm(int count)
        : BenchDisplay(32, 640, 480),
          world("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect) {
        kiv::bench::MakeKeyedActor(Actor, Frames, Size, FrameDelay, {0, 0, Size - 1, Size - 1},
                                   [](FrameElem&) {});
        square.NumberOfVectors(4);
        square.CalculateVectorPattern(0, Side, 0);
        square.CalculateVectorPattern(1, 0, Side);
        square.CalculateVectorPattern(2, -Side, 0);
        square.CalculateVectorPattern(3, 0, -Side);
        MPArray = &square;
        maxMPIndex = 0;
        std::uint32_t seed = 77;
        for (int i = 0; i < count; ++i)
            AddSprite(i, seed);
    }
    ~Swarm() {
        MPArray = nullptr;
        maxMPIndex = -1;
        for (int d = 0; d < GameNode::DisplayLists; ++d)
            level.DisplayList(d).del();
        kiv::FreeActorImages();
        SpriteList[Actor].Animations(0);
    }

    // Gives every sprite a new z-order (0 to 49), which the next pass queues for the re-sort.
    void NewZOrders(std::uint32_t& seed) {
        for (int d = 0; d < GameNode::DisplayLists; ++d)
            for (node* n = level.DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
                seed = seed * 1664525u + 1013904223u;
                static_cast<Sprite*>(n)->ZOrder((seed >> 8) % 50);
            }
    }

    // One frame's sprite pass over the master map, then the end-of-frame re-sort.
    void Pass() {
        bool cursorDone = false;
        kiv::UpdateSprites(&world, cursorDone);
        kiv::ApplyZOrderQueue();
    }

private:
    // Every sprite walks its own square over and over, so the swarm stays on the screen.
    void AddSprite(int i, std::uint32_t& seed) {
        auto next = [&seed](int range) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
        };
        auto* s = new Sprite;
        s->DisplayListNumber(i % 4);
        s->ActorIndex(Actor);
        s->Frame(i % Frames);
        s->BelongToMapPtr(&world);
        s->MapPosition(static_cast<float>(next(640 - Size - Side)),
                       static_cast<float>(next(480 - Size - Side)));
        s->Speed(next(2) ? 2.0f : 4.0f);
        s->ApplyMovementPattern(0);
        s->StartMovementPattern(true);
        s->ZOrder(static_cast<unsigned int>(i % 50));
        level.Add(s);
    }

    Map world;
    MovementPattern square;
};

// One cycle of the swarm, each frame drawn by the pass and by its blits alone.
struct Recording {
    std::vector<FrameDraws> frames;
    std::vector<std::uint64_t> checksums;
    std::int64_t pixels = 0; // over the whole cycle
    std::string error;
};

Recording Record(Swarm& swarm) {
    Recording r;
    for (int f = 0; f <= Cycle; ++f) {
        kiv::ClearBackBuffer();
        swarm.Pass();
        std::uint64_t byPass = BackBufferChecksum();
        FrameDraws drawn = Drawn(swarm.level);
        if (f == Cycle) {
            // The swarm is back at its first frame; the timed loops start from there.
            if (drawn.size() != r.frames[0].size() || byPass != r.checksums[0])
                r.error = "the swarm does not repeat after " + std::to_string(Cycle) + " frames";
            break;
        }
        kiv::ClearBackBuffer();
        Replay(drawn);
        if (BackBufferChecksum() != byPass) {
            r.error =
                "frame " + std::to_string(f) + ": the blit loop draws other pixels than the pass";
            break;
        }
        r.pixels += Pixels(drawn);
        r.frames.push_back(std::move(drawn));
        r.checksums.push_back(byPass);
    }
    return r;
}

void Report(benchmark::State& state, const Recording& r) {
    state.counters["pixels/frame"] = static_cast<double>(r.pixels) / Cycle;
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("sprites");
}

void SpritePass(benchmark::State& state) {
    Swarm swarm(static_cast<int>(state.range(0)));
    Recording r = Record(swarm);
    if (!r.error.empty()) {
        state.SkipWithError(r.error.c_str());
        return;
    }
    // Record left the swarm drawn at its first frame: the timed passes go on from the second.
    std::int64_t frames = 1;
    kiv::test::allocations = 0;
    kiv::test::countAllocations = true;
    for (auto _ : state) {
        swarm.Pass();
        ++frames;
    }
    kiv::test::countAllocations = false;
    state.counters["allocs/frame"] =
        static_cast<double>(kiv::test::allocations) / static_cast<double>(state.iterations());
    kiv::ClearBackBuffer();
    swarm.Pass();
    if (BackBufferChecksum() != r.checksums[static_cast<size_t>(frames % Cycle)]) {
        state.SkipWithError("the timed passes drew other frames than the checked ones");
        return;
    }
    Report(state, r);
}
BENCHMARK(SpritePass)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void SpriteBlitOnly(benchmark::State& state) {
    Swarm swarm(static_cast<int>(state.range(0)));
    Recording r = Record(swarm);
    if (!r.error.empty()) {
        state.SkipWithError(r.error.c_str());
        return;
    }
    // The same frames as the timed passes draw, from the second one of the cycle on.
    size_t frame = 1;
    for (auto _ : state) {
        Replay(r.frames[frame]);
        frame = frame + 1 == r.frames.size() ? 0 : frame + 1;
    }
    Report(state, r);
}
BENCHMARK(SpriteBlitOnly)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// The pass when every sprite changes its z-order every frame (a game that sorts its sprites
// by depth): the re-sort at the end of the frame moves them all. The new z-orders are given
// outside the timed part.
void SpritePassReSorted(benchmark::State& state) {
    Swarm swarm(static_cast<int>(state.range(0)));
    std::uint32_t seed = 5;
    for (auto _ : state) {
        state.PauseTiming();
        swarm.NewZOrders(seed);
        state.ResumeTiming();
        swarm.Pass();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("sprites");
}
BENCHMARK(SpritePassReSorted)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace
