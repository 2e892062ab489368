// Particle systems in a level: their functions, where they draw, how they end, their names
// and maps, copies, and their record.
#include "ParticleFixture.h"

#include <cstring>

namespace {

class Systems : public kiv::test::ParticleLevel {
protected:
    // A system of `count` particles set up by `init`, added to the level.
    ParticleSystem* Add(unsigned int count, std::function<void(Particle*)> init,
                        const char* name = "sparks") {
        onInit = std::move(init);
        auto* system = new ParticleSystem(count, InitFunction, UpdateFunction);
        system->Name(name);
        level->Add(system);
        return system;
    }
    static void Live(Particle* p) {
        p->MaximumAge(100);
        p->Color(0xFFFFFF, 0xFFFFFF);
    }
    Map* Strip() {
        auto* map =
            new Map("strip", "strip.bmp", Map::Standard, 1, 30, 20, false, KivRect{0, 0, 64, 32});
        level->Add(map);
        return map;
    }
};

} // namespace

TEST_F(Systems, FunctionsComeFromTheTableByIndex) {
    int inits = 0;
    onInit = [&](Particle*) { ++inits; };
    ParticleSystem bad(3, 7, UpdateFunction);
    EXPECT_EQ(LastError(), "ParticleSystem::ParticleSystem(unsigned int,int,int) | The function 7 "
                           "cannot be found.");
    EXPECT_EQ(inits, 0);

    std::vector<Particle*> seen;
    onInit = [&](Particle* p) { seen.push_back(p); };
    ParticleSystem good(3, InitFunction, -1);
    ASSERT_EQ(seen.size(), 3u);
    for (unsigned int i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i], &good.At(i));
        EXPECT_EQ(good.At(i).Owner(), &good);
    }
    good.At(0).MaximumAge(5);
    good.Update(); // without an update function nothing moves on
    EXPECT_EQ(good.At(0).Age(), 0u);

    int updates = 0;
    onUpdate = [&](Particle*) { ++updates; };
    bad.Update();
    EXPECT_EQ(updates, 3); // every particle, dead ones too
    bad.Pause(true);
    bad.Update();
    EXPECT_EQ(updates, 3);
}

TEST_F(Systems, ParticlesDrawWhereTheirMapPutsThem) {
    Map* world = World();
    Map* strip = Strip();
    level->GetViewPort().WorldXPos(20);
    level->GetViewPort().WorldYPos(10);
    ParticleSystem* onWorld = Add(1, [](Particle* p) {
        Live(p);
        p->Position(5, 8);
    });
    onWorld->BelongToMap("world");
    onWorld->MapPosition(30, 40);
    ParticleSystem* onStrip = Add(1, [](Particle* p) {
        Live(p);
        p->Position(5, 8);
        p->Size(3);
    });
    onStrip->BelongToMap("strip");
    onStrip->MapPosition(3, 40);
    level->UpdateParticleSystem(world);
    EXPECT_EQ(Drawn(15, 22), 0xFFFFFFu); // 5 + 30 - 20, -8 + 40 - 10
    EXPECT_EQ(Drawn(18, 42), 0u);        // the strip's system waits for its own map
    level->UpdateParticleSystem(strip);
    // The strip lies at (30, 20) in the world: 30 - 20 + 5 + 3, 20 - 10 - 8 + 40.
    EXPECT_EQ(Drawn(18, 42), 0xFFFFFFu);
    EXPECT_EQ(Drawn(20, 44), 0xFFFFFFu);
    EXPECT_EQ(Drawn(21, 45), 0u);
}

TEST_F(Systems, ASystemWhoseParticlesDiedLeavesTheLevel) {
    Map* world = World();
    ParticleSystem* spare = Add(
        2, [](Particle* p) { p->MaximumAge(1); }, "spare");
    spare->BelongToMap("world");
    spare->Unused(true);
    ParticleSystem* system = Add(2, [](Particle* p) { p->MaximumAge(2); });
    system->BelongToMap("world");
    level->UpdateParticleSystem(world);
    level->UpdateParticleSystem(world);
    EXPECT_TRUE(system->Alive());
    level->UpdateParticleSystem(world); // both dead now
    EXPECT_FALSE(system->Alive());
    EXPECT_EQ(level->ParticleSystems().Count(), 2);
    level->UpdateParticleSystem(world);
    ASSERT_EQ(level->ParticleSystems().Count(), 1);
    EXPECT_EQ(ParticleSystem::Search("spare"), spare);
    EXPECT_EQ(spare->At(0).Age(), 0u); // unused: never updated
}

TEST_F(Systems, NamesAndMapsAreLookedUpInTheLevel) {
    World();
    Strip();
    ParticleSystem* a = Add(1, Live, "rain");
    ParticleSystem* b = Add(1, Live, "rain");
    b->Unused(true);
    EXPECT_EQ(ParticleSystem::Search("rain"), b); // the newest comes first
    EXPECT_EQ(ParticleSystem::Use("rain"), b);
    EXPECT_FALSE(b->Unused());
    EXPECT_EQ(ParticleSystem::Use("rain"), nullptr);
    EXPECT_EQ(LastError(), "ParticleSystem * ParticleSystem::Use(const char *) | Particle System "
                           "rain not found.");
    EXPECT_EQ(ParticleSystem::Search("snow"), nullptr);
    EXPECT_EQ(LastError(), "ParticleSystem * ParticleSystem::Search(const char *) | Particle "
                           "System snow not found.");
    ParticleSystemPTR handle("snow");
    EXPECT_EQ(static_cast<ParticleSystem*>(handle), ParticleSystemPTR::Fallback());

    a->Name(nullptr);
    EXPECT_EQ(LastError(), "void ParticleSystem::Name(const char *) | Invalid name.");
    EXPECT_STREQ(a->Name(), "rain");

    // A move to another map keeps the place in the world.
    a->MapPosition(50, 60);
    EXPECT_EQ(a->BelongToMap(), nullptr);
    a->BelongToMap("strip");
    EXPECT_STREQ(a->BelongToMap(), "strip");
    EXPECT_EQ(a->MapPositionX(), 20);
    EXPECT_EQ(a->MapPositionY(), 40);
    EXPECT_EQ(a->WorldPositionX(), 50);
    a->BelongToMap("sea");
    EXPECT_EQ(LastError(), "void ParticleSystem::BelongToMap(const char *) | The map name "
                           "\"sea\" that the Particle System \"rain\" should belong to, does not "
                           "exist.");
    EXPECT_STREQ(a->BelongToMap(), "strip");

    a->WorldPositionXInc(15, 60);
    EXPECT_EQ(a->WorldPositionX(), 60);
    a->WorldPositionYDec(5, 55);
    EXPECT_EQ(a->WorldPositionY(), 55);
    EXPECT_EQ(a->MapPositionY(), 35);
}

TEST_F(Systems, CopiesAreSetUpAfreshInTheLevel) {
    int inits = 0;
    ParticleSystem* original = Add(4, [&](Particle* p) {
        ++inits;
        Live(p);
        p->Position(static_cast<float>(inits), 0);
    });
    original->Gravity(2);
    ParticleSystem* copy = original->CreateParticleSystem();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(inits, 8);
    EXPECT_EQ(level->ParticleSystems().Count(), 2);
    EXPECT_EQ(copy->Gravity(), 2);
    EXPECT_EQ(copy->At(3).Owner(), copy);
    EXPECT_EQ(copy->At(3).PositionX(), 8);     // set up again by the init function
    EXPECT_EQ(original->At(3).PositionX(), 4); // untouched

    std::unique_ptr<ParticleSystem> clone(static_cast<ParticleSystem*>(original->Clone()));
    EXPECT_EQ(clone->At(2).PositionX(), 3);
    EXPECT_EQ(clone->At(2).Owner(), clone.get());
    EXPECT_EQ(inits, 8);
}

TEST_F(Systems, TheRecordRoundTripsWithItsFunctionsAndMap) {
    Map* world = World();
    ParticleSystem* system = Add(3, [](Particle* p) {
        Live(p);
        p->Angle(60);
        p->Velocity(3);
    });
    system->BelongToMap("world");
    system->MapPosition(12, 34);
    system->Gravity(0.5f);
    system->Pause(true);
    system->Pause(false);
    level->UpdateParticleSystem(world);
    {
        File file("system.bin", File::Writing);
        file.Write(static_cast<node*>(world)); // the map comes first in a saved game
        system->Save(file);
    }
    std::vector<unsigned char> bytes = ReadBytes("system.bin");
    size_t start = bytes.size() - (4 + 3 * 172 + 36 + (4 + 6) + 3 * 4 + 2 + 4 + 1 + 2 * 4);
    int count;
    std::memcpy(&count, &bytes[start], 4);
    EXPECT_EQ(count, 3);
    size_t map = start + 4 + 3 * 172;
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[map]), "Map"); // a reference: name, number
    EXPECT_EQ(bytes[map + 32], 1);

    File file("system.bin", File::Reading);
    node* loadedMap = nullptr;
    file.Read(loadedMap);
    ParticleSystem loaded;
    loaded.Load(file);
    EXPECT_EQ(loaded.GetMap(), loadedMap);
    EXPECT_STREQ(loaded.Name(), "sparks");
    EXPECT_EQ(loaded.MapPositionY(), 34);
    EXPECT_EQ(loaded.Count(), 3u);
    EXPECT_EQ(loaded.At(1).Owner(), &loaded);
    EXPECT_EQ(loaded.At(1).PositionX(), system->At(1).PositionX());
    int updates = 0;
    onUpdate = [&](Particle*) { ++updates; };
    loaded.Update(); // the update function came back from the table
    EXPECT_EQ(updates, 3);
    EXPECT_EQ(loaded.At(1).Age(), 2u);
    delete loadedMap;
}
