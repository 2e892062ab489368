#pragma once

#include <kiv/base/List.h>

namespace kiv {

// Unlinks from a list read from a file every object that is not a T: a damaged file can name
// any class, and the list's users rely on the kind of its objects. The objects stay alive,
// as other objects of the file may point at them: the file reports them as unowned
// (File::Unowned) and whoever loaded it keeps them.
template <class T>
void KeepOnly(List& list) {
    for (node* n = list.Head(); !n->EOList();) {
        node* next = n->Next();
        if (!dynamic_cast<T*>(n))
            list.remove(n);
        n = next;
    }
}

} // namespace kiv
