// find_frame SCREEN.png FRAME.png: succeeds when the frame appears pixel for pixel somewhere
// in the screen photograph, and prints where.
#include "platform/Platform.h"

#include <cstdio>

using kiv::platform::Image;

namespace {

bool MatchesAt(const Image& screen, const Image& frame, int ox, int oy) {
    for (int y = 0; y < frame.height; ++y) {
        const std::uint32_t* s = &screen.argb[static_cast<size_t>(oy + y) * screen.width + ox];
        const std::uint32_t* f = &frame.argb[static_cast<size_t>(y) * frame.width];
        for (int x = 0; x < frame.width; ++x)
            if ((s[x] ^ f[x]) & 0xFFFFFF)
                return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Image screen, frame;
    if (argc != 3 || !kiv::platform::ImageCodec::DecodeFile(argv[1], screen) ||
        !kiv::platform::ImageCodec::DecodeFile(argv[2], frame)) {
        std::fprintf(stderr, "usage: find_frame SCREEN.png FRAME.png (both readable)\n");
        return 2;
    }
    // A blank frame would be found on any dark screen, and prove nothing.
    bool drawn = false;
    for (std::uint32_t c : frame.argb)
        drawn = drawn || (c & 0xFFFFFF) != 0;
    if (!drawn) {
        std::printf("the frame is blank\n");
        return 1;
    }
    for (int oy = 0; oy + frame.height <= screen.height; ++oy)
        for (int ox = 0; ox + frame.width <= screen.width; ++ox)
            if (MatchesAt(screen, frame, ox, oy)) {
                std::printf("frame found at %d,%d\n", ox, oy);
                return 0;
            }
    std::printf("frame (%dx%d) not found on the screen (%dx%d)\n", frame.width, frame.height,
                screen.width, screen.height);
    return 1;
}
