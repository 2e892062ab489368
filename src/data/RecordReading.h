#pragma once

// Reading the fields of a game-data record one by one through the file's primitives. Each
// value read past the end of the file ends the game through the fatal exit naming the file,
// before anything is made of it.

#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/data/File.h>

namespace kiv {

template <class T>
T Get(File& file) {
    T v{};
    file.Read(v);
    file.CheckNotCutShort();
    return v;
}

inline String GetString(File& file) {
    String s;
    s.Load(file);
    file.CheckNotCutShort();
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

// Ends the game through the fatal exit: the file holds a value that no game can have, `what`
// (for example "the width of a frame").
[[noreturn]] void OutOfRange(File& file, const char* what);

// A position, extent or speed (float or whole), or a rectangle of whole ones, refused when
// it lies beyond the coordinates a game can use (or is not a number).
float GetCoordinate(File& file, const char* what);
int GetWholeCoordinate(File& file, const char* what);
KivRect GetCoordinateRect(File& file, const char* what);
// An unsigned size (a world's width...), refused beyond the coordinates a game can use.
unsigned int GetExtent(File& file, const char* what);

} // namespace kiv
