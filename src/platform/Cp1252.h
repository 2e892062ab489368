#pragma once

#include <cstdint>
#include <string>

namespace kiv::platform {

// Games write their texts in code page 1252; the system speaks Unicode.
std::uint32_t UnicodeFromCp1252(unsigned char c);
std::string Utf8FromCp1252(const char* text);

} // namespace kiv::platform
