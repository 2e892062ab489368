#pragma once

#include "game/GameRun.h"

#include <cstdint>
#include <map>
#include <string>

// The showcase's callback slots (examples/showcase/Showcase.cpp, built into this program).
void InstallShowcase();

namespace kiv::test {

// Plays the showcase in this process on the headless backend, with its data from the build
// folder, and keeps the hash of every frame it presents.
class ShowcaseRun : public Scratch {
protected:
    void SetUp() override;
    // Runs KivMain once; the hook runs at the start of every pass, before the frame.
    int Run(const std::string& commandLine);

    HookedPlatform* platform = nullptr;
    std::function<void(std::uint32_t)> beforeFrame;
    // FNV-1a hash of the back buffer presented by each frame, by frame number.
    std::map<std::uint32_t, std::uint32_t> hashes;
};

} // namespace kiv::test
