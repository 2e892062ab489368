#pragma once

#include <string>
#include <vector>

namespace kiv {

// Options of the runtime itself, from the command line (--name or --name=value) and from
// KIV_* environment variables (the command line wins). They never disturb the screen-saver
// options that share the command line, nor the game's own options, which stay in it.
//
// Adding an option: a field here and one row in the table of RuntimeOptions.cpp (its name,
// value, variable, help line and the function that checks and stores the value).
struct RuntimeOptions {
    bool headless = false;    // --headless, KIV_PLATFORM=headless
    unsigned long frames = 0; // --frames=N, KIV_FRAMES: quit after N frames (0: never)
    std::string screenshot;   // --screenshot=FILE, KIV_SCREENSHOT: the last frame (.png/.bmp/.jpg)
    std::string input;        // --input=FILE, KIV_INPUT: scripted input
    int windowed = -1;        // --windowed / --fullscreen, KIV_WINDOWED=1/0; -1: game's
    int scale = 0;            // --scale=N, KIV_SCALE: window zoom; 0: fit the desktop
    std::string log = "Kiv.log"; // --log=FILE, KIV_LOG: where the log of user errors goes
    int session = 0;             // --host / --join: the host-or-join answer (1003, 1004)
    unsigned long port = 0;      // --host=PORT, --join=HOST:PORT
    std::string joinHost;        // --join=HOST:PORT
    std::string player;          // --player=NAME, KIV_PLAYER: the name in network sessions
    std::string frameHashes;     // --frame-hashes=FILE: FNV-1a of the back buffer, frame by frame
    std::string replay;          // --replay=FILE, KIV_REPLAY: play it from the start, then quit
    bool help = false;           // --help: describe the options and quit
    bool version = false;        // --version: tell the runtime's version and quit

    // Options refused, each with why; the game does not start when there is one.
    std::vector<std::string> refused;
    // Notes on options that look mistyped (they stay in the command line for the game).
    std::vector<std::string> notes;

    // Reads the options and removes the runtime's own from the command line, leaving the
    // rest of its text in place.
    static RuntimeOptions Take(char* commandLine);
    // The --help text.
    static std::string Help(const char* program);
};

} // namespace kiv
