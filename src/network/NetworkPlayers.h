#pragma once

#include "network/NetworkMessages.h"
#include "platform/Transport.h"

#include <cstdint>
#include <string>
#include <vector>

class Sprite;

namespace kiv {

// What a session knows of one player.
struct NetworkPlayer {
    unsigned long id = 0;
    std::string name;
    int sprite = 0;               // the Id of the sprite it plays; 0 while it has none
    bool gone = false;            // it left; its name stays for the message that says so
    bool turnedAway = false;      // the host told it that the session was full
    bool known = false;           // the host has told everyone its sprite and first frame
    std::uint32_t firstFrame = 0; // the stamp of the first frame it plays
    std::uint32_t pastSent = 0;   // host: the frames before firstFrame passed on to it
    // Inputs messages of frames not played yet, with their stamps, in arrival order. Slots
    // keep their buffers: `pendingCount` of them are in use.
    std::vector<std::vector<unsigned char>> pending;
    std::size_t pendingCount = 0;

    // Whether its inputs count for the frame with this stamp.
    bool Plays(std::uint32_t frame) const {
        return known && sprite != 0 && !gone && !turnedAway && firstFrame <= frame;
    }
};

// The players of a session, and the buffers its messages reuse.
struct NetworkPlayers {
    std::vector<NetworkPlayer> list; // in the order they were created
    std::uint32_t played = 0;        // frames whose inputs were all in: the stamp of the next
    bool inputsArrived = false;      // HandleEvents stops after an inputs message
    platform::SessionEvent event;
    net::Message message;
    net::Message checked; // an inputs message looked at when it arrives
    std::vector<unsigned char> out;
    std::vector<net::Assignment> table;
    // Host, when players may come while the level runs: every frame's inputs as they were
    // played (sender, size, bytes, as past inputs travel), and where each frame begins.
    std::vector<unsigned char> past;
    std::vector<std::size_t> pastFrames;

    NetworkPlayer* Find(unsigned long id) {
        for (NetworkPlayer& p : list)
            if (p.id == id)
                return &p;
        return nullptr;
    }
};

// The sprite of the running level with this Id; null when there is none.
Sprite* LevelSprite(int id);

} // namespace kiv
