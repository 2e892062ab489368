// Swept collision tests per second: segment against segment, circle against circle and
// segment against circle, at several sub-step counts (the argument). The cases are spread
// so that about half of them hit somewhere along the move and the rest run every step.

#include <kiv/sprites/CollisionCircle.h>
#include <kiv/sprites/CollisionSegment.h>

#include <benchmark/benchmark.h>

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
