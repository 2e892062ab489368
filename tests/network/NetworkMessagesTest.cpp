#include "network/NetworkMessages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace kiv::net;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Little-endian 32-bit value, written out by hand.
void Le(Bytes& b, std::uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
    b.push_back((v >> 16) & 0xFF);
    b.push_back((v >> 24) & 0xFF);
}

} // namespace

TEST(NetworkMessages, InputsOfAFrameHoldTheirItemsInQueueOrder) {
    const std::uint8_t mouse[16] = {1, 0xFE, 0, 0, 0x10, 0, 0, 0, 8, 1, 0, 0, 0, 0, 0, 0};
    const std::uint8_t keys[4] = {0xCD, 0x01, 0xCB, 0x00};
    Bytes out;
    BeginInputs(0x01020304, out);
    AppendItem(FrameMarkerItem, nullptr, 0, out);
    AppendItem(MouseItem, mouse, 16, out);
    AppendItem(KeyboardItem, keys, 4, out);

    Bytes expected = {7, 0x04, 0x03, 0x02, 0x01, 3, 0, 0, 0, 8, 0, 0, 0, 0, 10, 16, 0, 0, 0};
    expected.insert(expected.end(), mouse, mouse + 16);
    expected.insert(expected.end(), {9, 4, 0, 0, 0});
    expected.insert(expected.end(), keys, keys + 4);
    ASSERT_EQ(out, expected);
    EXPECT_EQ(out.size(), 9u + (5 + 0) + (5 + 16) + (5 + 4));

    Message m;
    ASSERT_EQ(Decode(expected.data(), expected.size(), m), nullptr);
    EXPECT_EQ(m.kind, Inputs);
    EXPECT_EQ(m.value, 0x01020304u);
    ASSERT_EQ(m.items.size(), 3u);
    EXPECT_EQ(m.items[0].kind, 8);
    EXPECT_EQ(m.items[0].length, 0u);
    EXPECT_EQ(m.items[1].kind, 10);
    EXPECT_EQ(Bytes(m.items[1].data, m.items[1].data + 16), Bytes(mouse, mouse + 16));
    EXPECT_EQ(m.items[2].kind, 9);
    EXPECT_EQ(Bytes(m.items[2].data, m.items[2].data + 4), Bytes(keys, keys + 4));
}

TEST(NetworkMessages, InputsThatDoNotAddUpAreRefused) {
    Bytes good = {7, 1, 0, 0, 0, 1, 0, 0, 0, 9, 2, 0, 0, 0, 0x1E, 0x01};
    Message m;
    ASSERT_EQ(Decode(good.data(), good.size(), m), nullptr);
    for (std::size_t cut = 1; cut < good.size(); ++cut)
        EXPECT_NE(Decode(good.data(), cut, m), nullptr) << "cut at " << cut;
    Bytes stray = good;
    stray.push_back(0);
    EXPECT_NE(Decode(stray.data(), stray.size(), m), nullptr);
    Bytes huge = {7, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 9, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_NE(Decode(huge.data(), huge.size(), m), nullptr);
    Bytes longItem = {7, 0, 0, 0, 0, 1, 0, 0, 0, 9, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
    EXPECT_NE(Decode(longItem.data(), longItem.size(), m), nullptr);
}

TEST(NetworkMessages, AnOfferStopsAt512BytesAndLongerOffersAreRefused) {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t i = 0; i < 200; ++i)
        ids.push_back(1000 + i);
    Bytes out;
    EncodeOffer(ids.data(), ids.size(), out);
    Bytes expected = {0};
    for (std::uint32_t i = 0; i < 127; ++i)
        Le(expected, 1000 + i);
    ASSERT_EQ(expected.size(), 509u); // a 128th id would make 513 bytes
    EXPECT_EQ(out, expected);

    Message m;
    ASSERT_EQ(Decode(out.data(), out.size(), m), nullptr);
    EXPECT_EQ(m.sprites, std::vector<std::uint32_t>(ids.begin(), ids.begin() + 127));

    Bytes full512 = expected;
    full512.insert(full512.end(), {0, 0, 0});
    EXPECT_NE(Decode(full512.data(), full512.size(), m), nullptr); // not whole ids
    Bytes over = expected;
    Le(over, 7);
    EXPECT_NE(Decode(over.data(), over.size(), m), nullptr); // 513 bytes

    Bytes none = {0};
    ASSERT_EQ(Decode(none.data(), none.size(), m), nullptr);
    EXPECT_TRUE(m.sprites.empty());
}

TEST(NetworkMessages, ValueMessagesAndTheFullSessionNotice) {
    Bytes out;
    EncodeFull(out);
    EXPECT_EQ(out, Bytes{5});
    Message m;
    ASSERT_EQ(Decode(out.data(), out.size(), m), nullptr);
    EXPECT_EQ(m.kind, Full);
    Bytes withData = {5, 0};
    EXPECT_NE(Decode(withData.data(), withData.size(), m), nullptr);

    const Kind kinds[] = {Choice, HostIs, Resigned};
    for (Kind k : kinds) {
        EncodeValue(k, 0xA1B2C3D4, out);
        EXPECT_EQ(out, (Bytes{k, 0xD4, 0xC3, 0xB2, 0xA1}));
        ASSERT_EQ(Decode(out.data(), out.size(), m), nullptr);
        EXPECT_EQ(m.kind, k);
        EXPECT_EQ(m.value, 0xA1B2C3D4u);
        EXPECT_NE(Decode(out.data(), 4, m), nullptr);
    }
}

TEST(NetworkMessages, TheTableOfPlayersCarriesFirstFramesAndThePastInputsFollowIt) {
    const Assignment table[] = {{1, 7, 0}, {3, 9, 0x0102}};
    const std::uint8_t inputs[] = {7, 5, 0, 0, 0, 0, 0, 0, 0};
    Bytes out;
    EncodeAccepted(table, 2, out);
    AppendPastInputs(2, inputs, sizeof inputs, out);
    Bytes expected = {2};
    for (std::uint32_t v : {2u, 1u, 7u, 0u, 3u, 9u, 0x0102u, 2u, 9u})
        Le(expected, v);
    expected.insert(expected.end(), inputs, inputs + sizeof inputs);
    EXPECT_EQ(out, expected);
    Message m;
    ASSERT_EQ(Decode(out.data(), out.size(), m), nullptr);
    ASSERT_EQ(m.assignments.size(), 2u);
    EXPECT_EQ(m.assignments[1].player, 3u);
    EXPECT_EQ(m.assignments[1].sprite, 9u);
    EXPECT_EQ(m.assignments[1].firstFrame, 0x0102u);
    ASSERT_EQ(m.past.size(), 1u);
    EXPECT_EQ(m.past[0].player, 2u);
    EXPECT_EQ(Bytes(m.past[0].data, m.past[0].data + m.past[0].size), Bytes(inputs, inputs + 9));
    EXPECT_EQ(StampOf(m.past[0].data), 5u);

    // Whatever is cut, in the table or in the past inputs, refuses the whole message.
    for (std::size_t cut = 1; cut < expected.size(); ++cut) // 29 bytes: the table alone
        EXPECT_EQ(Decode(expected.data(), cut, m) == nullptr, cut == 29) << "cut at " << cut;
    out[1] = 3;
    EXPECT_NE(Decode(out.data(), out.size(), m), nullptr);
}

TEST(NetworkMessages, EmptyUnknownAndOversizedMessagesAreRefused) {
    Message m;
    EXPECT_NE(Decode(nullptr, 0, m), nullptr);
    Bytes three = {3};
    EXPECT_NE(Decode(three.data(), three.size(), m), nullptr);
    Bytes big(MaxMessageSize + 1, 0);
    big[0] = 7;
    EXPECT_NE(Decode(big.data(), big.size(), m), nullptr);
}
