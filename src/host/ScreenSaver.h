#pragma once

namespace kiv {

// Reads the screen-saver options of the command line (/s, /c, /p <window>, /a <window>).
// False when the saver is to end without running (no option, settings, password change).
bool ReadScreenSaverCommandLine(char* commandLine);

} // namespace kiv
