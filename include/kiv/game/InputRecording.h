#pragma once

#include <kiv/Export.h>

#include <array>
#include <cstdint>
#include <vector>

class File;

// The player's input as a level records it frame by frame, and plays it back in a replay:
// per frame the codes of the keys that were down, the mouse's flags byte (buttons down, axes
// moved) and the sums of its X, Y and wheel steps.
class KIV_API InputRecording {
public:
    InputRecording();

    // Empties the three buffers.
    void Clear();

    // Starts the next keyboard frame; the keys down in it follow.
    void StartKeyFrame();
    void AddKey(unsigned char code);
    unsigned int KeyFrames() const { return static_cast<unsigned int>(keyFrameStart.size()); }
    // The codes recorded in keyboard frame i, and how many there are.
    const unsigned char* KeyFrame(unsigned int i, unsigned int& count) const;

    void AddMouseFrame(unsigned char flags, const std::array<std::int32_t, 3>& steps);
    unsigned int MouseFlagFrames() const { return static_cast<unsigned int>(mouseFlags.size()); }
    unsigned int MouseStepFrames() const { return static_cast<unsigned int>(mouseSteps.size()); }
    unsigned char MouseFlags(unsigned int i) const { return mouseFlags[i]; }
    const std::array<std::int32_t, 3>& MouseSteps(unsigned int i) const { return mouseSteps[i]; }

    // The body of a replay file, after its magic: the keyboard frames (count, then per frame
    // n and n codes), the flags bytes (count, bytes) and the step triples (count, triples).
    void Save(File& file) const;
    // Reads that body back in place of what the buffers held.
    void Load(File& file);

private:
    // The key codes of every frame, one after the other; a frame starts at its offset.
    std::vector<unsigned char> keys;
    std::vector<std::uint32_t> keyFrameStart;
    std::vector<unsigned char> mouseFlags;
    std::vector<std::array<std::int32_t, 3>> mouseSteps;
};
