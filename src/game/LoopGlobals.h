#pragma once

namespace kiv {

// Calls of RunFrame so far; the console heads its output with it.
extern unsigned int FrameCounter;

} // namespace kiv
