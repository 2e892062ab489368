// The broad phase of the sprite-against-sprite step never changes a result: a crowd of
// colliding sprites, stirred by logic that steers them, moves and flips them, changes their
// frames, teleports others, makes and deletes sprites, plays the same with the broad phase as
// with the plain all-pairs walk, frame after frame.

#include "AllocationCount.h"
#include "CollisionFixture.h"
#include "sprites/SpriteBroadPhase.h"

#include <cstring>
#include <random>
#include <vector>

using kiv::test::CollisionLevel;

using kiv::test::allocations;
using kiv::test::countAllocations;

namespace {

std::mt19937 dice;

float Uniform(float low, float high) {
    return std::uniform_real_distribution<float>(low, high)(dice);
}

bool Chance(int oneIn) {
    return std::uniform_int_distribution<int>(0, oneIn - 1)(dice) == 0;
}

int SpriteCount() {
    int n = 0;
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        n += gNode->DisplayList(d).Count();
    return n;
}

Sprite* AnySprite() {
    int pick = std::uniform_int_distribution<int>(0, SpriteCount() - 1)(dice);
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next())
            if (pick-- == 0)
                return static_cast<Sprite*>(n);
    return nullptr;
}

// Steers now and then, wraps around the map, changes frame.
void Wander(void* object) {
    auto* s = static_cast<Sprite*>(object);
    if (Chance(25) || s->MoveFraction() <= 1)
        s->VectorDirection(Uniform(-1, 1), Uniform(-1, 1), 0);
    if (s->LeftPosition() < -20 || s->LeftPosition() > 400)
        s->MapPositionX(s->LeftPosition() < 0 ? 390.0f : -10.0f);
    if (s->TopPosition() < -20 || s->TopPosition() > 200)
        s->MapPositionY(s->TopPosition() < 0 ? 190.0f : -10.0f);
    if (Chance(60))
        s->Frame(1 - s->Frame());
}

// Meddles with others: teleports one, hides or shows one, switches one's mode, moves one to
// the other map, makes a sprite or deletes one.
void Meddle(void* object) {
    auto* s = static_cast<Sprite*>(object);
    if (Chance(40))
        AnySprite()->BelongToMapPtr(Map::Search(Chance(3) ? "other" : "world"));
    if (Chance(20))
        AnySprite()->MapPosition(Uniform(0, 380), Uniform(0, 180));
    if (Chance(90))
        AnySprite()->Unused(Chance(2));
    if (Chance(70))
        AnySprite()->CollisionType(Chance(2));
    if (Chance(60) && SpriteCount() < 260)
        s->CreateSprite();
    if (Chance(60) && SpriteCount() > 150)
        AnySprite()->DeleteFlag(true);
}

class BroadPhase : public CollisionLevel {
protected:
    void SetUp() override {
        CollisionLevel::SetUp();
        // Actor 1: boxes only; 2: a circle and a segment, other shapes in its second frame;
        // 3: a pass-through circle. All may flip.
        MakeActor(1, {2}, 12, 12);
        MakeActor(2, {2}, 16, 16);
        FrameOf(2, 0, 0).AddCollisionData(CollisionCircle(8, 8, 5, 1, 0));
        FrameOf(2, 0, 0).AddCollisionData(CollisionSegment(0, 15, 15, 15, 2, 0, 0));
        FrameOf(2, 0, 1).AddCollisionData(CollisionSegment(15, 0, 0, 0, 3, 0, 0));
        FrameOf(2, 0, 1).AddCollisionData(CollisionSegment(2, 2, 2, 14, 4, 0x04, 0));
        MakeActor(3, {2}, 10, 10);
        FrameOf(3, 0, 0).AddCollisionData(CollisionCircle(5, 5, 4, 5, 0x01));
        FrameOf(3, 0, 1).AddCollisionData(CollisionCircle(5, 5, 6, 5, 0));
        for (int a : {1, 2, 3})
            for (int f : {0, 1}) {
                FrameOf(a, 0, f).m_FlipHorizontally = true;
                FrameOf(a, 0, f).ComputeMirrors();
            }
        savedF = FArray;
        savedMaxF = maxFIndex;
        functions[0] = reinterpret_cast<void*>(Wander);
        functions[1] = reinterpret_cast<void*>(Meddle);
        FArray = functions;
        maxFIndex = 1;
    }
    void TearDown() override {
        kiv::SpriteBroadPhase::Enabled(true);
        FArray = savedF;
        maxFIndex = savedMaxF;
        CollisionLevel::TearDown();
    }

    // A fresh level (its sprites numbered from 1) with walls around the map, and the crowd.
    void Populate() {
        delete level;
        MakeLevel();
        MakeWorld();
        auto* other = new Map;
        other->Name("other");
        level->Add(other);
        // Walls around the map, facing in.
        world->AddCollisionData(CollisionSegment(0, 0, 0, 200, 9, 0, 0));
        world->AddCollisionData(CollisionSegment(400, 200, 400, 0, 9, 0, 0));
        world->AddCollisionData(CollisionSegment(400, 0, 0, 0, 9, 0, 0));
        world->AddCollisionData(CollisionSegment(0, 200, 400, 200, 9, 0, 0));

        dice.seed(2024);
        for (int i = 0; i < 200; ++i) {
            auto* s = new Sprite;
            s->Name(("s" + std::to_string(i % 50)).c_str());
            s->DisplayListNumber(i % 4);
            s->ActorIndex(1 + i % 3);
            s->BelongToMapPtr(i % 10 == 0 ? other : world);
            s->MapPosition(Uniform(0, 380), Uniform(0, 180));
            s->VectorDirection(Uniform(-1, 1), Uniform(-1, 1), 0);
            s->Speed(Uniform(0, 6));
            s->CollisionType(!Chance(3));
            s->ActivateCollisionWithSprite(!Chance(8));
            s->CheckCollisionWithSprite(!Chance(5));
            s->CheckSameDisplayList(Chance(2));
            s->GhostCollisionWithSprite(Chance(10));
            s->CheckCollisionWithMap(true);
            s->Reflection(Chance(2));
            s->GetBehavior().AddFunction(0, true);
            if (i % 25 == 0)
                s->GetBehavior().AddFunction(1, true);
            level->Add(s);
        }
    }

    // FNV-1a over what the frame left: every sprite's place, move and results.
    struct Hash {
        std::uint64_t h = 1469598103934665603ull;
        void Bytes(const void* p, size_t n) {
            for (size_t i = 0; i < n; ++i) {
                h ^= static_cast<const unsigned char*>(p)[i];
                h *= 1099511628211ull;
            }
        }
        template <class T>
        void Add(const T& v) {
            Bytes(&v, sizeof v);
        }
    };
    std::uint64_t FrameHash() {
        Hash hash;
        for (int d = 0; d < GameNode::DisplayLists; ++d)
            for (node* n = level->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
                auto* s = static_cast<Sprite*>(n);
                hash.Add(s->Id());
                for (float v : {s->LeftPosition(), s->TopPosition(), s->MoveFraction(),
                                s->DirectionX(), s->DirectionY()})
                    hash.Add(v);
                for (size_t i = 0; i < s->m_TouchedNames.size(); ++i)
                    hash.Bytes(s->m_TouchedNames[i], std::strlen(s->m_TouchedNames[i]));
                for (Sprite* t : s->m_TouchedSprites)
                    hash.Add(t->Id());
                for (auto* list : {&s->m_OwnTouched, &s->m_OtherTouched, &s->m_MapTouched})
                    for (CollisionData* c : *list) {
                        hash.Add(c->Id());
                        hash.Add(c->Attributes());
                    }
                touched += s->m_TouchedSprites.size();
            }
        return hash.h;
    }

    // The sprite passes of every map, as the frame loop runs them.
    void PassAllMaps() {
        bool cursorDone = false;
        for (node* n = level->Maps().Head(); !n->EOList(); n = n->Next())
            kiv::UpdateSprites(static_cast<Map*>(n), cursorDone);
        kiv::ApplyZOrderQueue();
    }

    std::vector<std::uint64_t> Play(bool broadPhase, int frames) {
        kiv::SpriteBroadPhase::Enabled(broadPhase);
        Populate();
        std::vector<std::uint64_t> hashes;
        for (int i = 0; i < frames; ++i) {
            PassAllMaps();
            hashes.push_back(FrameHash());
        }
        return hashes;
    }

    void* functions[2] = {};
    void** savedF = nullptr;
    int savedMaxF = -1;
    size_t touched = 0;
};

} // namespace

TEST_F(BroadPhase, GivesTheSameResultsAsAllPairsFrameAfterFrame) {
    const int frames = 1000;
    std::vector<std::uint64_t> pruned = Play(true, frames);
    size_t touchedPruned = touched;
    touched = 0;
    std::vector<std::uint64_t> all = Play(false, frames);
    ASSERT_EQ(pruned.size(), all.size());
    for (int i = 0; i < frames; ++i)
        ASSERT_EQ(pruned[i], all[i]) << "first difference in frame " << i;
    EXPECT_EQ(touchedPruned, touched);
    // The crowd really collides: thousands of contacts over the run.
    EXPECT_GT(touched, 20000u);
}

TEST_F(BroadPhase, TheCollisionStepsAllocateNothingOnceUnderWay) {
    // The crowd without the logic that makes and deletes sprites, with names of every
    // length, playing the same frame over and over from the same places.
    Populate();
    struct Start {
        Sprite* s;
        float x, y, dx, dy, speed;
    };
    std::vector<Start> start;
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = level->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            s->GetBehavior().Clear();
            s->Name(std::string(static_cast<size_t>(s->Id() % 23), 'x').c_str());
            start.push_back({s, s->LeftPosition(), s->TopPosition(), s->DirectionX(),
                             s->DirectionY(), s->Speed()});
        }
    auto frame = [&] {
        for (const Start& p : start) {
            p.s->m_X = p.x;
            p.s->m_Y = p.y;
            p.s->m_DirectionX = p.dx;
            p.s->m_DirectionY = p.dy;
            p.s->Speed(p.speed);
        }
        Pass();
        FrameHash();
    };
    for (int i = 0; i < 4; ++i)
        frame();
    countAllocations = true;
    touched = 0;
    for (int i = 0; i < 20; ++i)
        frame();
    countAllocations = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(touched, 500u);
}
