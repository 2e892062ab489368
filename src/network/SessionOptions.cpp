#include "network/SessionOptions.h"

#include <cstdlib>

namespace kiv {

SessionOptions& NetworkOptions() {
    static SessionOptions options;
    return options;
}

std::string PlayerName() {
    if (!NetworkOptions().playerName.empty())
        return NetworkOptions().playerName;
    const char* user = std::getenv("USER");
    return user && *user ? user : "Player";
}

} // namespace kiv
