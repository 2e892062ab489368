#pragma once

#include <kiv/Export.h>

class Sprite;

// The sprites of the current level that satisfy a condition, in display-list order (lists 0
// to 15, each from head to tail), without the cursor's sprite. The query owns its array, not
// the sprites; it is a snapshot taken when it is made.
class KIV_API Query {
public:
    typedef bool (*Predicate)(Sprite*);

    // A null predicate gives an empty query.
    explicit Query(Predicate predicate);
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    ~Query();

    // The i-th sprite kept; null for an index not below Count().
    Sprite* operator[](unsigned int i) const;
    int Count() const { return m_Count; }

private:
    void Keep(Sprite* sprite);

    Sprite** m_Sprites;
    int m_Count;
    int m_Capacity;
};
