#include <kiv/game/GameNode.h>
#include <kiv/sprites/Query.h>
#include <kiv/sprites/Sprite.h>

#include <algorithm>

namespace {

constexpr int FirstCapacity = 256;

} // namespace

Query::Query(Predicate predicate) : m_Sprites(nullptr), m_Count(0), m_Capacity(0) {
    if (!predicate || !gNode)
        return;
    m_Sprites = new Sprite*[FirstCapacity];
    m_Capacity = FirstCapacity;
    for (int i = 0; i < GameNode::DisplayLists; ++i) {
        List& list = gNode->DisplayList(i);
        for (node* n = list.Head(); !n->EOList(); n = n->Next()) {
            auto* sprite = static_cast<Sprite*>(n);
            if (sprite->ZOrder() == Sprite::CursorZOrder)
                continue;
            if (predicate(sprite))
                Keep(sprite);
        }
    }
}

Query::~Query() {
    delete[] m_Sprites;
}

Sprite* Query::operator[](unsigned int i) const {
    return i < static_cast<unsigned int>(m_Count) ? m_Sprites[i] : nullptr;
}

void Query::Keep(Sprite* sprite) {
    if (m_Count == m_Capacity) {
        int capacity = m_Capacity * 2;
        auto* grown = new Sprite*[static_cast<size_t>(capacity)];
        std::copy(m_Sprites, m_Sprites + m_Count, grown);
        delete[] m_Sprites;
        m_Sprites = grown;
        m_Capacity = capacity;
    }
    m_Sprites[m_Count++] = sprite;
}
