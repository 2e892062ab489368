#include <kiv/base/MemoryPool.h>

#include <cstring>

// Free blocks are threaded through their own first bytes. Blocks are at least one pointer
// wide so that the link fits on a 64-bit system; links are copied with memcpy because a
// block size need not be a multiple of the pointer's alignment.
struct MemoryPool::Record {
    struct Chunk {
        unsigned char* memory;
        Chunk* next;
    };

    Chunk* chunks = nullptr;
    unsigned char* freeList = nullptr;
    unsigned int blockSize = 0;
    unsigned int blocksPerChunk = 0;
    bool fixed = false;
    bool grown = false;

    static unsigned char* Link(const unsigned char* block) {
        unsigned char* next;
        std::memcpy(&next, block, sizeof next);
        return next;
    }
    static void SetLink(unsigned char* block, unsigned char* next) {
        std::memcpy(block, &next, sizeof next);
    }

    void AddChunk() {
        auto* memory = new unsigned char[static_cast<size_t>(blockSize) * blocksPerChunk];
        chunks = new Chunk{memory, chunks};
        for (unsigned int i = 0; i < blocksPerChunk; ++i) {
            unsigned char* block = memory + static_cast<size_t>(i) * blockSize;
            SetLink(block, i + 1 < blocksPerChunk ? block + blockSize : freeList);
        }
        freeList = memory;
        grown = true;
    }
};

MemoryPool::MemoryPool(unsigned int blockSize, unsigned int blocksPerChunk, bool fixed)
    : pool(new Record) {
    unsigned int minimum = sizeof(void*) > 4 ? sizeof(void*) : 4;
    pool->blockSize = blockSize < minimum ? minimum : blockSize;
    pool->blocksPerChunk = blocksPerChunk ? blocksPerChunk : 1;
    pool->fixed = fixed;
}

MemoryPool::~MemoryPool() {
    while (Record::Chunk* c = pool->chunks) {
        pool->chunks = c->next;
        delete[] c->memory;
        delete c;
    }
    delete pool;
}

void* MemoryPool::Alloc() {
    if (!pool->freeList) {
        if (pool->fixed && pool->chunks)
            return nullptr;
        pool->AddChunk();
    }
    unsigned char* block = pool->freeList;
    pool->freeList = Record::Link(block);
    return block;
}

void MemoryPool::Free(void* block) {
    if (!block)
        return;
    auto* b = static_cast<unsigned char*>(block);
    Record::SetLink(b, pool->freeList);
    pool->freeList = b;
}

bool MemoryPool::Grown() const {
    return pool->grown;
}

unsigned int MemoryPool::BlockSize() const {
    return pool->blockSize;
}
