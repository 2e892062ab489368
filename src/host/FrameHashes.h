#pragma once

#include <string>

namespace kiv {

// --frame-hashes=FILE: one line per frame played (not paused, not waiting for network
// players, no level switch pending): its number among the frames played and the FNV-1a
// hash of the back buffer's rows, in hexadecimal. Two runs that show the same frames write
// the same lines: network peers that keep in step, a replay and its recording.
void OpenFrameHashes(const std::string& path);
void RecordFrameHash();
void CloseFrameHashes();

} // namespace kiv
