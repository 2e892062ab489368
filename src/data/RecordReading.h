#pragma once

// Reading the fields of a game-data record one by one through the file's primitives. Every
// read first makes sure that the file still holds the value, so that a record cut short ends
// the game through the fatal exit naming the file, whatever a read past the end would do.

#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/data/File.h>

#include <type_traits>

namespace kiv {

// The bytes a value of type T takes in a file.
template <class T>
constexpr long FileWidth() {
    if constexpr (std::is_same_v<T, KivRect> || std::is_same_v<T, FRECT> ||
                  std::is_same_v<T, tagRECT>)
        return 16;
    else if constexpr (std::is_same_v<T, double>)
        return 8;
    else if constexpr (sizeof(T) <= 2)
        return sizeof(T);
    else
        return 4;
}

template <class T>
T Get(File& file) {
    file.Require(FileWidth<T>());
    T v{};
    file.Read(v);
    return v;
}

inline String GetString(File& file) {
    file.Require(4); // the length; String::Load makes sure of the characters
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
