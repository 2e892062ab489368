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

    // Every pixel shown is the picture's with each component c turned into
    // ramp(c) / 255 (ramp entries run to 255 × 255).
    void ExpectShownThrough(const std::function<unsigned(unsigned, int)>& ramp) {
        kiv::PresentBackBuffer();
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x) {
                COLORREF c = Pattern(x, y);
                COLORREF expected = 0;
                for (int channel = 0; channel < 3; ++channel)
                    expected |= std::min(ramp(c >> 8 * channel & 0xFF, channel) / 255u, 255u)
                                << 8 * channel;
                ASSERT_EQ(Shown(x, y), expected) << "at " << x << ", " << y;
                ASSERT_EQ(Drawn(x, y), c) << "the back buffer itself stays as drawn";
            }
    }
    void ExpectShownAsDrawn() {
        kiv::PresentBackBuffer();
        EXPECT_EQ(Presenter().Last().bitsPerPixel, 32);
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x)
                ASSERT_EQ(Shown(x, y), Pattern(x, y));
    }
    // The fade's ramp: trunc(i × (255 / frames) × factor).
    static std::function<unsigned(unsigned, int)> Fade(int frames, int factor) {
        return [=](unsigned i, int) {
            return static_cast<unsigned>(static_cast<unsigned short>(
                static_cast<float>(i) * (255.0f / static_cast<float>(frames)) *
                static_cast<float>(factor)));
        };
    }

    GammaRamp effect;
};

} // namespace

TEST_F(Gamma, FadeInBrightensStepByStepUpToThePictureItself) {
    effect.FadeIn(6);
    ExpectShownThrough(Fade(6, 1));
    for (int frame = 1; frame <= 6; ++frame) {
        effect.Update();
        ASSERT_TRUE(effect.IsRunning());
        ExpectShownThrough(Fade(6, frame));
    }
    effect.Update(); // frame 6 is the last step: the identity comes back
    EXPECT_FALSE(effect.IsRunning());
    ExpectShownAsDrawn();
}

TEST_F(Gamma, FadeOutDarkensThenHoldsAndRestoresOnlyWhenAsked) {
    effect.FadeOut(4, 2, false);
    ExpectShownAsDrawn(); // starts from the identity ramp
    const int factors[] = {3, 2, 1, 1, 1, 1, 1};
    for (int factor : factors) {
        effect.Update();
        ASSERT_TRUE(effect.IsRunning());
        ExpectShownThrough(Fade(4, factor)); // the last ramp stays during the hold
    }
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShownThrough(Fade(4, 1)); // left dark: nothing restores it

    effect.FadeOut(4, 0, true);
    for (int i = 0; i < 5; ++i)
        effect.Update();
    ASSERT_TRUE(effect.IsRunning());
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShownAsDrawn();
}

TEST_F(Gamma, FilterScalesEachChannelByItsByteOfTheColour) {
    effect.Filter(0x00FF80, 2); // red 128, green 255, blue 0
    ExpectShownThrough([](unsigned i, int channel) {
        return i * (channel == 0 ? 128u : channel == 1 ? 255u : 0u);
    });
    effect.Update();
    effect.Update();
    effect.Update();
    EXPECT_TRUE(effect.IsRunning());
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShownAsDrawn();

    effect.Filter(0xFFFFFF, 1); // white is the identity
    EXPECT_TRUE(effect.IsRunning());
    ExpectShownAsDrawn();
}

TEST_F(Gamma, ZeroFramesUseAZeroStep) {
    effect.FadeIn(0);
    ExpectShownThrough([](unsigned, int) { return 0u; }); // black
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    ExpectShownAsDrawn();
}

TEST_F(Gamma, ARunningEffectOrAWindowRefusesANewOne) {
    effect.Filter(0x0000FF, 10);
    effect.FadeOut(5, 0, true);
    EXPECT_EQ(LastError(), "void GammaRamp::FadeOut(int,int,bool) | The effect FadeOut can't be "
                           "set because another GammaRamp effect is running.");
    effect.FadeIn(5);
    EXPECT_EQ(LastError(), "void GammaRamp::FadeIn(int) | The effect FadeIn can't be set because "
                           "another GammaRamp effect is running.");

    // A window has no gamma ramp: the running filter ends at its next step, untouched.
    _IsWindowed = true;
    kiv::PresentBackBuffer();
    EXPECT_EQ(Shown(1, 1), Pattern(1, 1));
    effect.Update();
    EXPECT_FALSE(effect.IsRunning());
    effect.Filter(0x0000FF, 10);
    EXPECT_EQ(LastError(), "void GammaRamp::Filter(unsigned long,int) | The effect Filter can't "
                           "be set because full screen mode is required.");
    EXPECT_FALSE(effect.IsRunning());
}

TEST_F(Gamma, TheFullScreenMessageComesFirst) {
    effect.FadeIn(5);
    _IsWindowed = true;
    effect.FadeIn(5);
    EXPECT_EQ(LastError(), "void GammaRamp::FadeIn(int) | The effect FadeIn can't be set because "
                           "full screen mode is required.");
}

TEST_F(Gamma, AFrameAtEveryDepthIsShownThroughTheRamp) {
    for (int depth : {8, 16, 24}) {
        kiv::CloseGraphics();
        Start(16, 8, depth, false);
        back->Fill(back->MatchColor(0x4080C0));
        COLORREF drawn = Drawn(0, 0);
        GammaRamp half;
        half.Filter(0x808080, 1);
        kiv::PresentBackBuffer();
        COLORREF expected = 0;
        for (int channel = 0; channel < 3; ++channel)
            expected |= ((drawn >> 8 * channel & 0xFF) * 128 / 255) << 8 * channel;
        EXPECT_EQ(Shown(5, 5), expected) << depth << " bits per pixel";
    }
}

TEST_F(Gamma, TheRecordHoldsTheWorkingRampAndRoundTrips) {
    effect.FadeOut(3, 4, false);
    effect.Update();
    std::vector<unsigned char> bytes = Record(effect);
    ASSERT_EQ(bytes.size(), 4u * 4 + 1 + 1536 + 4 + 1);
    EXPECT_EQ(bytes[0], 2);  // kind: fade out
    EXPECT_EQ(bytes[4], 1);  // frame
    EXPECT_EQ(bytes[8], 4);  // hold
    EXPECT_EQ(bytes[12], 3); // duration
    EXPECT_EQ(bytes[16], 1); // running
    // Red entry 255 of the ramp after one step: trunc(255 × 85 × 2) = 43350, little-endian.
    EXPECT_EQ(bytes[17 + 2 * 255] | bytes[17 + 2 * 255 + 1] << 8, 43350);
    EXPECT_EQ(bytes.back(), 0); // restore

    GammaRamp loaded;
    {
        File file("record.bin", File::Reading);
        loaded.Load(file);
    }
    EXPECT_EQ(Record(loaded, "again.bin"), bytes);
    EXPECT_TRUE(loaded.IsRunning());
    EXPECT_EQ(loaded.Working().blue[255], 43350);
}
