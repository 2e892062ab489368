#pragma once

#include <kiv/base/node.h>

// Intrusive, owning list of nodes with an end sentinel. add() without a position puts the
// node at the front, so a list filled by repeated add() is walked newest first.
class KIV_API List : public node {
public:
    List();
    List(const List& other);
    List& operator=(const List& other);
    ~List() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;

    node* Head() const { return head; }
    node* Sentinel() const { return sentinel; }
    int Count() const { return count; }

    void add(node* n);
    // Puts n just in front of `before`; the sentinel as `before` appends n.
    void add(node* n, node* before);
    // Unlinks n and destroys it.
    void del(node* n);
    // Unlinks n without destroying it.
    void remove(node* n);
    // Destroys every node.
    void del();

protected:
    node* head;
    node* sentinel;
    int count;
};
