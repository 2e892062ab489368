#pragma once

namespace kiv::platform {

// Every message box is also written on standard error as "[caption] text", so that a run
// from a terminal or a script shows why it stopped.
void EchoMessageBox(const char* text, const char* caption);

} // namespace kiv::platform
