#include "CollisionFixture.h"
#include "game/SpritePass.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Order = std::vector<std::vector<Sprite*>>;

class ZOrderQueue : public kiv::test::CollisionLevel {
protected:
    Order Lists() {
        Order lists(GameNode::DisplayLists);
        for (int d = 0; d < GameNode::DisplayLists; ++d)
            for (node* n = level->DisplayList(d).Head(); !n->EOList(); n = n->Next())
                lists[static_cast<size_t>(d)].push_back(static_cast<Sprite*>(n));
        return lists;
    }
};

// The rule, change by change: the sprite leaves its list and goes before the first sprite
// whose z-order is at least its new one, as the list stands then.
void ApplyOneByOne(Order& lists, std::vector<unsigned>& keys, const std::vector<Sprite*>& changed,
                   const std::vector<unsigned>& z, const std::vector<Sprite*>& all) {
    auto key = [&](Sprite* s) {
        return keys[static_cast<size_t>(std::find(all.begin(), all.end(), s) - all.begin())];
    };
    for (size_t i = 0; i < changed.size(); ++i) {
        Sprite* s = changed[i];
        auto& list = lists[static_cast<size_t>(s->DisplayListNumber())];
        keys[static_cast<size_t>(std::find(all.begin(), all.end(), s) - all.begin())] = z[i];
        list.erase(std::find(list.begin(), list.end(), s));
        auto at = std::find_if(list.begin(), list.end(), [&](Sprite* o) { return key(o) >= z[i]; });
        list.insert(at, s);
    }
}

} // namespace

// Sprites of three lists change their z-order at random, many sharing values, over several
// frames: the lists come out as the changes applied one by one leave them, whether the lists
// were kept sorted (sprites added by the level) or not (sprites appended with any z-order).
TEST_F(ZOrderQueue, ReSortsAsTheChangesAppliedOneByOne) {
    MakeActor(1, {1});
    for (bool sortedLists : {true, false}) {
        std::mt19937 rng(11);
        for (int d = 0; d < 3; ++d)
            level->DisplayList(d).del();
        std::vector<Sprite*> all;
        std::vector<unsigned> keys;
        for (int i = 0; i < 60; ++i) {
            unsigned z = static_cast<unsigned>(rng() % 6);
            Sprite* s = nullptr;
            if (sortedLists) {
                s = new Sprite;
                s->DisplayListNumber(i % 3);
                s->ActorIndex(1);
                s->BelongToMapPtr(world);
                s->ZOrder(z);
                level->Add(s);
            } else {
                s = Mover(i % 3, "s", 1, 10.0f + static_cast<float>(i), 20, 0, 0, 0);
                s->ZOrder(z);
            }
            s->AppliedZOrder(z);
            all.push_back(s);
            keys.push_back(z);
        }
        for (int frame = 0; frame < 8; ++frame) {
            Order expected = Lists();
            // The pass queues the changed sprites in the order it meets them.
            std::vector<Sprite*> changed;
            std::vector<unsigned> z;
            for (const auto& list : expected)
                for (Sprite* s : list)
                    if (rng() % 3 == 0) {
                        s->ZOrder(static_cast<unsigned>(rng() % 6));
                        if (s->ZOrder() != s->AppliedZOrder()) {
                            changed.push_back(s);
                            z.push_back(s->ZOrder());
                        }
                    }
            ApplyOneByOne(expected, keys, changed, z, all);
            Pass();
            ASSERT_EQ(Lists(), expected) << "frame " << frame << ", sorted " << sortedLists;
            for (size_t i = 0; i < all.size(); ++i)
                ASSERT_EQ(all[i]->AppliedZOrder(), keys[i]);
        }
    }
}
