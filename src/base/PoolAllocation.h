#pragma once

// Class-specific operator new and delete over a block pool: objects of the pool's block size
// take its blocks; a derived class with fields of its own falls back to the global heap.

#include <kiv/base/MemoryPool.h>

#include <cstddef>
#include <new>

namespace kiv {

inline void* PoolNew(MemoryPool& pool, std::size_t size) {
    if (size != pool.BlockSize())
        return ::operator new(size);
    void* block = pool.Alloc();
    if (!block)
        throw std::bad_alloc(); // a fixed pool that is full
    return block;
}

inline void PoolDelete(MemoryPool& pool, void* block, std::size_t size) {
    if (!block)
        return;
    if (size != pool.BlockSize())
        ::operator delete(block);
    else
        pool.Free(block);
}

} // namespace kiv
