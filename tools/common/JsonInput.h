#pragma once

#include "Layout.h"

#include <filesystem>
#include <string>

namespace kiv::tools {

// Descriptions nest a dozen levels deep; anything far deeper is refused while it is read,
// so that nothing that walks the description later can run out of stack.
constexpr int MaxJsonDepth = 100;

// The JSON text of a description; DataError naming `source` when it is not valid JSON or
// nests deeper than MaxJsonDepth.
Json ParseDescription(const std::string& text, const std::string& source);
Json ReadDescription(const std::filesystem::path& file);

} // namespace kiv::tools
