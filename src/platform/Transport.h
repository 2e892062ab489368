#pragma once

// Sessions of players over TCP. One player hosts on a port; the others join by host name and
// port. Every joined player keeps one connection to the host, which relays what players send
// to each other: the host is the hub of a star, and its player id is always 1.
//
// A joining player introduces itself with the protocol's version, the game's 16-byte session
// identifier and its name; the host refuses, with a reason the joiner reports, a peer that
// speaks another version, runs another game or says nothing intelligible. Frames on the wire
// are a 32-bit little-endian length and that many bytes, at most MaxFrameSize.
//
// Everything that happens in the session is queued as an event for the game's thread, which
// takes them with Poll: also what the log should hear of (a refused peer, a frame dropped).
// Messages between two players arrive in the order they were sent.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kiv::platform {

struct SessionEvent {
    enum Kind { PlayerCreated, PlayerDestroyed, Received, Terminated, Notice } kind = Received;
    std::uint32_t player = 0;       // created, destroyed: that player; received: the sender
    std::string name;               // created: the player's name; notice: what to log
    std::vector<std::uint8_t> data; // received: the message
};

class Transport {
public:
    enum class Result { Ok, PortUnusable, Failed };
    static constexpr std::uint32_t HostPlayer = 1;
    static constexpr std::size_t MaxFrameSize = 64 * 1024 + 64;

    virtual ~Transport() = default;
    // Opens a session on `port` (all addresses) with the local player as its first player.
    virtual Result Host(const std::uint8_t (&session)[16], std::uint16_t port,
                        const std::string& playerName) = 0;
    // Joins the session hosted at `hostName`:`port`; returns once the host has taken the
    // player in or refused it, or after a few seconds without an answer.
    virtual Result Join(const std::uint8_t (&session)[16], const std::string& hostName,
                        std::uint16_t port, const std::string& playerName) = 0;
    // Why Host or Join failed, for the log.
    virtual const std::string& Problem() const = 0;
    // Sends a message to one player or, with `to` = 0, to every player (the local one too,
    // at once). False without a session.
    virtual bool Send(std::uint32_t to, const std::uint8_t* data, std::size_t size) = 0;
    // Takes the oldest event into `out`, swapping buffers with it (so a caller that hands
    // back an emptied event each time keeps reusing the same buffers); false when none.
    virtual bool Poll(SessionEvent& out) = 0;
    // Returns when an event waits, or after `ms` milliseconds of real time.
    virtual void Wait(std::uint32_t ms) = 0;
    // The local player's id; 0 before the session is made.
    virtual std::uint32_t LocalPlayer() const = 0;
    // Lets what was sent leave (for at most a second), then closes every connection and
    // ends the network thread. Nothing is reported afterwards.
    virtual void Close() = 0;
};

// The TCP transport (standalone Asio, one network thread per session).
std::unique_ptr<Transport> MakeTcpTransport();

} // namespace kiv::platform
