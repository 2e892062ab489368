// The sprite pass: 1,000, 5,000 and 20,000 animated sprites (the argument) moving over a
// 640x480 level and drawn every frame (SpritePass), next to a loop that only blits the same
// frames at the same places (SpriteBlitOnly). Their ratio is the runtime's own cost per
// sprite: logic, animation, motion, viewport placement and list handling.

#include "BenchDisplay.h"
#include "game/SpritePass.h"
#include "graphics/Surface.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using kiv::bench::Next;

constexpr int Actor = 7;
constexpr int Frames = 4;
constexpr int Size = 24;

// A round, keyed 24x24 frame per animation step.
kiv::Surface* FrameImage(int step) {
    auto* image = new kiv::Surface(Size, Size, kiv::DisplayFormat());
    kiv::SetSurfaceColorKey(*image, 0x00FF00);
    image->Fill(image->ColorKey());
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            int dx = x - Size / 2, dy = y - Size / 2, r = 8 + step;
            if (dx * dx + dy * dy < r * r)
                image->PutPixel(x, y, image->MatchColor(0x3050E0u + 0x10u * step));
        }
    return image;
}

class Swarm : public kiv::bench::BenchDisplay {
public:
    explicit Swarm(int count)
        : BenchDisplay(32, 640, 480),
          world("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect) {
        SpriteList[Actor].Animations(1);
        AnimationElem& animation = SpriteList[Actor].m_Animations[0];
        animation.Frames(Frames);
        for (int f = 0; f < Frames; ++f) {
            FrameElem& frame = animation.m_Frames[f];
            frame.m_Width = frame.m_Height = Size;
            frame.m_Delay = 3;
            frame.m_BoundingBox[FrameElem::AsDrawn] = {0, 0, Size - 1, Size - 1};
            frame.m_Surfaces[FrameElem::SurfaceAsDrawn] = FrameImage(f);
        }
        square.NumberOfVectors(4);
        square.CalculateVectorPattern(0, 60, 0);
        square.CalculateVectorPattern(1, 0, 60);
        square.CalculateVectorPattern(2, -60, 0);
        square.CalculateVectorPattern(3, 0, -60);
        MPArray = &square;
        maxMPIndex = 0;
        for (int i = 0; i < count; ++i)
            AddSprite(i);
    }
    ~Swarm() {
        MPArray = nullptr;
        maxMPIndex = -1;
        for (List& list : DisplayLists())
            list.del();
        kiv::FreeActorImages();
        SpriteList[Actor].Animations(0);
    }

    // One frame's sprite pass over the master map, then the end-of-frame re-sort.
    void Pass() {
        bool cursorDone = false;
        kiv::UpdateSprites(&world, cursorDone);
        kiv::ApplyZOrderQueue();
    }

    // The frames and places the last pass drew, for the blit-only loop.
    struct Drawn {
        const kiv::Surface* image;
        int x, y;
    };
    std::vector<Drawn> Places() {
        std::vector<Drawn> drawn;
        for (List& list : DisplayLists())
            for (node* n = list.Head(); !n->EOList(); n = n->Next()) {
                auto* s = static_cast<Sprite*>(n);
                const FrameElem& frame = SpriteList[Actor].m_Animations[0].m_Frames[s->Frame()];
                drawn.push_back(
                    {frame.m_Surfaces[FrameElem::SurfaceAsDrawn], s->ViewportX(), s->ViewportY()});
            }
        return drawn;
    }

private:
    std::vector<std::reference_wrapper<List>> DisplayLists() {
        std::vector<std::reference_wrapper<List>> lists;
        for (int d = 0; d < GameNode::DisplayLists; ++d)
            lists.emplace_back(level.DisplayList(d));
        return lists;
    }

    // Every sprite walks its own square over and over, so the swarm stays on the screen.
    void AddSprite(int i) {
        auto* s = new Sprite;
        s->DisplayListNumber(i % 4);
        s->ActorIndex(Actor);
        s->Frame(i % Frames);
        s->BelongToMapPtr(&world);
        s->MapPosition(Next(640 - Size - 60), Next(480 - Size - 60));
        s->Speed(0.5f + Next(3));
        s->ApplyMovementPattern(0);
        s->StartMovementPattern(true);
        s->ZOrder(static_cast<unsigned int>(i % 50));
        level.Add(s);
    }

    Map world;
    MovementPattern square;
};

void SpritePass(benchmark::State& state) {
    Swarm swarm(static_cast<int>(state.range(0)));
    for (auto _ : state)
        swarm.Pass();
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("sprites");
}
BENCHMARK(SpritePass)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void SpriteBlitOnly(benchmark::State& state) {
    Swarm swarm(static_cast<int>(state.range(0)));
    swarm.Pass();
    const std::vector<Swarm::Drawn> drawn = swarm.Places();
    kiv::Surface* back = kiv::BackBuffer();
    const KivRect whole = {0, 0, Size, Size};
    for (auto _ : state)
        for (const Swarm::Drawn& d : drawn)
            back->Blit(d.x, d.y, *d.image, whole, kiv::Surface::UseColorKey);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("sprites");
}
BENCHMARK(SpriteBlitOnly)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace
