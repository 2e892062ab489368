#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <vector>

namespace kiv::platform::headless {

// Keeps every presented frame's pixels in memory instead of showing them, so tests can
// look at them, hash them or save them. A frame shown through a gamma ramp is kept as the
// screen would show it: ramped, in 32-bit pixels.
class HeadlessPresenter : public Presenter {
public:
    bool Present(const FrameView& frame) override;

    // The next Present reports lost surfaces instead of showing the frame.
    void LoseNextPresent() { loseNext = true; }

    // The last frame shown, as a copy of its rows (without row padding).
    const std::vector<std::uint8_t>& LastPixels() const { return pixels; }
    const FrameView& Last() const { return last; }
    // FNV-1a (32-bit) of the last frame's bytes.
    std::uint32_t Hash() const;
    // The colour (0x00BBGGRR) of pixel (x, y) of the last frame.
    COLORREF ColorAt(int x, int y) const;
    int Presented() const { return presented; }

private:
    void KeepAsGiven(const FrameView& frame);
    void KeepThroughRamp(const FrameView& frame);

    std::vector<std::uint8_t> pixels;
    std::vector<COLORREF> palette;
    FrameView last;
    int presented = 0;
    bool loseNext = false;
};

} // namespace kiv::platform::headless
