// The SDL output: a real (dummy) device pulls on its own thread; without any device the
// output still renders as the clock advances, so sounds play out and end.

#include "platform/sdl/SdlAudio.h"
#include "platform/headless/VirtualClock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

struct Counter : kiv::platform::AudioSource {
    std::atomic<unsigned long> frames{0};
    std::atomic<bool> detached{false};
    void Render(std::int16_t* out, unsigned count) override {
        for (unsigned i = 0; i < 2 * count; ++i)
            out[i] = 0;
        frames += count;
    }
    void Detached(kiv::platform::AudioOutput&) override { detached = true; }
};

// Sets SDL_AUDIODRIVER for one test.
class AudioDriver {
public:
    explicit AudioDriver(const char* name) {
        if (const char* was = std::getenv("SDL_AUDIODRIVER"))
            previous = was;
        setenv("SDL_AUDIODRIVER", name, 1);
    }
    ~AudioDriver() {
        if (previous.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", previous.c_str(), 1);
    }

private:
    std::string previous;
};

} // namespace

TEST(SdlAudio, WithoutADeviceTheStreamIsRenderedAsTheClockAdvances) {
    AudioDriver none("no-such-driver");
    kiv::platform::headless::VirtualClock clock;
    Counter source;
    {
        kiv::platform::sdl::SdlAudio audio(clock);
        ASSERT_TRUE(audio.Open(source));
        EXPECT_FALSE(audio.HasDevice());
        EXPECT_TRUE(audio.IsOpen());
        clock.Advance(1000);
        audio.Update();
        EXPECT_EQ(source.frames, 44100u);
        audio.Pause(true);
        clock.Advance(500);
        audio.Update();
        EXPECT_EQ(source.frames, 44100u); // a paused output does not make up the time
    }
    EXPECT_TRUE(source.detached);
}

TEST(SdlAudio, TheDummyDevicePullsOnItsOwnThread) {
    AudioDriver dummy("dummy");
    kiv::platform::headless::VirtualClock clock;
    Counter source;
    kiv::platform::sdl::SdlAudio audio(clock);
    ASSERT_TRUE(audio.Open(source));
    if (!audio.HasDevice())
        GTEST_SKIP() << "SDL has no dummy audio driver here";
    // Waits for the device's thread, however slow the machine.
    for (int i = 0; i < 1000 && source.frames == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GT(source.frames, 0u);
    audio.Close();
    EXPECT_TRUE(source.detached);
    EXPECT_FALSE(audio.IsOpen());
}
