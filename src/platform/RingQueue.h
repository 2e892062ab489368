#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace kiv::platform {

// A first-in, first-out queue in one ring of slots that grows (doubling) only when it is full:
// once it has been as long as it gets, pushing and popping allocate nothing. A popped slot
// keeps its value until the ring comes round to it again.
template <class T>
class RingQueue {
public:
    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    T& front() { return slots[head]; }

    // The new slot at the back, holding what it held when it was last popped.
    T& push_back() {
        if (count == slots.size())
            Grow();
        ++count;
        return slots[(head + count - 1) % slots.size()];
    }
    void push_back(T value) { push_back() = std::move(value); }
    void pop_front() {
        head = (head + 1) % slots.size();
        --count;
    }
    void clear() { head = count = 0; }

private:
    void Grow() {
        std::vector<T> larger(slots.empty() ? 8 : 2 * slots.size());
        for (std::size_t i = 0; i < count; ++i)
            larger[i] = std::move(slots[(head + i) % slots.size()]);
        slots.swap(larger);
        head = 0;
    }

    std::vector<T> slots;
    std::size_t head = 0, count = 0;
};

} // namespace kiv::platform
