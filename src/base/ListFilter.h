#pragma once

#include <kiv/base/List.h>

namespace kiv {

// Drops from a list read from a file every object that is not a T: a damaged file can name
// any class, and the list's users rely on the kind of its objects.
template <class T>
void KeepOnly(List& list) {
    for (node* n = list.Head(); !n->EOList();) {
        node* next = n->Next();
        if (!dynamic_cast<T*>(n))
            list.del(n);
        n = next;
    }
}

} // namespace kiv
