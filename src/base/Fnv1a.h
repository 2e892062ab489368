#pragma once

#include <cstddef>
#include <cstdint>

namespace kiv {

// 32-bit FNV-1a over a run of bytes, carried on from `hash` so that rows can be chained.
// Frame hashes use it: two frames hash equal when their pixels are byte for byte the same.
constexpr std::uint32_t Fnv1aStart = 2166136261u;

inline std::uint32_t Fnv1a(const std::uint8_t* bytes, std::size_t count,
                           std::uint32_t hash = Fnv1aStart) {
    for (std::size_t i = 0; i < count; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

} // namespace kiv
