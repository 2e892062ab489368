#include "Text.h"

#include "Layout.h"

#include "platform/Cp1252.h"

namespace kiv::tools {

std::string Utf8FromCp1252(const std::string& text) {
    return platform::Utf8FromCp1252(text.c_str());
}

namespace {

// The next code point of UTF-8 text, or -1 for a malformed sequence.
long NextCodePoint(const std::string& s, size_t& i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char lead = byte(i);
    int extra = lead < 0x80         ? 0
                : (lead >> 5) == 6  ? 1
                : (lead >> 4) == 14 ? 2
                : (lead >> 3) == 30 ? 3
                                    : -1;
    if (extra < 0 || i + extra >= s.size())
        return -1;
    long c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return -1;
        c = c << 6 | (byte(i + k) & 0x3F);
    }
    i += extra + 1;
    return c;
}

} // namespace

std::string Cp1252FromUtf8(const std::string& text, const std::string& path) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        long c = NextCodePoint(text, i);
        int byte = -1;
        for (int b = 0; b < 256 && c >= 0; ++b)
            if (platform::UnicodeFromCp1252(static_cast<unsigned char>(b)) ==
                static_cast<std::uint32_t>(c)) {
                byte = b;
                break;
            }
        if (byte <= 0)
            throw DataError(path + ": the text holds a character that game texts (code page 1252) "
                                   "cannot hold");
        out += static_cast<char>(byte);
    }
    return out;
}

} // namespace kiv::tools
