#pragma once

#include <string>

namespace kiv::tools {

// Game data keeps its texts in code page 1252; JSON holds UTF-8.
std::string Utf8FromCp1252(const std::string& text);
// Throws DataError naming `path` for a character code page 1252 does not have.
std::string Cp1252FromUtf8(const std::string& text, const std::string& path);

} // namespace kiv::tools
