#include "platform/headless/HeadlessPresenter.h"

#include "graphics/Surface.h"

#include <cstring>

namespace kiv::platform::headless {

bool HeadlessPresenter::Present(const FrameView& frame) {
    if (loseNext) {
        loseNext = false;
        return false;
    }
    size_t row = static_cast<size_t>(frame.width) * ((frame.bitsPerPixel + 7) / 8);
    pixels.resize(row * frame.height);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(&pixels[row * y], frame.pixels + static_cast<size_t>(y) * frame.pitch, row);
    palette.assign(frame.palette ? frame.palette : nullptr,
                   frame.palette ? frame.palette + 256 : nullptr);
    last = frame;
    last.pixels = pixels.data();
    last.pitch = static_cast<int>(row);
    last.palette = palette.empty() ? nullptr : palette.data();
    ++presented;
    return true;
}

std::uint32_t HeadlessPresenter::Hash() const {
    std::uint32_t h = 2166136261u;
    for (std::uint8_t b : pixels)
        h = (h ^ b) * 16777619u;
    return h;
}

COLORREF HeadlessPresenter::ColorAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= last.width || y >= last.height)
        return 0;
    int bytes = (last.bitsPerPixel + 7) / 8;
    const std::uint8_t* p = pixels.data() + static_cast<size_t>(y) * last.pitch + x * bytes;
    std::uint32_t value = 0;
    std::memcpy(&value, p, static_cast<size_t>(bytes)); // little-endian pixel bytes
    return ColorOfPixel(PixelFormat::ForDepth(last.bitsPerPixel), last.palette, value);
}

} // namespace kiv::platform::headless
