// The swarm, as examples/swarm plays it: animated 16x16 critters under gravity, bouncing off
// the arena's walls, floor and ledges (the map's collision segments, through the runtime's
// map collisions and reflection), drawn keyed at 640x480, 32 bits, on one core. A frame is
// the arena map drawn, the sprite pass and the z-order queue. Times are the thread's CPU
// time, so that other programs on the machine add as little as they can.
//
// SwarmRecord throws critters in until a frame takes 16.7 ms (the fastest of a few frames at
// each count) and reports the count held ("sprites") and its frame time.
//
// SwarmOverhead/N times, frame by frame, the sprite pass of N critters and then the blits
// alone of the same frame (the same images at the same places in the same order, onto the
// same map background); the two images are compared every frame and a difference stops the
// benchmark. The time is the pass's; "blits" is the blits', "ratio" the pass over the blits.

#include "BenchDisplay.h"
#include "DrawList.h"
#include "game/SpritePass.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ctime>

namespace {

using kiv::bench::Drawn;

constexpr int Actor = 9;
constexpr int Frames = 4;
constexpr int Size = 16;
constexpr float GravityPercent = 20;
constexpr double FrameBudgetMs = 1000.0 / 60;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

class Arena : public kiv::bench::BenchDisplay {
public:
    Arena()
        : BenchDisplay(32, 640, 480),
          world("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect) {
        kiv::bench::MakeKeyedActor(Actor, Frames, Size, 5, {2, 4, 13, 15}, [](FrameElem& frame) {
            frame.AddCollisionData(CollisionCircle(8, 10, 5, 1, 0));
        });
        world.SpacePartitionGridSize(128);
        // Solid on the side their normal faces: floor and ledges face up, the ceiling down,
        // the walls inwards.
        for (auto [x1, y1, x2, y2] :
             {std::array{640, 464, 0, 464}, std::array{8, 480, 8, 0}, std::array{632, 0, 632, 480},
              std::array{0, 8, 640, 8}, std::array{260, 340, 120, 300},
              std::array{520, 300, 380, 340}})
            world.AddCollisionData(CollisionSegment(static_cast<float>(x1), static_cast<float>(y1),
                                                    static_cast<float>(x2), static_cast<float>(y2),
                                                    1, 0, 0));
    }
    ~Arena() {
        level.DisplayList(0).del();
        kiv::FreeActorImages();
        SpriteList[Actor].Animations(0);
    }

    // Critters thrown from the top of the arena in random directions.
    void Throw(int n) {
        for (int i = 0; i < n; ++i) {
            auto* s = new Sprite;
            s->ActorIndex(Actor);
            s->Frame(Next(Frames));
            s->BelongToMapPtr(&world);
            s->MapPosition(static_cast<float>(40 + Next(560)), static_cast<float>(24 + Next(120)));
            s->VectorDirection(static_cast<float>(Next(201) - 100) / 100.0f, -0.5f, 0);
            s->Speed(static_cast<float>(1 + Next(4)));
            s->CheckCollisionWithMap(true);
            s->Reflection(true);
            s->Gravity(true, GravityPercent);
            s->ZOrder(1);
            level.Add(s);
        }
        count += n;
    }

    void Pass() {
        bool cursorDone = false;
        kiv::UpdateSprites(&world, cursorDone);
        kiv::ApplyZOrderQueue();
    }

    // A whole frame, in CPU milliseconds.
    double Frame() {
        double start = CpuMs();
        world.DisplayMap();
        Pass();
        return CpuMs() - start;
    }

    // The fastest of a few frames.
    double FastestFrame(int frames) {
        double fastest = Frame();
        for (int i = 1; i < frames; ++i)
            fastest = std::min(fastest, Frame());
        return fastest;
    }

    Map world;
    int count = 0;

private:
    int Next(int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(range));
    }
    std::uint32_t seed = 2024;
};

void SwarmRecord(benchmark::State& state) {
    for (auto _ : state) {
        Arena arena;
        int held = 0;
        double heldMs = 0;
        for (;;) {
            double ms = arena.FastestFrame(5);
            if (ms >= FrameBudgetMs)
                break;
            held = arena.count;
            heldMs = ms;
            arena.Throw(ms < FrameBudgetMs / 2 ? 2000 : 250);
        }
        state.counters["sprites"] = held;
        state.counters["frame ms"] = heldMs;
    }
}
BENCHMARK(SwarmRecord)->Iterations(1)->Unit(benchmark::kMillisecond);

void SwarmOverhead(benchmark::State& state) {
    Arena arena;
    arena.Throw(static_cast<int>(state.range(0)));
    for (int i = 0; i < 30; ++i) // spread out over the arena
        arena.Frame();
    double pass = 0, blits = 0;
    std::int64_t pixels = 0;
    for (auto _ : state) {
        arena.world.DisplayMap();
        double start = CpuMs();
        arena.Pass();
        double passed = CpuMs() - start;
        const std::uint64_t byPass = kiv::bench::BackBufferChecksum();
        const kiv::bench::FrameDraws drawn = Drawn(arena.level);
        arena.world.DisplayMap();
        start = CpuMs();
        kiv::bench::Replay(drawn);
        double blitted = CpuMs() - start;
        if (kiv::bench::BackBufferChecksum() != byPass) {
            state.SkipWithError("the blits alone drew other pixels than the pass");
            return;
        }
        pixels += kiv::bench::Pixels(drawn);
        pass += passed;
        blits += blitted;
        state.SetIterationTime(passed / 1e3);
    }
    const auto frames = static_cast<double>(state.iterations());
    state.counters["blits us"] = blits / frames * 1e3;
    state.counters["ratio"] = pass / blits;
    state.counters["pixels/frame"] = static_cast<double>(pixels) / frames;
}
BENCHMARK(SwarmOverhead)->Arg(5000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
