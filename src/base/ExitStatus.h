#pragma once

namespace kiv {

// How a run ends, for the exit status the process reports. The games' own platform ended
// every early or fatal run with 0; scripts on this system must see failures, so each kind of
// failure has its own status. KIV_EXIT_STATUS=designed gives every run its original status
// again (the quit message's code, 0 for every other end).
enum class Ending {
    Quit = 0,         // the game quit (the quit message's code)
    Fatal = 1,        // the fatal exit: "Exit error." (a file that can't be opened...)
    CommandLine = 2,  // an option refused before the game started
    SecondGame = 3,   // another game holds the single-instance lock
    NoDisplay = 4,    // the window or the display could not be started
    EmptySlot = 5,    // a callback slot that the game must fill is empty
    NoScreenshot = 6, // the game ended but its last frame could not be saved
};

// The exit status of a run that ends that way; `designed` is the status the original
// platform reports (the quit message's code after a quit, 0 for every other end).
int ExitStatus(Ending ending, int designed = 0);

} // namespace kiv
