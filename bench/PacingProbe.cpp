// Frame pacing in a real window: the swarm game (1,000 critters) played at 30, 50 and 60
// frames per second, 10 seconds each, first with the machine as it is, then with one core
// kept busy by a spinning thread this program starts. For each case it prints how far the
// intervals between frame starts fall from the level's frame time (p50, p99 and the largest
// error), the mean interval, and the processor time the frame waits used (% of one core, the
// waiting thread's own time over the case's wall time). Nothing is asserted.
//
// Run it in a window, e.g. under Xvfb: scripts/pacing [seconds] [critters]. The program lies
// beside the swarm, whose data and art it reads.

#include "game/FrameSteps.h"
#include "platform/sdl/SteadyClock.h"

#include <kiv/Kiv.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

int SwarmMain(int argc, char** argv);

namespace {

using Clock = std::chrono::steady_clock;
using kiv::platform::PreciseWait;

struct Case {
    unsigned fps;
    bool busy;
};
constexpr Case Cases[] = {{30, false}, {50, false}, {60, false},
                          {30, true},  {50, true},  {60, true}};
constexpr int CaseCount = static_cast<int>(std::size(Cases));
// Frames left out at the start of each case: the level's start and the change of rate.
constexpr int SettleFrames = 30;

// Keeps one core busy while `on` is set.
class BusyCore {
public:
    void Start() {
        on = true;
        thread = std::thread([this] {
            while (on.load(std::memory_order_relaxed)) {
            }
        });
    }
    void Stop() {
        if (!thread.joinable())
            return;
        on = false;
        thread.join();
    }

private:
    std::atomic<bool> on{false};
    std::thread thread;
};

struct Probe {
    double seconds = 10;
    int critters = 1000;
    int index = -1; // the case that runs
    int frame = 0;  // frames into it
    Clock::time_point last, measuredFrom;
    PreciseWait::Totals waitsFrom;
    std::uint64_t waitsSeen = 0;
    std::vector<double> intervals; // ms
    std::vector<double> waitsLate; // ms after their deadlines that the waits returned
    int overran = 0;               // frames whose own work took longer than the frame time
    BusyCore busy;
    kiv::platform::sdl::SteadyClock* clock = nullptr;
    bool failed = false;
} probe;

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The nearest-rank percentile of sorted values (NaN for none).
double Percentile(const std::vector<double>& sorted, int percent) {
    if (sorted.empty())
        return NAN;
    std::size_t rank = (sorted.size() * static_cast<std::size_t>(percent) + 99) / 100;
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

void Report(const Case& c, Clock::time_point now) {
    const double target = 1000 / c.fps; // the level's frame time, in whole milliseconds
    std::vector<double> errors;
    double sum = 0;
    for (double ms : probe.intervals) {
        errors.push_back(std::fabs(ms - target));
        sum += ms;
    }
    std::sort(errors.begin(), errors.end());
    std::sort(probe.waitsLate.begin(), probe.waitsLate.end());
    const PreciseWait& waiter = probe.clock->Waiter();
    const auto waitCpu = waiter.Counted().cpu - probe.waitsFrom.cpu;
    const double waitShare = 100 * Milliseconds(waitCpu) / Milliseconds(now - probe.measuredFrom);
    const double marginUs =
        std::chrono::duration<double, std::micro>(waiter.Overshoot().Margin()).count();
    std::printf("%3u fps %-8s %5zu frames  mean %7.3f ms  error p50 %6.3f  p99 %6.3f  max %7.3f ms"
                "  waiting %5.1f%% of a core  (%d frames overran; waits late p99 %.3f ms; margin "
                "%.0f us)\n",
                c.fps, c.busy ? "one busy" : "idle", probe.intervals.size(),
                sum / static_cast<double>(probe.intervals.size()), Percentile(errors, 50),
                Percentile(errors, 99), errors.back(), waitShare, probe.overran,
                Percentile(probe.waitsLate, 99), marginUs);
    std::fflush(stdout);
}

void StartCase(int index) {
    probe.index = index;
    probe.frame = 0;
    probe.intervals.clear();
    probe.waitsLate.clear();
    probe.overran = 0;
    probe.busy.Stop();
    if (index == CaseCount) {
        myGame->EndGame();
        return;
    }
    gNode->FPStoMS(Cases[index].fps);
    if (Cases[index].busy)
        probe.busy.Start();
}

// The first frame: the probe needs the desktop clock, whose waits it counts.
bool Begin() {
    probe.clock =
        dynamic_cast<kiv::platform::sdl::SteadyClock*>(&kiv::platform::Current().GetClock());
    if (!probe.clock) {
        std::fprintf(stderr, "pacing_probe: needs a window (KIV_PLATFORM=sdl on a display)\n");
        probe.failed = true;
        myGame->EndGame();
        return false;
    }
    probe.clock->Waiter().Count(true);
    StartCase(0);
    return true;
}

// A frame's work begins, just after the wait for it.
void FrameStart(Clock::time_point now) {
    const int frame = probe.frame++;
    if (frame > SettleFrames) {
        probe.intervals.push_back(Milliseconds(now - probe.last));
        const PreciseWait::Totals& waits = probe.clock->Waiter().Counted();
        if (waits.waits != probe.waitsSeen) // a frame that overran did not wait
            probe.waitsLate.push_back(Milliseconds(waits.late));
        probe.waitsSeen = waits.waits;
    } else if (frame == SettleFrames) {
        probe.measuredFrom = now;
        probe.waitsFrom = probe.clock->Waiter().Counted();
        probe.waitsSeen = probe.waitsFrom.waits;
    }
    probe.last = now;
    if (frame > SettleFrames &&
        now - probe.measuredFrom >= std::chrono::duration<double>(probe.seconds)) {
        Report(Cases[probe.index], now);
        StartCase(probe.index + 1);
    }
}

// The frame is presented: a frame whose own work took longer than the frame time is late
// whatever the wait does.
void FrameEnd(Clock::time_point now) {
    if (probe.frame > SettleFrames + 1 &&
        Milliseconds(now - probe.last) > 1000 / Cases[probe.index].fps)
        ++probe.overran;
}

void Observe(kiv::FrameStep step) {
    if (probe.failed || probe.index == CaseCount)
        return;
    if (probe.index < 0 && !Begin())
        return;
    if (step == kiv::FrameStep::Input)
        FrameStart(Clock::now());
    else if (step == kiv::FrameStep::End)
        FrameEnd(Clock::now());
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1)
        probe.seconds = std::max(1.0, std::atof(argv[1]));
    if (argc > 2)
        probe.critters = std::max(1, std::atoi(argv[2]));
    std::printf("frame pacing, swarm of %d critters, %.0f s a case; load average %s\n",
                probe.critters, probe.seconds, LoadAverage().c_str());
    std::string sprites = "--sprites=" + std::to_string(probe.critters);
    std::vector<char*> args = {argv[0], const_cast<char*>("--windowed"), sprites.data()};
    kiv::frameStepObserver = Observe;
    int status = SwarmMain(static_cast<int>(args.size()), args.data());
    probe.busy.Stop();
    if (probe.failed || probe.index != CaseCount) {
        std::fprintf(stderr, "pacing_probe: the game ended before the last case (status %d)\n",
                     status);
        return status ? status : 1;
    }
    std::printf("load average %s\n", LoadAverage().c_str());
    return status;
}
