#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kiv::platform {

// A horizontal stretch of covered pixels of a glyph: row y, columns [x0, x1), relative to
// the pen (x) and to the top of the text line (y).
struct GlyphRun {
    std::int16_t y;
    std::int16_t x0;
    std::int16_t x1;
};

// One rendered character: a coverage mask placed relative to the pen (left) and to the
// top of the text line (top). Underline and strike-out bars are part of the mask.
struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage; // width × height, 0 or 255
    std::vector<GlyphRun> runs;         // the same pixels, row by row
};

// A font as the games describe one, in the window system's terms.
struct FontRequest {
    std::string name; // face name; only its first 31 characters count
    // Below 0: the em height in pixels; above 0: the cell height (ascent + descent); 0: the
    // default size.
    int height = 0;
    // Not 0: the average character width in pixels (its absolute value), the face being
    // stretched or narrowed to it; 0: the face's own proportions.
    int width = 0;
    int weight = 0; // 0 (any) or 1 to 1000; 700 is bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// Why a font could not be made.
enum class FontError { None, Name, Width, Height, Weight, Other };

// A face at one size, with all 256 characters of code page 1252 rendered when it is made.
class Font {
public:
    int Ascent() const { return ascent; }
    int Descent() const { return descent; }
    // Cell height: ascent plus descent; every character of the font measures this high.
    int Height() const { return ascent + descent; }
    const Glyph& GetGlyph(unsigned char c) const { return glyphs[c]; }
    int TextWidth(const char* text) const;
    // The family of the face that renders this font.
    const std::string& Family() const { return family; }

private:
    friend class FontCatalog;
    int ascent = 0;
    int descent = 0;
    std::string family;
    Glyph glyphs[256];
};

// Installed fonts, found through fontconfig and rendered by FreeType without smoothing.
class FontCatalog {
public:
    static FontCatalog& Instance();

    // Whether a face name counts as installed: fontconfig answers every name with some face,
    // so a name is accepted only when the face it finds carries that family name or the name
    // of a known metric-compatible replacement ("Arial" -> Liberation Sans).
    bool Supports(const char* name);

    // The font for `request`, shared with earlier requests for the same font; null (and the
    // reason in `error`) when it cannot be made.
    std::shared_ptr<Font> Create(const FontRequest& request, FontError* error = nullptr);

    // The installed face that fontconfig finds best for `name`, whatever its family, with an
    // em of `pixelHeight` pixels; null when none loads.
    std::shared_ptr<Font> Open(const char* name, int pixelHeight, int weight, bool italic);

    // FreeType's library.
    struct Library;

private:
    struct Face;
    struct Key;

    FontCatalog();
    // The installed face for a name, weight and slant, found once and then remembered.
    const Face& Resolve(const std::string& name, int weight, bool italic);
    std::shared_ptr<Font> Make(const Face& face, const FontRequest& request, FontError* error);

    std::shared_ptr<Library> library;
    std::map<std::string, std::shared_ptr<Face>> faces;
    // Recently made fonts: a level sets a text's font attribute by attribute, and many texts
    // share a font, so the same fonts are asked for again and again.
    std::list<std::pair<std::string, std::shared_ptr<Font>>> recent;
};

} // namespace kiv::platform
