#include <kiv/base/List.h>
#include <kiv/data/File.h>

List::List() : head(nullptr), sentinel(new node), count(0) {
    sentinel->next = sentinel;
    sentinel->previous = sentinel;
    head = sentinel;
}

List::List(const List& other) : List() {
    *this = other;
}

List& List::operator=(const List& other) {
    if (&other == this)
        return *this;
    del();
    for (node* n = other.head; !n->EOList(); n = n->next)
        add(n->Clone(), sentinel);
    return *this;
}

List::~List() {
    del();
    delete sentinel;
}

node* List::Clone() {
    return new List(*this);
}

void List::add(node* n) {
    add(n, head);
}

void List::add(node* n, node* before) {
    if (!n || !before)
        return;
    n->next = before;
    n->previous = before->previous;
    if (before == head) {
        head = n;
        n->previous = sentinel;
    } else {
        before->previous->next = n;
    }
    before->previous = n;
    ++count;
}

void List::remove(node* n) {
    if (!n || n == sentinel)
        return;
    if (n == head) {
        head = n->next;
        n->next->previous = sentinel;
    } else {
        n->previous->next = n->next;
        n->next->previous = n->previous;
    }
    n->next = nullptr;
    n->previous = nullptr;
    --count;
}

void List::del(node* n) {
    if (!n || n == sentinel)
        return;
    remove(n);
    delete n;
}

void List::del() {
    while (!head->EOList())
        del(head);
}

// Written from the last node back to the head: loading adds each at the front, so the
// loaded list walks in the saved order.
void List::Save(File& file) {
    file.Write(static_cast<unsigned int>(count));
    for (node* n = sentinel->previous; n != sentinel; n = n->previous)
        file.Write(n);
}

void List::Load(File& file) {
    unsigned int n = 0;
    file.Read(n);
    for (unsigned int i = 0; i < n; ++i) {
        node* object = nullptr;
        file.Read(object);
        // A node can be linked into one list only, and a list owns what it holds: a record
        // that names an object twice, or an object listed or owned elsewhere, must neither
        // tie the list into a loop nor give the object two owners; nor may an object whose
        // record holds this list become part of itself.
        if (object && !object->next && !file.Claimed(object) && !file.Loading(object))
            add(object);
    }
}
