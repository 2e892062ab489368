#pragma once

namespace kiv {

// The steps of a frame in the order RunFrame takes them; Maps holds the maps' drawing, their
// texts and particles, Sprites the sprite passes within it, Overlay the texts without a map,
// the cursor and the scrolling box, Effects the screen effects and the z-order queue.
enum class FrameStep { Input, Logic, Maps, Sprites, Overlay, Console, Effects, Present, End };

// Where a frame's time goes, for measuring programs: when set, RunFrame calls it as each step
// begins, and with End when the frame is over. Games leave it null.
using FrameStepObserver = void (*)(FrameStep);
extern FrameStepObserver frameStepObserver;

inline void BeginStep(FrameStep step) {
    if (frameStepObserver)
        frameStepObserver(step);
}

} // namespace kiv
