#pragma once

#include <string>

namespace kiv {

// Options of the runtime itself, from the command line (--name or --name=value) and from
// KIV_* environment variables (the command line wins). They never disturb the
// screen-saver options that share the command line.
struct RuntimeOptions {
    bool headless = false;    // --headless, KIV_PLATFORM=headless
    unsigned long frames = 0; // --frames=N, KIV_FRAMES: quit after N frames (0: never)
    std::string screenshot;   // --screenshot=FILE.png, KIV_SCREENSHOT: the last frame
    std::string input;        // --input=FILE, KIV_INPUT: scripted input (headless)
    int windowed = -1;        // --windowed / --fullscreen, KIV_WINDOWED=1/0; -1: game's
    int scale = 0;            // --scale=N, KIV_SCALE: window zoom; 0: fit the desktop

    // Reads the options and removes them from the command line, leaving the rest in place.
    static RuntimeOptions Take(char* commandLine);
};

} // namespace kiv
