#include "platform/RingQueue.h"

#include <gtest/gtest.h>

// Values leave in the order they came, also when the ring grows while it wraps around.
TEST(RingQueue, KeepsTheOrderAcrossWrappingAndGrowth) {
    kiv::platform::RingQueue<int> q;
    int next = 0, expected = 0;
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 3 + 4 * round; ++i)
            q.push_back(next++);
        for (int i = 0; i < 2 + 3 * round; ++i) {
            ASSERT_EQ(q.front(), expected++);
            q.pop_front();
        }
    }
    EXPECT_EQ(q.size(), static_cast<std::size_t>(next - expected));
    while (!q.empty()) {
        ASSERT_EQ(q.front(), expected++);
        q.pop_front();
    }
    EXPECT_EQ(expected, next);
}
