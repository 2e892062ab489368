#pragma once

#include <string>

namespace kiv {

// Where the console writes its log (the runtime options may move it from "Kiv.log").
void SetLogFile(const std::string& path);

// Prints text of any length on the console (standard error before the console exists).
void PrintToConsole(const char* text);

} // namespace kiv
