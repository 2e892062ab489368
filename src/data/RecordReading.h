#pragma once

// Reading the fields of a game-data record one by one through the file's primitives.

#include <kiv/base/String.h>
#include <kiv/data/File.h>

namespace kiv {

template <class T>
T Get(File& file) {
    T v{};
    file.Read(v);
    return v;
}

inline String GetString(File& file) {
    String s;
    s.Load(file);
    return s;
}

// A count of entries, refused (through the fatal exit naming the file) when the file cannot
// hold that many entries of at least `bytesEach` bytes; a negative count is none.
inline int GetCount(File& file, long bytesEach) {
    int n = Get<int>(file);
    if (n < 0)
        n = 0;
    file.Require(static_cast<long>(n) * bytesEach);
    return n;
}

} // namespace kiv
