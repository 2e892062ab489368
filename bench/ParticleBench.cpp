// A particle system of 10,000 and 50,000 particles (the argument) flying over a 640x480
// level: one frame's update and drawing (ParticleFrame), next to a loop that only writes the
// same pixels at the same places (ParticlePixelsOnly). Their ratio is the system's own cost
// per particle: the ballistic step, ageing, colour, the game's update function and placing.

#include "BenchDisplay.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using kiv::bench::Next;

void Scatter(Particle* p) {
    p->Position(Next(640), -Next(480));
    p->Angle(Next(360));
    p->Velocity(0.5f + Next(2));
    p->MaximumAge(0xFFFFFFFFu);
    p->Color(0x2040FF, 0xFF4020);
}

// The game's update function: a particle that leaves the screen comes back on the other
// side, so that every frame draws as many pixels.
void Wrap(Particle* p) {
    float x = p->PositionX(), y = p->PositionY();
    if (x >= 0 && x < 640 && y <= 0 && y > -480)
        return;
    p->Position(x < 0      ? x + 640
                : x >= 640 ? x - 640
                           : x,
                y > 0       ? y - 480
                : y <= -480 ? y + 480
                            : y);
    p->Velocity(p->Velocity()); // the flight starts again from there
}

class Sky : public kiv::bench::BenchDisplay {
public:
    explicit Sky(unsigned int count) : BenchDisplay(32, 640, 480) {
        functions[0] = reinterpret_cast<void*>(Scatter);
        functions[1] = reinterpret_cast<void*>(Wrap);
        FArray = functions;
        maxFIndex = 1;
        system.reset(new ParticleSystem(count, 0, 1));
    }
    ~Sky() {
        system.reset();
        FArray = nullptr;
        maxFIndex = -1;
    }

    void* functions[2] = {};
    std::unique_ptr<ParticleSystem> system;
};

void ParticleFrame(benchmark::State& state) {
    Sky sky(static_cast<unsigned int>(state.range(0)));
    for (auto _ : state)
        sky.system->Update();
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("particles");
}
BENCHMARK(ParticleFrame)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

void ParticlePixelsOnly(benchmark::State& state) {
    Sky sky(static_cast<unsigned int>(state.range(0)));
    sky.system->Update();
    struct Pixel {
        int x, y;
        std::uint32_t value;
    };
    std::vector<Pixel> pixels;
    kiv::Surface* back = kiv::BackBuffer();
    for (unsigned int i = 0; i < sky.system->Count(); ++i) {
        const Particle& p = sky.system->At(i);
        pixels.push_back({static_cast<int>(p.PositionX()), static_cast<int>(-p.PositionY()),
                          back->MatchColor(static_cast<COLORREF>(p.Color()))});
    }
    for (auto _ : state)
        for (const Pixel& p : pixels)
            if (p.x >= 0 && p.y >= 0 && p.x < 640 && p.y < 480)
                reinterpret_cast<std::uint32_t*>(back->Row(p.y))[p.x] = p.value;
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("particles");
}
BENCHMARK(ParticlePixelsOnly)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

} // namespace
