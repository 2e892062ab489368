// Alarms on a map set off by the sprites that watch them, and the alarm look-ups.
#include "data/LogicTables.h"
#include "sprites/SpriteFixture.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> fired; // "alarm name by sprite name", in order

void Fire(void* object) {
    auto* alarm = static_cast<Alarm*>(object);
    fired.push_back(std::string(alarm->Name()) + " by " + alarm->GetSprite()->Name());
}

class Alarms : public kiv::test::SpriteLevel {
protected:
    void SetUp() override {
        SpriteLevel::SetUp();
        fired.clear();
        pConsole = new Console;
        FArray = NewVoidPointers(1);
        FArray[0] = reinterpret_cast<void*>(Fire);
        maxFIndex = 0;
        MakeActor(0, {1}, 20, 20);
        map = new Map;
        level->Add(map);
    }
    void TearDown() override {
        SpriteLevel::TearDown();
        kiv::FreeLogicTables();
        delete pConsole;
        pConsole = nullptr;
    }

    // An alarm named `name` on the map: a vertical segment at x = 50 from y = 0 to 100.
    Alarm* AddGate(const char* name, bool once) {
        auto* gate = new Alarm;
        gate->Name(name);
        gate->ExecuteOnce(once);
        gate->AddCollisionData(CollisionSegment(50, 0, 50, 100, 1, 0, 0));
        gate->GetBehavior().AddFunction(0, true);
        map->Add(gate);
        return gate;
    }
    Sprite* Watcher(const char* name, float x, const char* alarm) {
        Sprite* s = AddSprite(0, name);
        s->ActorIndex(0);
        s->BelongToMapPtr(map);
        s->MapPosition(x, 10);
        EXPECT_TRUE(s->AddAlarm(alarm));
        return s;
    }

    Map* map = nullptr;
};

} // namespace

TEST_F(Alarms, ASegmentStopsSpritesExceptThoseHeadingAlongItsNormal) {
    Alarm* gate = AddGate("gate", false);
    Sprite* still = Watcher("still", 40, "gate"); // its box spans x 40..59
    still->HandleAlarms();
    EXPECT_EQ(fired, std::vector<std::string>{"gate by still"});

    const auto& segment = *static_cast<CollisionSegment*>(gate->Shapes().Head());
    Sprite* along = Watcher("along", 40, "gate");
    along->VectorDirection(segment.NormalX(), segment.NormalY(), 0);
    along->HandleAlarms();
    Sprite* against = Watcher("against", 40, "gate");
    against->VectorDirection(-segment.NormalX(), -segment.NormalY(), 0);
    against->HandleAlarms();
    Sprite* away = Watcher("away", 70, "gate");
    away->HandleAlarms();
    EXPECT_EQ(fired, (std::vector<std::string>{"gate by still", "gate by against"}));
    EXPECT_EQ(gate->GetSprite(), nullptr); // cleared by the last check, which found no contact
    EXPECT_FALSE(still->AddAlarm("nowhere"));
}

TEST_F(Alarms, AnExecuteOnceAlarmFiresOncePerContact) {
    AddGate("once", true);
    Sprite* s = Watcher("s", 40, "once");
    for (int frame = 0; frame < 3; ++frame)
        s->HandleAlarms();
    EXPECT_EQ(fired.size(), 1u);
    s->MapPosition(80, 10); // a frame without contact re-arms it
    s->HandleAlarms();
    s->MapPosition(40, 10);
    s->HandleAlarms();
    s->HandleAlarms();
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(Alarms, LookUpsByNameAndTheDefaultAlarm) {
    Alarm* gate = AddGate("gate", false);
    Watcher("s", 40, "gate");
    EXPECT_EQ(Alarm::Search("gate"), gate);
    EXPECT_EQ(Alarm::Search("gate", "s"), gate);
    EXPECT_EQ(Alarm::Search("door"), nullptr);
    EXPECT_EQ(LastError(), "Alarm * Alarm::Search(const char *) | Alarm door not found.");
    EXPECT_EQ(Alarm::Search("door", "s"), nullptr);
    EXPECT_EQ(LastError(),
              "Alarm* Alarm::Search(const char *,const char *) | Alarm door not found.");
    EXPECT_EQ(Alarm::Search("gate", "nobody"), nullptr);
    EXPECT_EQ(LastError(), "Sprite* Sprite::Search(const char *) | Sprite name: nobody not found.");

    AlarmPTR missing("door");
    EXPECT_EQ(static_cast<Alarm*>(missing), AlarmPTR::Fallback());
    AlarmPTR found("gate");
    EXPECT_EQ(static_cast<Alarm*>(found), gate);
}

// Copies made from a pointer are plain copy-initialisations in game code; they copy every
// field, the shapes one by one, and keep the sprite that set the original off.
TEST_F(Alarms, ACopyFromAPointerCopiesEveryFieldAndItsOwnShapes) {
    Alarm* gate = AddGate("gate", true);
    gate->AddCollisionData(CollisionCircle(10, 10, 5, 2, 0));
    gate->Id(7);
    gate->ShowCollision(true);
    Watcher("s", 40, "gate")->HandleAlarms();
    Alarm copy = gate;
    EXPECT_STREQ(copy.Name(), "gate");
    EXPECT_EQ(copy.Id(), 7);
    EXPECT_TRUE(copy.ShowCollision());
    EXPECT_EQ(copy.m_OnceState, 2); // fired: it stays quiet until a frame without contact
    EXPECT_EQ(copy.GetSprite(), gate->GetSprite());
    EXPECT_EQ(copy.GetBehavior().Count(), 1);
    ASSERT_EQ(copy.Shapes().Count(), 2);
    EXPECT_NE(copy.Shapes().Head(), gate->Shapes().Head());
    EXPECT_EQ(static_cast<CollisionData*>(copy.Shapes().Head()->Next())->Type(),
              CollisionData::CircleType);
}
