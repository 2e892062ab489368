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

namespace kiv {

// "HOST:PORT" with a port from 1 to 65535 (the last colon separates them, so that an IPv6
// address may be written in brackets or as it is); false for anything else.
inline bool ReadHostAndPort(std::string_view text, std::string_view& host, long long& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0 ||
        !ReadWholeNumber(text.substr(colon + 1), 1, 65535, port))
        return false;
    host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return true;
}

} // namespace kiv
