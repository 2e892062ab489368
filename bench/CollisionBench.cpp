// Swept collision tests per second: segment against segment, circle against circle and
// segment against circle, at several sub-step counts (the argument). The cases are spread
// so that about half of them hit somewhere along the move and the rest run every step.

#include <kiv/Kiv.h>

#include "AllocationCount.h"
#include "game/SpritePass.h"
#include "sprites/SpriteBroadPhase.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

struct Move {
    float ox, oy, px, py, tx, ty;
};

// Positions and moves from a fixed sequence: the moving shape starts near the origin, the
// still one lies within reach of most moves.
std::vector<Move> Moves() {
    std::vector<Move> moves;
    std::uint32_t seed = 2024;
    auto next = [&seed](float range) {
        seed = seed * 1664525u + 1013904223u;
        return (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * range;
    };
    for (int i = 0; i < 256; ++i)
        moves.push_back({next(8), next(8), next(40), next(40), next(40), next(40)});
    return moves;
}

template <class Mover, class Still>
void Sweep(benchmark::State& state, Mover& mover, Still& still) {
    const float n = static_cast<float>(state.range(0));
    const std::vector<Move> moves = Moves();
    size_t i = 0;
    std::int64_t hits = 0;
    for (auto _ : state) {
        const Move& m = moves[i++ & 255];
        bool hit = mover.DetectCollision(&still, m.ox, m.oy, m.px, m.py, m.tx, m.ty, n);
        hits += hit;
        benchmark::DoNotOptimize(hit);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["hit share"] =
        static_cast<double>(hits) / static_cast<double>(state.iterations());
}

void BM_SegmentAgainstSegment(benchmark::State& state) {
    CollisionSegment mover(-8, 6, 8, 6, 1, 0, 0);
    CollisionSegment still(-20, 0, 20, 5, 2, 0, 0);
    Sweep(state, mover, still);
}

void BM_CircleAgainstCircle(benchmark::State& state) {
    CollisionCircle mover(0, 0, 6, 1, 0);
    CollisionCircle still(0, 0, 10, 2, 0);
    Sweep(state, mover, still);
}

void BM_SegmentAgainstCircle(benchmark::State& state) {
    CollisionSegment mover(-8, 6, 8, 6, 1, 0, 0);
    CollisionCircle still(0, 0, 10, 2, 0);
    Sweep(state, mover, still);
}

void BM_CircleAgainstSegment(benchmark::State& state) {
    CollisionCircle mover(0, 0, 6, 1, 0);
    CollisionSegment still(20, 0, -20, 5, 2, 0, 0);
    Sweep(state, mover, still);
}

void SubSteps(benchmark::internal::Benchmark* b) {
    for (int n : {1, 4, 16, 64})
        b->Arg(n);
}

} // namespace

BENCHMARK(BM_SegmentAgainstSegment)->Apply(SubSteps);
BENCHMARK(BM_CircleAgainstCircle)->Apply(SubSteps);
BENCHMARK(BM_SegmentAgainstCircle)->Apply(SubSteps);
BENCHMARK(BM_CircleAgainstSegment)->Apply(SubSteps);

// ---- the sprite-against-sprite step of the sprite pass ----
//
// N sprites (the first argument) moving at 2 pixels a frame in random directions over a
// world that grows with N, so that each sprite has as many neighbours at every size; boxes
// (second argument 0) or a circle and a segment each (1). Every iteration starts from the
// same positions and runs one sprite pass with every sprite checking the others, through the
// broad phase (SpriteCollisions) or the plain all-pairs walk (SpriteCollisionsAllPairs): the
// same work, the same results. "allocs/frame" counts the heap allocations of a pass once the
// first passes have sized what they keep.

namespace {

constexpr int CrowdActor = 9;
constexpr int CrowdSize = 16;
constexpr float Room = 40; // the side of the square of world each sprite has to itself

class Crowd {
public:
    Crowd(int count, bool shapes) {
        SpriteList[CrowdActor].Animations(1);
        AnimationElem& animation = SpriteList[CrowdActor].m_Animations[0];
        animation.Frames(1);
        FrameElem& frame = animation.m_Frames[0];
        frame.m_Width = frame.m_Height = CrowdSize;
        frame.m_BoundingBox[FrameElem::AsDrawn] = {0, 0, CrowdSize - 1, CrowdSize - 1};
        frame.AddCollisionData(CollisionCircle(8, 8, 6, 1, 0));
        frame.AddCollisionData(CollisionSegment(15, 15, 0, 15, 2, 0, 0));
        gNode = &level;
        world = new Map;
        level.Add(world);
        std::uint32_t seed = 99;
        auto next = [&seed](float range) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<float>(seed >> 8) / 16777216.0f * range;
        };
        const float side = Room * std::sqrt(static_cast<float>(count));
        for (int i = 0; i < count; ++i) {
            auto* s = new Sprite;
            s->DisplayListNumber(i % 4);
            s->ActorIndex(CrowdActor);
            s->BelongToMapPtr(world);
            s->CollisionType(!shapes);
            s->ActivateCollisionWithSprite(true);
            s->CheckCollisionWithSprite(true);
            s->CheckSameDisplayList(true);
            float angle = next(6.2831853f);
            s->VectorDirection(std::cos(angle), std::sin(angle), 0);
            s->Speed(2);
            s->MapPosition(next(side), next(side));
            level.Add(s);
            start.push_back({s, s->LeftPosition(), s->TopPosition()});
        }
    }
    ~Crowd() {
        for (int d = 0; d < GameNode::DisplayLists; ++d)
            level.DisplayList(d).del();
        level.Maps().del();
        gNode = nullptr;
        SpriteList[CrowdActor].Animations(0);
    }
    Crowd(const Crowd&) = delete;
    Crowd& operator=(const Crowd&) = delete;

    // One pass from the starting positions; the contacts it found.
    long long Pass() {
        for (const Start& s : start) {
            s.sprite->m_X = s.x;
            s.sprite->m_Y = s.y;
        }
        bool cursorDone = false;
        kiv::UpdateSprites(world, cursorDone);
        long long contacts = 0;
        for (const Start& s : start)
            contacts += static_cast<long long>(s.sprite->m_TouchedSprites.size());
        return contacts;
    }

private:
    struct Start {
        Sprite* sprite;
        float x, y;
    };
    GameNode level;
    Map* world = nullptr;
    std::vector<Start> start;
};

void SpriteStep(benchmark::State& state, bool broadPhase) {
    kiv::SpriteBroadPhase::Enabled(broadPhase);
    Crowd crowd(static_cast<int>(state.range(0)), state.range(1) != 0);
    for (int i = 0; i < 3; ++i)
        crowd.Pass();
    long before = kiv::test::allocations;
    kiv::test::countAllocations = true;
    long long contacts = 0;
    for (auto _ : state)
        contacts = crowd.Pass();
    kiv::test::countAllocations = false;
    long allocated = kiv::test::allocations - before;
    kiv::SpriteBroadPhase::Enabled(true);
    const auto frames = static_cast<double>(state.iterations());
    state.counters["allocs/frame"] = static_cast<double>(allocated) / frames;
    state.counters["contacts"] = static_cast<double>(contacts);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SpriteCollisions(benchmark::State& state) {
    SpriteStep(state, true);
}

void BM_SpriteCollisionsAllPairs(benchmark::State& state) {
    SpriteStep(state, false);
}

void Crowds(benchmark::internal::Benchmark* b) {
    for (int mode : {0, 1})
        for (int n : {1000, 2000, 4000, 8000})
            b->Args({n, mode});
    b->ArgNames({"sprites", "shapes"})->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_SpriteCollisions)->Apply(Crowds);
BENCHMARK(BM_SpriteCollisionsAllPairs)->Apply(Crowds);
