#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace kiv::platform {

// One rendered character: a coverage mask placed relative to the pen (left) and to the
// top of the text line (top).
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage; // width × height, 0 or 255
};

// A font face at one size. Characters are code-page-1252 bytes, as the games write them.
class Font {
public:
    virtual ~Font() = default;
    virtual int Ascent() const = 0;
    // Line height: ascent plus descent.
    virtual int Height() const = 0;
    // Rendered once, then kept.
    virtual const Glyph& GetGlyph(unsigned char c) = 0;
    int TextWidth(const char* text);
};

// Installed fonts, found through fontconfig and rendered by FreeType without smoothing.
class FontCatalog {
public:
    static FontCatalog& Instance();
    // The installed face that fontconfig finds best for `name` (Windows names map to
    // metric-compatible faces), with an em of `pixelHeight` pixels; null when none loads.
    std::shared_ptr<Font> Open(const char* name, int pixelHeight, int weight, bool italic);

    // FreeType's library, kept alive by every font made from it.
    struct Library;

private:
    FontCatalog();
    std::shared_ptr<Library> library;
};

} // namespace kiv::platform
