#pragma once

#include <string>
#include <vector>

namespace kiv::platform::sdl {

class SdlWindow;

// Message boxes and questions drawn over the game, for desktops where neither SDL's message
// boxes (which need the X server's own fonts) nor an entry dialog (zenity, kdialog) can be
// shown. Texts are code page 1252, as games write them.

// A message with a button per label. Returns the index of the button chosen: Return or Space
// chooses the one with the focus, which starts on `focus` and moves with the arrows and Tab;
// a click chooses the one under it. Escape, closing the window, or a window that has nothing
// to draw with, give `cancel`.
int DrawnButtons(SdlWindow& window, const std::string& title, const std::string& text,
                 const std::vector<std::string>& labels, int focus, int cancel);

// A question answered by a line of typed text, which starts as `text`: true when the player
// confirms a line that is not empty, which is then in `text`; false (and `text` as it was)
// when cancelled.
bool DrawnAskText(SdlWindow& window, const std::string& title, const std::string& question,
                  std::string& text);

} // namespace kiv::platform::sdl
