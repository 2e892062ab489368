#include <kiv/data/File.h>

#include "graphics/MapParts.h"

namespace kiv {

namespace {

template <class Stream, class Block>
void Each(Stream&& io, Block& w) {
    for (auto* r : {&w.window, &w.wrap, &w.clip, &w.scratch})
        io(*r);
    for (auto& r : w.p)
        io(r);
    for (auto& r : w.q)
        io(r);
    io(w.initialWindow);
    for (auto* v : {&w.windowWidth, &w.wrapWidth, &w.windowHeight, &w.wrapHeight, &w.displayLeft,
                    &w.displayTop, &w.scratchInts[0], &w.scratchInts[1], &w.viewportX, &w.viewportY,
                    &w.creationX, &w.creationY})
        io(*v);
}

} // namespace

void WrapBlock::Save(File& file) const {
    Each([&](const auto& v) { file.Write(v); }, *this);
    file.Write(screenFixed);
    file.Write(static_cast<unsigned char>(mode));
    file.Write(static_cast<unsigned short>(0));
    file.Write(static_cast<unsigned int>(pieces));
}

void WrapBlock::Load(File& file) {
    Each([&](auto& v) { file.Read(v); }, *this);
    unsigned char m = 0;
    unsigned short padding = 0;
    unsigned int n = 0;
    file.Read(screenFixed);
    file.Read(m);
    file.Read(padding);
    file.Read(n);
    mode = m >= 1 && m <= 4 ? m : 1;
    pieces = n <= 4 ? n : 0;
}

} // namespace kiv
