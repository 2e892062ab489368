// libFuzzer target: messages as peers receive them. Any bytes are either refused with a
// reason or decoded into a message whose encoding gives back exactly those bytes (and whose
// items lie inside them); never a crash.
#include "network/NetworkMessages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace kiv::net;

namespace {

void Encode(const Message& m, std::vector<std::uint8_t>& out) {
    switch (m.kind) {
    case Offer:
        return EncodeOffer(m.sprites.data(), m.sprites.size(), out);
    case Accepted:
        EncodeAccepted(m.assignments.data(), m.assignments.size(), out);
        for (const PastInputs& p : m.past)
            AppendPastInputs(p.player, p.data, p.size, out);
        return;
    case Full:
        return EncodeFull(out);
    case Inputs:
        BeginInputs(m.value, out);
        for (const ItemView& item : m.items)
            AppendItem(item.kind, item.data, item.length, out);
        return;
    default:
        return EncodeValue(m.kind, m.value, out);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Message m;
    static std::vector<std::uint8_t> again;
    if (Decode(data, size, m))
        return 0;
    for (const ItemView& item : m.items)
        if (item.data < data || item.data + item.length > data + size)
            std::abort();
    for (const PastInputs& p : m.past)
        if (p.data < data || p.data + p.size > data + size)
            std::abort();
    Encode(m, again);
    if (again != std::vector<std::uint8_t>(data, data + size))
        std::abort();
    return 0;
}
