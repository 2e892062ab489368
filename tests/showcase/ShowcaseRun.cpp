#include "ShowcaseRun.h"

#include "host/HostGlobals.h"

#include <vector>

namespace kiv::test {

void ShowcaseRun::SetUp() {
    Scratch::SetUp();
    CurrentDirectory = folder.c_str(); // the work files of recordings and replays go here
    InstallShowcase();
    SetDataPathP = [] {
        RTDPath = KIV_SHOWCASE_DIR;
        ArtAssetsPath = RTDPath;
    };
}

int ShowcaseRun::Run(const std::string& commandLine) {
    platform = static_cast<HookedPlatform*>(&platform::Install(std::make_unique<HookedPlatform>()));
    hashes.clear();
    RandReset(1); // each run draws the numbers a fresh process would

    int presented = 0;
    platform->onPass = [this, &presented](std::uint32_t frame) {
        if (platform->presenter.Presented() != presented) {
            presented = platform->presenter.Presented();
            hashes[frame - 1] = platform->presenter.Hash();
        }
        if (beforeFrame)
            beforeFrame(frame);
    };
    std::string line = "--headless " + commandLine;
    std::vector<char> text(line.begin(), line.end());
    text.push_back('\0');
    return KivMain(nullptr, nullptr, text.data(), 1);
}

} // namespace kiv::test
