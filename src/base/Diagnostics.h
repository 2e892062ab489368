#pragma once

namespace kiv {

// Writes text in the games' code page to standard error, converted to UTF-8. Every message
// meant for the terminal (fatal messages, message boxes, user errors, diagnostics) goes
// through here, so that a developer sees them where they look, whole lines at a time.
void WriteStandardError(const char* text);
// The same for text that is UTF-8 already (command lines, file names, scripts of this system).
void WriteStandardErrorUtf8(const char* text);

// Reports a problem that has no message of its own in the system's message table (a damaged
// image, a missing sound font...): one line in the log and on standard error. It never stops
// the game and never shows the console.
void Diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace kiv
