#pragma once

// A headless display and a level for the benchmarks that draw: a temporary art folder with
// the maps' images, a 640x480 mode at the given depth and a level of the given world size.

#include <kiv/Kiv.h>

#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "host/HostGlobals.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cstdint>
#include <filesystem>

namespace kiv::bench {

// A number from a fixed sequence in [0, range).
inline float Next(float range) {
    static std::uint32_t seed = 77;
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(seed >> 8) / 16777216.0f * range;
}

// A patterned image; `keyed` leaves a third of it black, the maps' transparent colour.
inline void WriteImage(const std::filesystem::path& path, int w, int h, bool keyed) {
    platform::Image image;
    image.width = w;
    image.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool clear = keyed && ((x / 24 + y / 16) % 3 == 0);
            std::uint32_t c = 0xFF000000u | (x * 5 & 0xFF) << 16 | (y * 3 & 0xFF) << 8 | 0x40;
            image.argb.push_back(clear ? 0xFF000000u : c);
        }
    platform::ImageCodec::WriteBmp(path.c_str(), image);
}

// A round sprite frame of `size` pixels in the display's format, keyed around (green is the
// key), lit from one side so that a mirrored copy differs from it; `step` grows it a little,
// for the frames of an animation.
inline Surface* KeyedBall(int size, int step) {
    auto* image = new Surface(size, size, DisplayFormat());
    SetSurfaceColorKey(*image, 0x00FF00);
    image->Fill(image->ColorKey());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int dx = x - size / 2, dy = y - size / 2, r = size / 3 + step;
            if (dx * dx + dy * dy < r * r)
                image->PutPixel(x, y, image->MatchColor(0x3050E0u + 0x10u * step + 4u * x));
        }
    return image;
}

// Actor `actor` with one animation of `frames` keyed balls of `size` pixels, each shown for
// delay + 1 updates and allowed to flip left-right, and the images loaded with their mirrored
// copies; `shape` runs on each frame before the mirrors are made (its collision shapes).
template <class Shape>
void MakeKeyedActor(int actor, int frames, int size, unsigned delay, const KivRect& box,
                    Shape shape) {
    SpriteList[actor].Animations(1);
    AnimationElem& animation = SpriteList[actor].m_Animations[0];
    animation.Frames(frames);
    for (int f = 0; f < frames; ++f) {
        FrameElem& frame = animation.m_Frames[f];
        frame.m_Width = frame.m_Height = size;
        frame.m_Delay = delay;
        frame.m_Transparent = true;
        frame.m_TransparentColor = 0x00FF00;
        frame.m_FlipHorizontally = true;
        frame.m_BoundingBox[FrameElem::AsDrawn] = box;
        shape(frame);
        frame.ComputeMirrors();
        frame.m_Surfaces[FrameElem::SurfaceAsDrawn] = KeyedBall(size, f);
    }
    LoadActorImages();
}

class BenchDisplay {
public:
    BenchDisplay(int depth, int worldWidth, int worldHeight) {
        platform::headless::Install();
        folder = std::filesystem::temp_directory_path() / "kiv_bench_art";
        std::filesystem::path maps = folder / "Art Assets" / "Maps";
        std::filesystem::create_directories(maps);
        ArtAssetsPath = folder.c_str();
        InitPaths();
        WriteImage(maps / "world.bmp", worldWidth, worldHeight, true);
        WriteImage(maps / "hills.bmp", 1280, 480, false);
        WriteImage(maps / "clouds.bmp", 640, 160, true);
        SetMode(640, 480, depth);
        _IsWindowed = true;
        InitGraphics();
        gNode = &level;
        level.WorldWidth(static_cast<unsigned int>(worldWidth));
        level.WorldHeight(static_cast<unsigned int>(worldHeight));
        ViewPort& v = level.GetViewPort();
        v.WorldWidth(static_cast<float>(worldWidth));
        v.WorldHeight(static_cast<float>(worldHeight));
        v.ViewPortWidth(640);
        v.ViewPortHeight(480);
    }
    ~BenchDisplay() {
        gNode = nullptr;
        CloseGraphics();
        std::filesystem::remove_all(folder);
    }
    BenchDisplay(const BenchDisplay&) = delete;
    BenchDisplay& operator=(const BenchDisplay&) = delete;

    std::filesystem::path folder;
    GameNode level;
};

} // namespace kiv::bench
