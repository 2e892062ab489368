// The time a network session adds to a frame: every peer sends its inputs of the frame to
// all and waits until it has every peer's, over TCP on the loopback (the host relays). With
// one peer the message only loops back locally: that is the frame of a level played alone.
// Reported: p50 and p99 of the added time per frame, in microseconds, as the host sees it.
#include "FreePort.h"
#include "network/NetworkMessages.h"
#include "platform/Transport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

using kiv::platform::SessionEvent;
using kiv::platform::Transport;
using Clock = std::chrono::steady_clock;

const std::uint8_t Session[16] = {'b', 'e', 'n', 'c', 'h'};

// One frame of one peer: its inputs (a frame marker and two key records) to everyone, then
// every peer's inputs of the frame. False when the session broke.
bool Frame(Transport& t, int peers, std::uint32_t stamp, std::vector<std::uint8_t>& out,
           SessionEvent& e) {
    const std::uint8_t keys[4] = {0xCD, 0x01, 0xCD, 0x00};
    kiv::net::BeginInputs(stamp, out);
    kiv::net::AppendItem(kiv::net::FrameMarkerItem, nullptr, 0, out);
    kiv::net::AppendItem(kiv::net::KeyboardItem, keys, 4, out);
    t.Send(0, out.data(), out.size());
    for (int received = 0; received < peers;) {
        if (!t.Poll(e)) {
            t.Wait(10);
            continue;
        }
        if (e.kind == SessionEvent::Received)
            ++received;
        else if (e.kind != SessionEvent::PlayerCreated)
            return false;
    }
    return true;
}

void BM_NetworkFrame(benchmark::State& state) {
    int peers = static_cast<int>(state.range(0));
    std::uint16_t port = kiv::test::FreePort();
    auto host = kiv::platform::MakeTcpTransport();
    if (host->Host(Session, port, "host") != Transport::Result::Ok) {
        state.SkipWithError("cannot host on the loopback");
        return;
    }
    std::atomic<bool> done{false};
    std::vector<std::thread> others;
    for (int i = 1; i < peers; ++i)
        others.emplace_back([&, i] {
            auto t = kiv::platform::MakeTcpTransport();
            if (t->Join(Session, "127.0.0.1", port, "peer" + std::to_string(i)) !=
                Transport::Result::Ok)
                return;
            std::vector<std::uint8_t> out;
            SessionEvent e;
            for (std::uint32_t stamp = 0; !done && Frame(*t, peers, stamp, out, e); ++stamp) {
            }
        });
    SessionEvent e;
    for (int created = 0; created < peers;) // everyone is in before the clock runs
        if (host->Poll(e))
            created += e.kind == SessionEvent::PlayerCreated;
        else
            host->Wait(10);
    std::vector<std::uint8_t> out;
    std::vector<double> times;
    std::uint32_t stamp = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        if (!Frame(*host, peers, stamp++, out, e)) {
            state.SkipWithError("the session broke");
            break;
        }
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    done = true;
    host->Close();
    for (std::thread& t : others)
        t.join();
    if (times.empty())
        return;
    std::sort(times.begin(), times.end());
    state.counters["p50_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[std::min(times.size() - 1, times.size() * 99 / 100)];
}

} // namespace

BENCHMARK(BM_NetworkFrame)->Arg(1)->Arg(2)->Arg(4)->UseRealTime()->Iterations(2000);
