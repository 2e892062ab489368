// libFuzzer target: messages as peers receive them. Any bytes must either decode into a
// message whose items lie inside the bytes, or be refused with a reason; never a crash.
#include "network/NetworkMessages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kiv::net::Message m;
    if (kiv::net::Decode(data, size, m))
        return 0;
    std::uint32_t sum = 0;
    for (const kiv::net::ItemView& item : m.items) {
        if (item.data < data || item.data + item.length > data + size)
            std::abort();
        for (std::uint32_t i = 0; i < item.length; ++i)
            sum += item.data[i];
    }
    static volatile std::uint32_t sink;
    sink = sum;
    return 0;
}
