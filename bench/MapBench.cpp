// Map drawing and collision-grid queries.
// MapFrame: one frame of a scrolling world at 640x480 (a master map, a parallax standard
// map and a wrapped map of clouds, both colour-keyed), at 16 and 32 bits (the argument).
// GridQuery: the shapes met by 256 sprite-sized rectangles, looked up through the grid of a
// 2560x960 master map holding 1,000 to 100,000 segments (the argument), against testing
// every segment of the map (GridQueryNoGrid, up to 10,000).

#include <kiv/Kiv.h>

#include "BenchDisplay.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using kiv::bench::Next;

class World : public kiv::bench::BenchDisplay {
public:
    explicit World(int depth)
        : BenchDisplay(depth, 2560, 960),
          hills("hills", "hills.bmp", Map::Standard, 0, 0, 0, false, {0, 0, 2560, 960}),
          clouds("clouds", "clouds.bmp", Map::Wrapped, 1, 0, 0, true, {0, 0, 640, 160}),
          master("world", "world.bmp", Map::Master, 2, 0, 0, false, zrect) {
        hills.ScrollRatioX(0.5f);
        clouds.SpeedX(-1);
        master.TransparencyColor(0);
    }
    void Frame(int frame) {
        ViewPort& v = level.GetViewPort();
        v.WorldXPos(static_cast<float>((frame * 3) % 1900));
        v.WorldYPos(static_cast<float>((frame / 2) % 480));
        hills.DisplayMap();
        clouds.DisplayMap();
        master.DisplayMap();
        v.Commit();
    }

    Map hills, clouds, master;
};

void MapFrame(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    int frame = 0;
    for (auto _ : state)
        world.Frame(frame++);
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("frames");
}
BENCHMARK(MapFrame)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

struct Box {
    float x1, y1, x2, y2;
};

std::vector<Box> Boxes() {
    std::vector<Box> boxes;
    for (int i = 0; i < 256; ++i) {
        float x = Next(2520), y = Next(900);
        boxes.push_back({x, y, x + 32, y + 48});
    }
    return boxes;
}

// The master map of a 2560x960 world holding `count` short segments.
class Field : public kiv::bench::BenchDisplay {
public:
    explicit Field(int count)
        : BenchDisplay(32, 2560, 960),
          map("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect) {
        map.SpacePartitionGridSize(128);
        for (int i = 0; i < count; ++i) {
            float x = Next(2500), y = Next(900);
            map.AddCollisionData(CollisionSegment(x, y, x + Next(50), y + Next(50), i, 0, 0));
        }
    }

    Map map;
};

void GridQuery(benchmark::State& state) {
    Field field(static_cast<int>(state.range(0)));
    const std::vector<Box> boxes = Boxes();
    const int size = field.map.SpacePartitionGridSize();
    std::int64_t met = 0;
    for (auto _ : state)
        for (const Box& b : boxes)
            for (int row = int(b.y1) / size; row <= int(b.y2) / size; ++row)
                for (int col = int(b.x1) / size; col <= int(b.x2) / size; ++col)
                    if (List* cell = field.map.CellAt(col, row))
                        for (node* n = cell->Head(); !n->EOList(); n = n->Next())
                            met += static_cast<CollisionData*>(n)->TouchesRectangle(b.x1, b.y1,
                                                                                    b.x2, b.y2);
    benchmark::DoNotOptimize(met);
    state.SetItemsProcessed(state.iterations() * 256);
    state.SetLabel("rectangles");
}
BENCHMARK(GridQuery)->RangeMultiplier(10)->Range(1000, 100000);

void GridQueryNoGrid(benchmark::State& state) {
    Field field(static_cast<int>(state.range(0)));
    const std::vector<Box> boxes = Boxes();
    std::int64_t met = 0;
    for (auto _ : state)
        for (const Box& b : boxes)
            for (node* n = field.map.Shapes().Head(); !n->EOList(); n = n->Next())
                met += static_cast<CollisionData*>(n)->TouchesRectangle(b.x1, b.y1, b.x2, b.y2);
    benchmark::DoNotOptimize(met);
    state.SetItemsProcessed(state.iterations() * 256);
    state.SetLabel("rectangles");
}
BENCHMARK(GridQueryNoGrid)->RangeMultiplier(10)->Range(1000, 10000);

} // namespace
