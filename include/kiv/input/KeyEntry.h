#pragma once

#include <cstdint>

namespace kiv {

// What the game knows about one key (or mouse button), renewed once per frame.
struct KeyEntry {
    bool held;                       // already down at the end of the previous frame
    bool pressed;                    // down now
    bool triggered;                  // went down in this frame
    std::uint32_t framesUp;          // frames since the key was last down; 0 while down
    std::uint32_t upFramesBeforeTap; // frames up since the last tap count taken while down
    std::uint32_t framesHeld;        // consecutive frames down; 0 while up

    // Advances the counters by one frame, once `pressed` holds this frame's state.
    void NextFrame() {
        if (pressed) {
            framesUp = 0;
            ++framesHeld;
            triggered = !held;
            held = true;
        } else {
            framesHeld = 0;
            triggered = false;
            ++framesUp;
            ++upFramesBeforeTap;
            held = false;
        }
    }

    // While up: the frames since release. While down: the length of the gap before this
    // press, once; later reads during the same press give 0.
    std::uint32_t TapCount() {
        if (!pressed)
            return framesUp;
        std::uint32_t gap = upFramesBeforeTap;
        upFramesBeforeTap = 0;
        return gap;
    }
};

} // namespace kiv
