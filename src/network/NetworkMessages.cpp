#include "network/NetworkMessages.h"

namespace kiv::net {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.insert(out.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                           static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
}

std::uint32_t Get32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

void Set32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

const char* DecodeOffer(const std::uint8_t* data, std::size_t size, Message& out) {
    if (size > MaxOfferSize)
        return "a list of sprites longer than 512 bytes";
    if ((size - 1) % 4 != 0)
        return "a list of sprites that does not hold whole 32-bit ids";
    for (std::size_t at = 1; at < size; at += 4)
        out.sprites.push_back(Get32(data + at));
    return nullptr;
}

const char* DecodeAccepted(const std::uint8_t* data, std::size_t size, Message& out) {
    if (size < AcceptedHeaderSize)
        return "a table of players without its count";
    std::uint32_t count = Get32(data + 1);
    if (count > (size - AcceptedHeaderSize) / AssignmentSize)
        return "a table of players longer than its message";
    std::size_t at = AcceptedHeaderSize;
    for (std::uint32_t i = 0; i < count; ++i, at += AssignmentSize)
        out.assignments.push_back({Get32(data + at), Get32(data + at + 4), Get32(data + at + 8)});
    while (at < size) {
        if (size - at < PastHeaderSize)
            return "past inputs cut short in their header";
        std::uint32_t length = Get32(data + at + 4);
        if (length > size - at - PastHeaderSize)
            return "past inputs cut short in their bytes";
        out.past.push_back({Get32(data + at), length, data + at + PastHeaderSize});
        at += PastHeaderSize + length;
    }
    return nullptr;
}

const char* DecodeInputs(const std::uint8_t* data, std::size_t size, Message& out) {
    if (size < InputsHeaderSize)
        return "inputs without their frame header";
    out.value = Get32(data + 1);
    std::uint32_t count = Get32(data + 5);
    std::size_t at = InputsHeaderSize;
    if (count > (size - at) / ItemHeaderSize)
        return "inputs that announce more items than they can hold";
    for (std::uint32_t i = 0; i < count; ++i) {
        if (size - at < ItemHeaderSize)
            return "inputs cut short in an item's header";
        std::uint32_t length = Get32(data + at + 1);
        if (length > size - at - ItemHeaderSize)
            return "inputs cut short in an item's data";
        out.items.push_back({data[at], length, data + at + ItemHeaderSize});
        at += ItemHeaderSize + length;
    }
    if (at != size)
        return "inputs followed by stray bytes";
    return nullptr;
}

} // namespace

void EncodeOffer(const std::uint32_t* ids, std::size_t count, std::vector<std::uint8_t>& out) {
    out.assign(1, Offer);
    for (std::size_t i = 0; i < count && out.size() + 4 <= MaxOfferSize; ++i)
        Put32(out, ids[i]);
}

void EncodeValue(Kind kind, std::uint32_t value, std::vector<std::uint8_t>& out) {
    out.assign(1, kind);
    Put32(out, value);
}

void EncodeFull(std::vector<std::uint8_t>& out) {
    out.assign(1, Full);
}

void EncodeAccepted(const Assignment* table, std::size_t count, std::vector<std::uint8_t>& out) {
    out.assign(1, Accepted);
    Put32(out, static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        Put32(out, table[i].player);
        Put32(out, table[i].sprite);
        Put32(out, table[i].firstFrame);
    }
}

void AppendPastInputs(std::uint32_t player, const std::uint8_t* data, std::uint32_t size,
                      std::vector<std::uint8_t>& out) {
    Put32(out, player);
    Put32(out, size);
    out.insert(out.end(), data, data + size);
}

std::uint32_t StampOf(const std::uint8_t* inputs) {
    return Get32(inputs + 1);
}

void BeginInputs(std::uint32_t stamp, std::vector<std::uint8_t>& out) {
    out.assign(1, Inputs);
    Put32(out, stamp);
    Put32(out, 0);
}

void AppendItem(std::uint8_t kind, const std::uint8_t* data, std::uint32_t length,
                std::vector<std::uint8_t>& out) {
    Set32(out.data() + 5, Get32(out.data() + 5) + 1);
    out.push_back(kind);
    Put32(out, length);
    if (length)
        out.insert(out.end(), data, data + length);
}

const char* Decode(const std::uint8_t* data, std::size_t size, Message& out) {
    out.sprites.clear();
    out.assignments.clear();
    out.past.clear();
    out.items.clear();
    out.value = 0;
    if (!data || size == 0)
        return "an empty message";
    if (size > MaxMessageSize)
        return "a message longer than 64 KiB";
    out.kind = static_cast<Kind>(data[0]);
    switch (data[0]) {
    case Offer:
        return DecodeOffer(data, size, out);
    case Choice:
    case HostIs:
    case Resigned:
        if (size != 5)
            return "a message of one 32-bit value with another length";
        out.value = Get32(data + 1);
        return nullptr;
    case Accepted:
        return DecodeAccepted(data, size, out);
    case Full:
        return size == 1 ? nullptr : "a full-session notice with data";
    case Inputs:
        return DecodeInputs(data, size, out);
    default:
        return "an unknown kind of message";
    }
}

} // namespace kiv::net
