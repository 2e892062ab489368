#pragma once

namespace kiv {

// Prints text of any length on the console (standard error before the console exists).
void PrintToConsole(const char* text);

} // namespace kiv
