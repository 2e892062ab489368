// One step of each screen effect on a 640x480 frame at 32 bits, next to a memcpy of that
// frame (FrameCopy): the gamma fade with its ramp applied to the shown frame, a closing
// circle and the random dissolve of a covered screen (each cell a new colour every step).

#include "BenchDisplay.h"
#include "graphics/Surface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr size_t FrameBytes = 640 * 480 * 4;

void FrameCopy(benchmark::State& state) {
    std::vector<unsigned char> from(FrameBytes, 7), to(FrameBytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), FrameBytes);
        benchmark::DoNotOptimize(to.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes));
}
BENCHMARK(FrameCopy)->Unit(benchmark::kMicrosecond);

// The fade's step, and the shown frame going through the ramp it set.
void GammaFadeStep(benchmark::State& state) {
    kiv::bench::BenchDisplay display(32, 640, 480);
    _IsWindowed = false; // the gamma ramp belongs to a full-screen display
    GammaRamp fade;
    fade.FadeIn(1000000000);
    std::vector<std::uint32_t> shown(640 * 480, 0xFF336699u);
    for (auto _ : state) {
        fade.Update();
        const DDGAMMARAMP& ramp = fade.Working();
        kiv::ApplyGammaRamp(ramp.red, ramp.green, ramp.blue, shown.data(), 640, 480, 640 * 4);
        benchmark::DoNotOptimize(shown.data());
    }
    _IsWindowed = true;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes));
}
BENCHMARK(GammaFadeStep)->Unit(benchmark::kMicrosecond);

// A circle closing so slowly that every step covers nearly the same area.
void CircleCloseStep(benchmark::State& state) {
    kiv::bench::BenchDisplay display(32, 640, 480);
    OpenClose curtain;
    curtain.CircleClose(0x000000, 1000000000, 0);
    for (auto _ : state)
        curtain.Update();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes));
}
BENCHMARK(CircleCloseStep)->Unit(benchmark::kMicrosecond);

// 128 × 96 cells covered after 60 steps; the hold goes on drawing them all.
void DissolveStep(benchmark::State& state) {
    kiv::bench::BenchDisplay display(32, 640, 480);
    RandomDissolve dissolve;
    dissolve.MultiColor(60, 1000000000);
    for (int i = 0; i < 60; ++i)
        dissolve.Update();
    for (auto _ : state)
        dissolve.Update();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FrameBytes));
}
BENCHMARK(DissolveStep)->Unit(benchmark::kMicrosecond);

} // namespace
