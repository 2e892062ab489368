#pragma once

#include <string>

namespace kiv {

// Answers to the host-or-join dialog given before the game starts (--host, --join,
// --player): a network level then asks nothing.
struct SessionOptions {
    int answer = 0;         // 0: ask; otherwise the dialog's answer (host or join)
    unsigned long port = 0; // 0: the level's port
    std::string hostName;   // the host to join
    std::string playerName; // empty: the user's login name
};

SessionOptions& NetworkOptions();
// The name this player goes by in sessions.
std::string PlayerName();

} // namespace kiv
