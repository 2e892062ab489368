// One particle in flight: its place, age and colour frame by frame against the ballistic
// formulas with the particles' own conversion constants, and its fixed record.
#include "ParticleFixture.h"
#include "SaveTo.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr float DegreesToRadians = 0.017452778f; // 3.1415 / 180

class Particles : public kiv::test::ParticleLevel {
protected:
    // A system of `count` particles set up by `init`, updated by the update hook.
    std::unique_ptr<ParticleSystem> System(unsigned int count,
                                           std::function<void(Particle*)> init) {
        onInit = std::move(init);
        return std::unique_ptr<ParticleSystem>(
            new ParticleSystem(count, InitFunction, UpdateFunction));
    }
};

float FloatAt(const std::vector<unsigned char>& b, size_t at) {
    float v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

std::uint32_t U32At(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

} // namespace

TEST_F(Particles, PlaceAgeAndColourFollowTheFormulas) {
    auto system = System(1, [](Particle* p) {
        p->Position(10, -20);
        p->Angle(30);
        p->Velocity(5);
        p->MaximumAge(50);
        p->Color(0x000000, 0x3264C8); // red 200, green 100, blue 50 at the end
    });
    system->Gravity(0.25f);
    Particle& p = system->At(0);
    EXPECT_EQ(p.Color(), 0u);
    const float angle = 30 * DegreesToRadians;
    const float vx = 5 * std::cos(angle), vy = 5 * std::sin(angle);
    for (unsigned int n = 1; n <= 12; ++n) {
        system->Update();
        float t = static_cast<float>(n - 1); // the place is taken before the time moves on
        ASSERT_FLOAT_EQ(p.PositionX(), 10 + vx * t) << n;
        ASSERT_FLOAT_EQ(p.PositionY(), -20 + vy * t - 0.5f * 0.25f * t * t) << n;
        ASSERT_EQ(p.Age(), n);
        ASSERT_EQ(p.Color(), 4 * n | 2 * n << 8 | n << 16) << n;
    }
    EXPECT_FLOAT_EQ(p.Angle(), angle);
    EXPECT_FLOAT_EQ(p.Velocity(), 5);
}

TEST_F(Particles, GravityPullsFromRestAndAnglesUseTheGamesPi) {
    auto falling = System(1, [](Particle* p) { p->MaximumAge(10); });
    falling->Gravity(1);
    for (float y : {0.0f, -0.5f, -2.0f, -4.5f}) { // time is 0 when the first place is taken
        falling->Update();
        EXPECT_EQ(falling->At(0).PositionY(), y);
    }
    auto rising = System(1, [](Particle* p) {
        p->MaximumAge(10);
        p->Velocity(1000);
        p->Angle(90); // cos(90 × 3.1415 / 180) is about 0.0000463, not 0
    });
    rising->Update();
    rising->Update();
    EXPECT_NEAR(rising->At(0).PositionX(), 0.0463f, 0.0005f);
    EXPECT_NEAR(rising->At(0).PositionY(), 1000, 0.001f);
}

TEST_F(Particles, ABirthDelayWaitsUnseenAndUnaged) {
    auto system = System(1, [](Particle* p) {
        p->MaximumAge(10);
        p->Position(20, -30);
        p->Size(2);
        p->Color(0xFFFFFF, 0xFFFFFF);
        p->BirthDelay(3);
    });
    for (int n = 1; n <= 4; ++n) {
        back->Fill(0);
        system->Update();
        bool born = n == 4;
        EXPECT_EQ(system->At(0).Age(), born ? 1u : 0u) << n;
        EXPECT_EQ(Drawn(20, 30), born ? 0xFFFFFFu : 0u) << n;
        EXPECT_EQ(Drawn(21, 31), born ? 0xFFFFFFu : 0u) << n;
        EXPECT_EQ(Drawn(22, 31), 0u);
    }
}

TEST_F(Particles, ColourStepsOverTheLifeAndRebirth) {
    auto system = System(1, [](Particle* p) {
        p->Color(0x000000, 0x0000FF);
        p->MaximumAge(255); // the steps follow the maximum age, whichever is set first
    });
    Particle& p = system->At(0);
    for (unsigned int n = 1; n <= 255; ++n) {
        system->Update();
        ASSERT_EQ(p.Color(), n);
    }
    EXPECT_TRUE(p.Dead());
    system->Update();
    EXPECT_EQ(p.Age(), 255u); // the dead do not age
    p.MaximumAge(3);          // born again
    EXPECT_FALSE(p.Dead());
    EXPECT_EQ(p.Age(), 0u);
    EXPECT_EQ(p.Color(), 0u); // the start colour until it steps
}

TEST_F(Particles, SpeedAndTimeAlongTheTrajectory) {
    auto system = System(1, [](Particle* p) {
        p->MaximumAge(100);
        p->Angle(45);
        p->Velocity(10);
    });
    system->Gravity(0.5f);
    Particle& p = system->At(0);
    const float angle = 45 * DegreesToRadians, vx = 10 * std::cos(angle), vy = 10 * std::sin(angle);
    for (float t : {0.0f, 3.0f, 14.0f}) // the speed of the velocity at time t
        EXPECT_NEAR(p.VelocityT(t), std::hypot(vx, vy - 0.5f * t), 1e-4f) << t;
    for (int i = 0; i < 5; ++i)
        system->Update();
    EXPECT_NEAR(p.Txy(p.PositionX(), p.PositionY()), 4, 1e-4f); // from the horizontal motion

    p.Velocity(0); // straight down from here: from the vertical motion, the time near now
    for (int i = 0; i < 4; ++i)
        system->Update();
    EXPECT_NEAR(p.Txy(p.PositionX(), p.PositionY()), 3, 1e-4f);
    EXPECT_EQ(p.Txy(0, p.PositionY() + 100), 0); // never that high

    system->Gravity(0);
    p.Angle(0);
    p.Velocity(4);
    EXPECT_EQ(p.Txy(3, 5), 2); // without gravity: (x + y) / (velocity x + velocity y)
}

TEST_F(Particles, TheRecordHasItsFixedLayout) {
    auto system = System(1, [](Particle* p) {
        p->Position(1.5f, 2.5f);
        p->Angle(30);
        p->Velocity(2);
        p->Friction(0.25f);
        p->Size(3);
        p->MaximumAge(40);
        p->BirthDelay(2);
        p->Color(0x010203, 0x0A0B0C);
        p->Visible(false);
        p->Reflection(true);
        p->CheckCollisionWithMap(true);
    });
    kiv::test::SaveTo("particle.bin", system->At(0));
    std::vector<unsigned char> bytes = ReadBytes("particle.bin");
    ASSERT_EQ(bytes.size(), 172u);
    EXPECT_EQ(U32At(bytes, 0), 0u); // no pointer is written
    EXPECT_EQ(FloatAt(bytes, 4), 1.5f);
    EXPECT_EQ(FloatAt(bytes, 16), 2.5f);
    EXPECT_EQ(FloatAt(bytes, 52), 30 * DegreesToRadians);
    EXPECT_EQ(FloatAt(bytes, 56), std::cos(30 * DegreesToRadians));
    EXPECT_EQ(FloatAt(bytes, 64), 2.0f);
    EXPECT_EQ(FloatAt(bytes, 68), 4.0f);
    EXPECT_EQ(FloatAt(bytes, 76), 0.25f);
    EXPECT_EQ(U32At(bytes, 80), 3u);
    EXPECT_EQ(U32At(bytes, 84), 40u);
    EXPECT_EQ(U32At(bytes, 92), 2u);
    EXPECT_EQ(U32At(bytes, 96), 0x010203u);
    EXPECT_EQ(U32At(bytes, 100), 0x0A0B0Cu);
    EXPECT_EQ(FloatAt(bytes, 104), 3.0f); // red of the start colour
    EXPECT_EQ(FloatAt(bytes, 116), (12.0f - 3) / 40);
    EXPECT_EQ(bytes[128], 0);                 // not visible
    EXPECT_EQ(FloatAt(bytes, 132 + 8), 3.0f); // the square: top, left, bottom, right
    EXPECT_EQ(FloatAt(bytes, 132 + 12), 3.0f);
    EXPECT_EQ(bytes[148], 0);
    EXPECT_EQ(bytes[149], 1); // reflection
    EXPECT_EQ(bytes[150], 1); // checks the map

    Particle loaded;
    {
        File file("particle.bin", File::Reading);
        loaded.Load(file, system.get());
    }
    EXPECT_EQ(loaded.Owner(), system.get());
    EXPECT_EQ(loaded.BirthDelay(), 2u);
    kiv::test::SaveTo("again.bin", loaded);
    EXPECT_EQ(ReadBytes("again.bin"), bytes);
}

TEST_F(Particles, DeathIsTheAgeReachingTheMaximumAge) {
    auto system = System(1, [](Particle* p) {
        p->MaximumAge(10);
        p->Position(4, -4);
        p->Color(0xFFFFFF, 0xFFFFFF);
    });
    Particle& p = system->At(0);
    for (int i = 0; i < 5; ++i)
        system->Update();
    p.MaximumAge(3); // lowered below the age: not reborn, and not dead either
    EXPECT_EQ(p.Age(), 5u);
    EXPECT_FALSE(p.Dead());
    back->Fill(0);
    system->Update();
    EXPECT_EQ(p.Age(), 6u); // it lives on and shows
    EXPECT_TRUE(system->Alive());
    EXPECT_EQ(Drawn(4, 4), 0xFFFFFFu);
}
