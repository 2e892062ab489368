#include "platform/headless/HeadlessPresenter.h"

#include "base/Fnv1a.h"
#include "graphics/Surface.h"

#include <cstring>

namespace kiv::platform::headless {

bool HeadlessPresenter::Present(const FrameView& frame) {
    if (loseNext) {
        loseNext = false;
        return false;
    }
    last = frame;
    if (frame.gamma)
        KeepThroughRamp(frame);
    else
        KeepAsGiven(frame);
    last.gamma = nullptr;
    last.pixels = pixels.data();
    last.palette = palette.empty() ? nullptr : palette.data();
    ++presented;
    return true;
}

void HeadlessPresenter::KeepAsGiven(const FrameView& frame) {
    size_t row = static_cast<size_t>(frame.width) * ((frame.bitsPerPixel + 7) / 8);
    pixels.resize(row * frame.height);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(&pixels[row * y], frame.pixels + static_cast<size_t>(y) * frame.pitch, row);
    palette.assign(frame.palette ? frame.palette : nullptr,
                   frame.palette ? frame.palette + 256 : nullptr);
    last.pitch = static_cast<int>(row);
}

// What a screen shows through a gamma ramp: 32-bit 0x00RRGGBB pixels, whatever the depth.
void HeadlessPresenter::KeepThroughRamp(const FrameView& frame) {
    pixels.resize(static_cast<size_t>(frame.width) * 4 * frame.height);
    auto* argb = reinterpret_cast<std::uint32_t*>(pixels.data());
    ConvertToArgb(PixelFormat::ForDepth(frame.bitsPerPixel), frame.palette, frame.pixels,
                  frame.pitch, frame.width, frame.height, argb, frame.width * 4);
    const GammaView& g = *frame.gamma;
    ApplyGammaRamp(g.red, g.green, g.blue, argb, frame.width, frame.height, frame.width * 4);
    for (size_t i = 0; i < static_cast<size_t>(frame.width) * frame.height; ++i)
        argb[i] &= 0x00FFFFFFu;
    palette.clear();
    last.bitsPerPixel = 32;
    last.pitch = frame.width * 4;
}

std::uint32_t HeadlessPresenter::Hash() const {
    return Fnv1a(pixels.data(), pixels.size());
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
