#include <kiv/Kiv.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>

TEST(MemoryPool, FixedPoolHandsOutOneChunkThenNull) {
    MemoryPool pool(96, 128, true);
    EXPECT_FALSE(pool.Grown());
    std::set<void*> blocks;
    for (int i = 0; i < 128; ++i) {
        void* b = pool.Alloc();
        ASSERT_NE(b, nullptr) << "block " << i;
        std::memset(b, 0xAB, 96); // every block is usable in full
        blocks.insert(b);
    }
    EXPECT_EQ(blocks.size(), 128u);
    EXPECT_TRUE(pool.Grown());
    EXPECT_EQ(pool.Alloc(), nullptr);

    // A freed block is the next one handed out.
    void* one = *blocks.begin();
    pool.Free(one);
    EXPECT_EQ(pool.Alloc(), one);
    EXPECT_EQ(pool.Alloc(), nullptr);
}

TEST(MemoryPool, GrowingPoolAddsChunksAndClampsDegenerateSizes) {
    MemoryPool pool(0, 0, false);
    EXPECT_GE(pool.BlockSize(), 4u);
    void* a = pool.Alloc();
    void* b = pool.Alloc(); // one block per chunk: a second chunk
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);

    MemoryPool blocks(24, 4, false);
    char* first = static_cast<char*>(blocks.Alloc());
    char* second = static_cast<char*>(blocks.Alloc());
    EXPECT_EQ(second - first, 24); // threaded in address order
}
