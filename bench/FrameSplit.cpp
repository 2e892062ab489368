// Where a whole frame of the showcase goes: the showcase game itself, headless, played through
// a scripted run in its playground (start, run right over coins and into the slime, jump,
// come back), with the share of each step of its frames (the frame loop reports the steps
// as they begin). Console hidden, as the showcase starts. The thread's CPU time is used, so
// that other programs on the machine add as little as they can.
//
// Run: build/release/examples/showcase/showcase_frame_split [frames] (default 900); the
// program lies beside the showcase, whose data and art it reads.

#include "game/FrameSteps.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

int ShowcaseMain(int argc, char** argv);

namespace {

using kiv::FrameStep;

constexpr int Steps = static_cast<int>(FrameStep::End);
constexpr const char* StepNames[Steps] = {"input",   "logic",   "maps",    "sprites",
                                          "overlay", "console", "effects", "present"};
// The title screen and the switch to the playground are left out of the figures.
constexpr long FirstMeasuredFrame = 120;

struct Split {
    std::array<double, Steps> ms{};
    long frames = 0;
    double worst = 0;
    int step = -1;
    double stepStart = 0, frameStart = 0;
} split;

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

long framesSeen = 0;

void Observe(FrameStep next) {
    double now = CpuMs();
    bool measured = framesSeen > FirstMeasuredFrame;
    if (split.step >= 0 && measured)
        split.ms[static_cast<std::size_t>(split.step)] += now - split.stepStart;
    if (next == FrameStep::Input) {
        split.frameStart = now;
    } else if (next == FrameStep::End) {
        if (measured) {
            ++split.frames;
            split.worst = std::max(split.worst, now - split.frameStart);
        }
        ++framesSeen;
        split.step = -1;
        return;
    }
    split.step = static_cast<int>(next);
    split.stepStart = CpuMs();
}

void Report() {
    if (split.frames == 0) {
        std::fprintf(stderr, "showcase_frame_split: no frame was measured\n");
        return;
    }
    double total = 0;
    for (double ms : split.ms)
        total += ms;
    const double frames = static_cast<double>(split.frames);
    std::printf("showcase frame, %ld frames: %.3f ms a frame on average, %.3f ms the slowest\n",
                split.frames, total / frames, split.worst);
    for (int i = 0; i < Steps; ++i)
        std::printf("  %-8s %8.3f ms  %5.1f%%\n", StepNames[i],
                    split.ms[static_cast<std::size_t>(i)] / frames,
                    100.0 * split.ms[static_cast<std::size_t>(i)] / total);
}

// Click Play, then run right with a few jumps, turn back, and run left.
std::string WriteTour(long frames) {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "kiv_frame_split.input";
    std::ofstream tour(path);
    tour << "25 mouse move -50 68\n30 mouse click left\n80 key RIGHT down\n";
    for (long f = 140; f < frames / 2; f += 90)
        tour << f << " press SPACE\n";
    tour << frames / 2 << " key RIGHT up\n" << frames / 2 + 5 << " key LEFT down\n";
    for (long f = frames / 2 + 60; f < frames; f += 90)
        tour << f << " press SPACE\n";
    return path.string();
}

} // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::max(FirstMeasuredFrame + 60, std::atol(argv[1])) : 900;
    const std::string input = "--input=" + WriteTour(frames);
    const std::string count = "--frames=" + std::to_string(frames);
    std::vector<std::string> args = {argv[0], "--headless", input, count};
    std::vector<char*> pointers;
    for (std::string& a : args)
        pointers.push_back(a.data());
    kiv::frameStepObserver = Observe;
    int status = ShowcaseMain(static_cast<int>(pointers.size()), pointers.data());
    Report();
    return status;
}
