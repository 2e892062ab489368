#pragma once

namespace kiv {

// Reports a problem that has no message of its own in the system's message table (a damaged
// image, a missing sound font...): one line in the log and on standard error. It never stops
// the game and never shows the console.
void Diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kiv
