#pragma once

// The blits of one sprite pass, read back from the sprites after it, for a loop that only
// blits the same frames at the same places in the same order; and the checks that the two
// drew the same: a checksum of the back buffer and the count of pixels the blits write.

#include <kiv/Kiv.h>

#include "graphics/Display.h"
#include "graphics/Surface.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace kiv::bench {

struct Draw {
    const Surface* image;
    int x, y;
    unsigned flags;
};
using FrameDraws = std::vector<Draw>;

// What DisplaySprite drew for every sprite of the level's display lists, in their order.
inline FrameDraws Drawn(GameNode& level) {
    FrameDraws drawn;
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = level.DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            FrameElem* f = s->CurrentFrame();
            if (!f || !s->Visible() || !s->InViewport())
                continue;
            bool h = s->HFlip() && f->m_FlipHorizontally, v = s->VFlip() && f->m_FlipVertically;
            int slot = h && v ? FrameElem::SurfaceBoth
                       : v    ? FrameElem::SurfaceTopBottom
                       : h    ? FrameElem::SurfaceLeftRight
                              : FrameElem::SurfaceAsDrawn;
            if (const Surface* image = f->m_Surfaces[slot])
                drawn.push_back({image, s->ViewportX(), s->ViewportY(),
                                 f->m_Transparent ? unsigned{Surface::UseColorKey} : 0u});
        }
    return drawn;
}

inline void Replay(const FrameDraws& drawn) {
    Surface* back = BackBuffer();
    for (const Draw& d : drawn)
        back->Blit(d.x, d.y, *d.image, {0, 0, d.image->Width(), d.image->Height()}, d.flags);
}

// The pixels the blits write: of each image's part that lies on the back buffer, all or, for
// a keyed blit, those that are not the key.
inline std::int64_t Pixels(const FrameDraws& drawn) {
    const Surface* back = BackBuffer();
    auto count = [](const Draw& d, int x0, int y0, int x1, int y1) {
        std::int64_t n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += !(d.flags & Surface::UseColorKey) ||
                     d.image->GetPixel(x, y) != d.image->ColorKey();
        return n;
    };
    std::map<std::pair<const Surface*, unsigned>, std::int64_t> whole;
    std::int64_t pixels = 0;
    for (const Draw& d : drawn) {
        const int w = d.image->Width(), h = d.image->Height();
        const int x0 = std::max(0, -d.x), y0 = std::max(0, -d.y);
        const int x1 = std::min(w, back->Width() - d.x), y1 = std::min(h, back->Height() - d.y);
        if (x0 || y0 || x1 != w || y1 != h) {
            pixels += count(d, x0, y0, x1, y1);
            continue;
        }
        auto [at, added] = whole.try_emplace({d.image, d.flags}, 0);
        if (added)
            at->second = count(d, 0, 0, w, h);
        pixels += at->second;
    }
    return pixels;
}

inline std::uint64_t BackBufferChecksum() {
    const Surface* back = BackBuffer();
    std::uint64_t h = 1469598103934665603u;
    for (int y = 0; y < back->Height(); ++y) {
        const std::uint8_t* row = back->Row(y);
        for (int i = 0; i < back->Width() * back->Format().BytesPerPixel(); ++i)
            h = (h ^ row[i]) * 1099511628211u;
    }
    return h;
}

} // namespace kiv::bench
