// Colour-keyed sprite blits onto a 640x480 back buffer: our Surface::Blit against
// SDL_BlitSurface (colour key, no RLE) and against a plain memcpy of the same rows.
// Arguments of every case: bits per pixel, sprite size.

#include "graphics/Surface.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

using kiv::PixelFormat;
using kiv::Surface;

namespace {

constexpr int BackWidth = 640;
constexpr int BackHeight = 480;

// A sprite as drawn by games: an opaque round body with shading and a few holes, keyed
// around it, so that about a quarter of the pixels are skipped and the keyed runs vary in
// length from row to row.
Surface MakeSprite(int size, const PixelFormat& format) {
    Surface sprite(size, size, format);
    const std::uint32_t key = sprite.MatchColor(0xFF00FF); // magenta
    sprite.SetColorKey(key);
    const int c = size / 2;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int dx = x - c, dy = y - c;
            bool body = dx * dx + dy * dy < c * c;
            int ex = (x % (size / 4)) - size / 8, ey = y - size / 3;
            bool hole = y > size / 4 && ex * ex + ey * ey < (size / 16) * (size / 16);
            unsigned shade = static_cast<unsigned>(40 + (x * 150) / size + (y * 60) / size);
            COLORREF colour = shade | ((shade / 2) << 8) | (((x ^ y) & 0x3F) << 16);
            sprite.PutPixel(x, y, body && !hole ? sprite.MatchColor(colour) : key);
        }
    }
    return sprite;
}

// Places spread over the back buffer, every sprite wholly inside it.
std::vector<SDL_Point> Places(int size) {
    std::vector<SDL_Point> places;
    std::uint32_t seed = 12345;
    for (int i = 0; i < 256; ++i) {
        seed = seed * 1664525u + 1013904223u;
        int x = static_cast<int>((seed >> 8) % (BackWidth - size + 1));
        seed = seed * 1664525u + 1013904223u;
        int y = static_cast<int>((seed >> 8) % (BackHeight - size + 1));
        places.push_back({x, y});
    }
    return places;
}

void Report(benchmark::State& state, int size) {
    state.SetItemsProcessed(state.iterations() * size * size);
}

void KivBlit(benchmark::State& state, unsigned flags) {
    const int depth = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    const PixelFormat format = PixelFormat::ForDepth(depth);
    Surface back(BackWidth, BackHeight, format);
    Surface sprite = MakeSprite(size, format);
    const std::vector<SDL_Point> places = Places(size);
    const KivRect from{0, 0, size, size};
    size_t i = 0;
    for (auto _ : state) {
        const SDL_Point& p = places[i++ & 255];
        back.Blit(p.x, p.y, sprite, from, flags);
        benchmark::ClobberMemory();
    }
    Report(state, size);
}

void BM_KivBlitKeyed(benchmark::State& state) {
    KivBlit(state, Surface::UseColorKey);
}

void BM_KivBlitKeyedMirrored(benchmark::State& state) {
    KivBlit(state, Surface::UseColorKey | Surface::MirrorLeftRight);
}

SDL_Surface* ToSdl(const Surface& s) {
    Uint32 format =
        s.Format().bitsPerPixel == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888;
    SDL_Surface* out =
        SDL_CreateRGBSurfaceWithFormat(0, s.Width(), s.Height(), s.Format().bitsPerPixel, format);
    if (!out)
        return nullptr;
    for (int y = 0; y < s.Height(); ++y)
        std::memcpy(static_cast<std::uint8_t*>(out->pixels) + y * out->pitch, s.Row(y),
                    static_cast<size_t>(s.Width()) * s.Format().BytesPerPixel());
    return out;
}

void BM_SdlBlitKeyed(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    const PixelFormat format = PixelFormat::ForDepth(depth);
    Surface sprite = MakeSprite(size, format);
    SDL_Surface* back = ToSdl(Surface(BackWidth, BackHeight, format));
    SDL_Surface* sdlSprite = ToSdl(sprite);
    if (!back || !sdlSprite) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_SetColorKey(sdlSprite, SDL_TRUE, sprite.ColorKey());
    SDL_SetSurfaceRLE(sdlSprite, 0);
    const std::vector<SDL_Point> places = Places(size);
    size_t i = 0;
    for (auto _ : state) {
        const SDL_Point& p = places[i++ & 255];
        SDL_Rect to{p.x, p.y, size, size};
        SDL_BlitSurface(sdlSprite, nullptr, back, &to);
        benchmark::ClobberMemory();
    }
    Report(state, size);
    SDL_FreeSurface(sdlSprite);
    SDL_FreeSurface(back);
}

// The floor: the same rows copied whole, without looking at a single pixel.
void BM_MemcpyRows(benchmark::State& state) {
    const int depth = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    const PixelFormat format = PixelFormat::ForDepth(depth);
    Surface back(BackWidth, BackHeight, format);
    Surface sprite = MakeSprite(size, format);
    const std::vector<SDL_Point> places = Places(size);
    const size_t rowBytes = static_cast<size_t>(size) * format.BytesPerPixel();
    size_t i = 0;
    for (auto _ : state) {
        const SDL_Point& p = places[i++ & 255];
        std::uint8_t* to = back.Row(p.y) + p.x * format.BytesPerPixel();
        for (int y = 0; y < size; ++y)
            std::memcpy(to + y * back.Pitch(), sprite.Row(y), rowBytes);
        benchmark::ClobberMemory();
    }
    Report(state, size);
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"bpp", "size"});
    for (int depth : {32, 16})
        for (int size : {32, 64})
            b->Args({depth, size});
}

BENCHMARK(BM_KivBlitKeyed)->Apply(Sizes);
BENCHMARK(BM_SdlBlitKeyed)->Apply(Sizes);
BENCHMARK(BM_MemcpyRows)->Apply(Sizes);
BENCHMARK(BM_KivBlitKeyedMirrored)->Apply(Sizes);

} // namespace
