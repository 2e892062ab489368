#pragma once

#include <charconv>
#include <string_view>

namespace kiv {

// A decimal whole number that fills `text` and lies in [lo, hi]; false for anything else
// (a sign before a number that must not be negative, trailing characters, overflow).
inline bool ReadWholeNumber(std::string_view text, long long lo, long long hi, long long& out) {
    long long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < lo || value > hi)
        return false;
    out = value;
    return true;
}

} // namespace kiv
