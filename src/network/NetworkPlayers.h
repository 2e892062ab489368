#pragma once

#include "network/NetworkMessages.h"
#include "platform/Transport.h"

#include <deque>
#include <string>
#include <vector>

class Sprite;

namespace kiv {

// What a session knows of one player.
struct NetworkPlayer {
    unsigned long id = 0;
    std::string name;
    int sprite = 0;          // the Id of the sprite it plays; 0 while it has none
    bool gone = false;       // it left; its name stays for the message that says so
    bool turnedAway = false; // the host told it that the session was full
    bool counted = false;    // its inputs of this frame are in
    std::deque<std::vector<unsigned char>> pending; // inputs messages not counted yet
};

// The players of a session, and the buffers its messages reuse.
struct NetworkPlayers {
    std::vector<NetworkPlayer> list; // in the order they were created
    int counted = 0;                 // players whose inputs of this frame are in
    bool inputsArrived = false;      // HandleEvents stops after an inputs message
    platform::SessionEvent event;
    net::Message message;
    std::vector<unsigned char> out;
    std::vector<std::vector<unsigned char>> spare;

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
