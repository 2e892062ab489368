// The gamma ramp effects: the ramps they set, step by step, as the presenter shows them.
#include "EffectFixture.h"

#include <functional>

namespace {

class Gamma : public kiv::test::EffectDisplay {
protected:
    void SetUp() override {
        EffectDisplay::SetUp();
        Start(16, 8, 32, false);
        Paint();
    }
    // Every pixel shown is the picture's with each component c turned into ramp(c) / 255
    // (ramp entries run to 255 × 255); the back buffer itself stays as drawn.
    void ExpectShown(const std::function<unsigned(unsigned, int)>& ramp) {
        kiv::PresentBackBuffer();
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x) {
                COLORREF c = Pattern(x, y), expected = 0;
                for (int channel = 0; channel < 3; ++channel)
                    expected |= std::min(ramp(c >> 8 * channel & 0xFF, channel) / 255u, 255u)
                                << 8 * channel;
                ASSERT_EQ(Shown(x, y), expected) << x << ", " << y;
                ASSERT_EQ(Drawn(x, y), c);
            }
    }
    // The fade's ramp after `factor` steps of `frames`: trunc(i × (255 / frames) × factor).
    static std::function<unsigned(unsigned, int)> Fade(int frames, int factor) {
        return [=](unsigned i, int) -> unsigned {
            return static_cast<unsigned short>(static_cast<float>(i) *
                                               (255.0f / static_cast<float>(frames)) *
                                               static_cast<float>(factor));
        };
    }
    static unsigned Identity(unsigned i, int) { return i * 255; }

    GammaRamp effect;
};

} // namespace

TEST_F(Gamma, FadeInBrightensStepByStepUpToThePicture) {
    effect.FadeIn(6);
    ExpectShown(Fade(6, 1));
    for (int frame = 1; frame <= 6; ++frame) {
        effect.Update();
        ASSERT_TRUE(effect.IsRunning());
        ExpectShown(Fade(6, frame));
    }
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShown(Identity);

    effect.FadeIn(0); // a step of 0: black, then over at the next step
    ExpectShown([](unsigned, int) { return 0u; });
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShown(Identity);
}

TEST_F(Gamma, FadeOutDarkensHoldsAndRestoresOnlyWhenAsked) {
    effect.FadeOut(4, 2, false);
    ExpectShown(Identity);
    for (int factor : {3, 2, 1, 1, 1, 1, 1}) { // the last ramp stays during the hold
        effect.Update();
        ASSERT_TRUE(effect.IsRunning());
        ExpectShown(Fade(4, factor));
    }
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShown(Fade(4, 1)); // left dark

    effect.FadeOut(4, 0, true);
    for (int i = 0; i < 6; ++i)
        effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShown(Identity);
}

TEST_F(Gamma, FilterScalesEachChannelByItsByteOfTheColour) {
    effect.Filter(0x00FF80, 2); // red 128, green 255, blue 0
    ExpectShown([](unsigned i, int channel) {
        return i * (channel == 0 ? 128u : channel == 1 ? 255u : 0u);
    });
    for (int i = 0; i < 3; ++i)
        effect.Update();
    EXPECT_TRUE(effect.IsRunning());
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    effect.Filter(0xFFFFFF, 1); // white: the identity
    ExpectShown(Identity);
    EXPECT_EQ(Presenter().Last().bitsPerPixel, 32);

    // Frames of every depth are shown through the ramp.
    for (int depth : {8, 16, 24}) {
        kiv::CloseGraphics();
        Start(16, 8, depth, false);
        back->Fill(back->MatchColor(0x4080C0));
        COLORREF drawn = Drawn(0, 0), expected = 0;
        GammaRamp half;
        half.Filter(0x808080, 1);
        kiv::PresentBackBuffer();
        for (int channel = 0; channel < 3; ++channel)
            expected |= ((drawn >> 8 * channel & 0xFF) * 128 / 255) << 8 * channel;
        EXPECT_EQ(Shown(5, 5), expected) << depth << " bits per pixel";
    }
}

TEST_F(Gamma, OneAtATimeAndOnlyInFullScreen) {
    effect.Filter(0x0000FF, 10);
    effect.FadeIn(5);
    EXPECT_EQ(LastError(), "void GammaRamp::FadeIn(int) | The effect FadeIn can't be set because "
                           "another GammaRamp effect is running.");
    _IsWindowed = true; // the full-screen message comes first
    effect.FadeOut(5, 0, true);
    EXPECT_EQ(LastError(), "void GammaRamp::FadeOut(int,int,bool) | The effect FadeOut can't be "
                           "set because full screen mode is required.");
    kiv::PresentBackBuffer(); // a window shows the frame as it is
    EXPECT_EQ(Shown(1, 1), Pattern(1, 1));
    effect.Update(); // and ends the running filter
    EXPECT_FALSE(effect.IsRunning());
    effect.Filter(0x0000FF, 10);
    EXPECT_EQ(LastError(), "void GammaRamp::Filter(unsigned long,int) | The effect Filter can't "
                           "be set because full screen mode is required.");
}

TEST_F(Gamma, TheRecordHoldsTheWorkingRampAndRoundTrips) {
    effect.FadeOut(3, 4, false);
    effect.Update();
    std::vector<unsigned char> bytes = Record(effect);
    ASSERT_EQ(bytes.size(), 4u * 4 + 1 + 1536 + 4 + 1);
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin(), bytes.begin() + 17)),
              (std::vector<unsigned char>{2, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 3, 0, 0, 0, 1}));
    // Red entry 255 after one step: trunc(255 × 85 × 2) = 43350, little-endian.
    EXPECT_EQ(bytes[17 + 2 * 255] | bytes[18 + 2 * 255] << 8, 43350);
    GammaRamp loaded;
    {
        File file("record.bin", File::Reading);
        loaded.Load(file);
    }
    EXPECT_EQ(Record(loaded, "again.bin"), bytes);
    EXPECT_EQ(loaded.Working().blue[255], 43350);
}
