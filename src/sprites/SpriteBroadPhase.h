#pragma once

#include <kiv/sprites/Sprite.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class Map;

namespace kiv {

// Pruning for the sprite-against-sprite step of one map's sprite pass. The sprites of the
// map sit in a uniform grid by the space their box and shapes take; a mover asks only the
// cells its move could reach. The grid is rebuilt for every pass (when its first mover asks) and
// kept current while the pass runs: sprites report what changes where they are (position, frame,
// orientation), and a sprite joining the level rebuilds it. It never changes a result: a sprite is
// dropped only when no test of the pair could touch it, and the rest come in the order of the
// display lists, as the all-pairs walk meets them.
class SpriteBroadPhase {
public:
    // Starts a pass over `map`; when the first mover asks, every sprite gets a slot, in
    // display-list order.
    void Begin(Map* map);
    void End();

    // Calls visit(other, list) for every sprite of the map that `mover` may touch this frame,
    // with the display list it is in, in display-list order.
    template <class Visit>
    void ForEachCandidate(Sprite& mover, Visit visit) {
        for (int slot : Gather(mover))
            visit(slots[static_cast<std::size_t>(slot)].sprite,
                  slots[static_cast<std::size_t>(slot)].list);
    }

    // What sprites report while a pass runs (nothing happens outside one): the place or the
    // frame shown changed; a sprite joined the level; a sprite is destroyed.
    // (Inline: every sprite reports several times a frame, and most have no slot.)
    static void Changed(Sprite* s) {
        if (s->m_CollisionSlot >= 0)
            ChangedInSlot(s);
    }
    static void Joined();
    static void Forget(Sprite* s);

    // For tests and benchmarks: off, every sprite pass walks all pairs.
    static void Enabled(bool on);
    static bool Enabled();

private:
    // A rectangle in the map's coordinates; left > right when it holds nothing.
    struct Bounds {
        float left, top, right, bottom;
    };
    // A range of grid cells: columns c0 to c1, rows r0 to r1.
    struct Cells {
        int c0, c1, r0, r1;
        bool operator==(const Cells&) const = default;
    };
    static constexpr Cells NoCells{0, -1, 0, -1};
    struct Slot {
        Sprite* sprite;
        int list;              // the display list the sprite is in
        std::uint32_t version; // grid entries of older versions are stale
        bool dirty;
        bool unbounded; // a position that is no number: a candidate of every mover
        Bounds box;     // the shown frame's box
        Bounds shapes;  // around the shown frame's collision shapes
        Cells cells;    // where its entries of this version lie; empty (c0 > c1) for none
    };
    struct Entry {
        int slot;
        std::uint32_t version;
        int next; // the next entry of the cell, -1 at the end
    };

    void Rebuild();
    // The bounds of the slot's sprite as it is now, and the cells they cover (empty when the
    // sprite takes no place in the grid).
    void Measure(int slot);
    Cells Covered(const Slot& slot) const;
    void Enter(int slot, const Cells& cells);
    void Insert(int slot, const Cells& cells);
    void Refresh();
    const std::vector<int>& Gather(Sprite& mover);
    bool MayTouch(const Sprite& mover, const Bounds& boxQuery, const Bounds& shapeQuery,
                  const Slot& target) const;
    Cells CellRange(const Bounds& b) const;
    static Slot* SlotOf(Sprite* s);
    static void ChangedInSlot(Sprite* s);

    Map* map = nullptr;
    bool rebuild = false;
    std::vector<Slot> slots;
    std::vector<int> dirty;
    std::vector<int> heads; // first entry of each cell
    std::vector<Entry> entries;
    std::vector<std::uint32_t> seen; // per slot: the query that last met it
    std::uint32_t query = 0;
    std::vector<int> found;
    std::vector<Entry> everywhere; // unbounded slots
    float originX = 0, originY = 0, cell = 64;
    int columns = 1, rows = 1;
};

} // namespace kiv
