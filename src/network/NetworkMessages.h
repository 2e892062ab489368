#pragma once

// The messages that peers of a network session exchange, as bytes: every message starts with
// its kind; numbers are little-endian. Encoding is pure; decoding checks every length against
// the bytes received and refuses, with a reason, what does not fit its kind exactly.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kiv::net {

enum Kind : std::uint8_t {
    Offer = 0,    // host -> newcomer: ids of the sprites still free (at most 512 bytes in all)
    Choice = 1,   // newcomer -> host: the chosen sprite's id
    Accepted = 2, // host -> all: the table of players and their sprites after a choice; to a
                  // player that comes while the level runs, also the inputs played before it
    HostIs = 4,   // joined player -> newcomer: the host's player id
    Full = 5,     // host -> newcomer: the session has its largest number of players
    Resigned = 6, // host -> all: a player has left
    Inputs = 7,   // every player -> all, each frame: the frame's input items
};

// Kinds of the items of an Inputs message.
constexpr std::uint8_t FrameMarkerItem = 8, KeyboardItem = 9, MouseItem = 10;

// The whole Offer message, kind byte included, is at most this long: 127 sprite ids.
constexpr std::size_t MaxOfferSize = 512;
// Nothing longer is ever decoded (a frame of the transport is refused above it as well).
constexpr std::size_t MaxMessageSize = 64 * 1024;
// Inputs: kind, frame stamp, item count; then per item kind and length.
constexpr std::size_t InputsHeaderSize = 9, ItemHeaderSize = 5;
// Accepted: the count; each player; each message played before (without its bytes).
constexpr std::size_t AcceptedHeaderSize = 5, AssignmentSize = 12, PastHeaderSize = 8;

struct Assignment {
    std::uint32_t player;
    std::uint32_t sprite;
    std::uint32_t firstFrame; // the stamp of the first frame whose inputs it sends
};

// An inputs message of another player, passed on by the host: the sender and the bytes.
struct PastInputs {
    std::uint32_t player;
    std::uint32_t size;
    const std::uint8_t* data;
};

// One item of an Inputs message, pointing into the decoded bytes.
struct ItemView {
    std::uint8_t kind;
    std::uint32_t length;
    const std::uint8_t* data;
};

// A decoded message. The vectors keep their capacity from one decoding to the next.
struct Message {
    Kind kind = Offer;
    // Choice: the sprite id; HostIs: the host's player id; Resigned: the player id;
    // Inputs: the frame stamp.
    std::uint32_t value = 0;
    std::vector<std::uint32_t> sprites;  // Offer
    std::vector<Assignment> assignments; // Accepted
    std::vector<PastInputs> past;        // Accepted, pointing into the decoded bytes
    std::vector<ItemView> items;         // Inputs
};

// The encoders replace the contents of `out`.
// Offer: as many of the `count` ids as the 512-byte limit lets through, in order.
void EncodeOffer(const std::uint32_t* ids, std::size_t count, std::vector<std::uint8_t>& out);
// Choice, HostIs and Resigned: the kind and one 32-bit value.
void EncodeValue(Kind kind, std::uint32_t value, std::vector<std::uint8_t>& out);
void EncodeFull(std::vector<std::uint8_t>& out);
// Accepted: a 32-bit count, then per player its id, its sprite's id and its first frame;
// then, up to the end, inputs played before: per message its sender, its size and its bytes.
void EncodeAccepted(const Assignment* table, std::size_t count, std::vector<std::uint8_t>& out);
void AppendPastInputs(std::uint32_t player, const std::uint8_t* data, std::uint32_t size,
                      std::vector<std::uint8_t>& out);
// The stamp of an inputs message that Decode accepted.
std::uint32_t StampOf(const std::uint8_t* inputs);

// Inputs are written in two steps so that queued items go straight into the message.
void BeginInputs(std::uint32_t stamp, std::vector<std::uint8_t>& out);
void AppendItem(std::uint8_t kind, const std::uint8_t* data, std::uint32_t length,
                std::vector<std::uint8_t>& out);

// Reads a message into `out`; returns null when it is whole, otherwise why it is refused.
// `out.items` point into `data`.
const char* Decode(const std::uint8_t* data, std::size_t size, Message& out);

} // namespace kiv::net
