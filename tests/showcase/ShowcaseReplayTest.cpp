// Recording the showcase with F1 and F2, saving the recording with F7, and playing it back,
// with F3 in the same game and with --replay in a game of its own: every replayed frame
// shows what the recorded frame showed.
#include "ShowcaseRun.h"

#include <kiv/Kiv.h>

#include "game/LoopGlobals.h"

#include <set>
#include <string>

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define KIV_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIV_SLOW_BUILD 1
#endif
#endif

// At least 10,000 frames; the sanitizers' build, many times slower, plays a shorter one.
#ifdef KIV_SLOW_BUILD
constexpr std::uint32_t Recorded = 500;
#else
constexpr std::uint32_t Recorded = 10000;
#endif
constexpr std::uint32_t RecordingKey = 50; // F1: the recording starts with the next frame
constexpr std::uint32_t StopKey = RecordingKey + Recorded;
constexpr std::uint32_t SaveKey = StopKey + 5;
constexpr std::uint32_t ReplayKey = StopKey + 10;

// A long, varied play in the playground: runs both ways, jumps, the collision layer shown
// and hidden, and the mouse moved and clicked, from a fixed pseudo-random sequence.
std::string Play(std::uint32_t from, std::uint32_t to) {
    std::string script;
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % n;
    };
    const char* held = nullptr;
    for (std::uint32_t frame = from; frame + 20 < to; frame += 10 + next(50)) {
        auto at = std::to_string(frame) + " ";
        if (held)
            script += at + "key " + held + " up\n";
        static const char* const ways[] = {"RIGHT", "LEFT", nullptr};
        held = ways[next(3)];
        if (held)
            script += at + "key " + held + " down\n";
        if (next(3) == 0)
            script += at + "press SPACE\n";
        if (next(9) == 0)
            script += at + "press C\n";
        if (next(4) == 0)
            script += at + "mouse move " + std::to_string(int(next(41)) - 20) + " " +
                      std::to_string(int(next(41)) - 20) + "\n";
        if (next(11) == 0)
            script += at + "mouse click left\n";
    }
    if (held)
        script += std::to_string(to - 10) + " key " + held + " up\n";
    return script;
}

class ShowcaseReplays : public kiv::test::ShowcaseRun {};

TEST_F(ShowcaseReplays, RecordedFramesReplayWithTheSameBackBufferHashes) {
    beforeFrame = [&](std::uint32_t frame) {
        if (frame == 1)
            platform->ReadScript("10 press RETURN\n" + std::to_string(RecordingKey) +
                                 " press F1\n" + Play(RecordingKey + 1, StopKey) +
                                 std::to_string(StopKey) + " press F2\n" + std::to_string(SaveKey) +
                                 " dialog tour\n" + std::to_string(SaveKey) + " press F7\n" +
                                 std::to_string(ReplayKey) + " press F3\n");
        if (frame == RecordingKey + 2) {
            EXPECT_TRUE(myGame->Recording());
        }
        if (frame == ReplayKey + 2) {
            EXPECT_TRUE(myGame->ReplayMode());
        }
    };
    Run("--frames=" + std::to_string(ReplayKey + Recorded + 10));
    auto recorded = hashes;
    ASSERT_EQ(recorded.size(), ReplayKey + Recorded + 10);
    std::set<std::uint32_t> pictures; // a play that barely changes the screen would prove little
    for (std::uint32_t i = 1; i <= Recorded; ++i)
        pictures.insert(recorded.at(RecordingKey + i));
    EXPECT_GT(pictures.size(), Recorded / 20);
    for (std::uint32_t i = 0; i < Recorded; ++i)
        ASSERT_EQ(recorded.at(ReplayKey + 1 + i), recorded.at(RecordingKey + 1 + i))
            << "replayed frame " << i;
    ASSERT_EQ(platform->dialogs.Choosers().size(), 1u);
    EXPECT_EQ(platform->dialogs.Choosers()[0].filterName, "Saved Replays (*.rep)");
    auto start = ReadBytes("tour.sar");
    ASSERT_GT(start.size(), 7u);
    EXPECT_EQ(std::string(start.begin(), start.begin() + 7), "KIV_SAR");

    // The same replay in a game of its own, which ends when the replay does.
    beforeFrame = nullptr;
    EXPECT_EQ(Run("--replay=tour.rep"), 0);
    EXPECT_EQ(kiv::FrameCounter, Recorded + 1);
    for (std::uint32_t i = 0; i < Recorded; ++i)
        ASSERT_EQ(hashes.at(1 + i), recorded.at(RecordingKey + 1 + i)) << "replayed frame " << i;
}

} // namespace
