#pragma once

namespace kiv {

// The index of `entry` in table[0..max] (by address), -1 when it is not there.
template <class T>
int TableIndex(T* table, int max, const T* entry) {
    for (int i = 0; table && entry && i <= max; ++i)
        if (&table[i] == entry)
            return i;
    return -1;
}

// The index of the first entry of a pointer table[0..max] equal to `value`, -1 when none.
inline int PointerIndex(void** table, int max, const void* value) {
    for (int i = 0; table && value && i <= max; ++i)
        if (table[i] == value)
            return i;
    return -1;
}

} // namespace kiv
