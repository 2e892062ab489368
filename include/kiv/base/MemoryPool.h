#pragma once

#include <kiv/Export.h>

// Fixed-size block allocator. Blocks come from chunks of `blocksPerChunk` blocks; a fixed
// pool never grows beyond its first chunk and then hands out null.
class KIV_API MemoryPool {
public:
    MemoryPool(unsigned int blockSize, unsigned int blocksPerChunk, bool fixed);
    MemoryPool(const MemoryPool&) = delete;
    MemoryPool& operator=(const MemoryPool&) = delete;
    ~MemoryPool();

    void* Alloc();
    void Free(void* block);

    // Whether a chunk has ever been allocated.
    bool Grown() const;
    unsigned int BlockSize() const;

private:
    struct Record;
    Record* pool;
};
