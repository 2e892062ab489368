#include "platform/FontCatalog.h"

#include "platform/Cp1252.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <string>
#include <strings.h>

namespace kiv::platform {

struct FontCatalog::Library {
    FT_Library ft = nullptr;
    Library() {
        FT_Init_FreeType(&ft);
        FcInit();
    }
    ~Library() { FT_Done_FreeType(ft); }
};

namespace {

class FreeTypeFont : public Font {
public:
    FreeTypeFont(std::shared_ptr<FontCatalog::Library> lib, FT_Face f)
        : library(std::move(lib)), face(f) {}
    ~FreeTypeFont() override { FT_Done_Face(face); }

    int Ascent() const override { return static_cast<int>(face->size->metrics.ascender >> 6); }
    int Height() const override {
        return static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >>
                                6);
    }
    const Glyph& GetGlyph(unsigned char c) override {
        if (!rendered[c]) {
            Render(c, glyphs[c]);
            rendered[c] = true;
        }
        return glyphs[c];
    }

private:
    void Render(unsigned char c, Glyph& g) {
        FT_UInt index = FT_Get_Char_Index(face, UnicodeFromCp1252(c));
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
            return;
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = Ascent() - slot->bitmap_top;
        g.width = static_cast<int>(bm.width);
        g.height = static_cast<int>(bm.rows);
        g.advance = static_cast<int>(slot->advance.x >> 6);
        g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
        for (int y = 0; y < g.height; ++y) {
            const unsigned char* row = bm.buffer + y * bm.pitch;
            for (int x = 0; x < g.width; ++x)
                if (row[x >> 3] & (0x80 >> (x & 7)))
                    g.coverage[static_cast<size_t>(y) * g.width + x] = 255;
        }
    }

    std::shared_ptr<FontCatalog::Library> library;
    FT_Face face;
    Glyph glyphs[256];
    bool rendered[256] = {};
};

// Fontconfig weights from the 0..1000 scale of the games' fonts.
int FcWeight(int weight) {
    if (weight >= 700)
        return FC_WEIGHT_BOLD;
    if (weight >= 600)
        return FC_WEIGHT_DEMIBOLD;
    if (weight >= 500)
        return FC_WEIGHT_MEDIUM;
    return FC_WEIGHT_REGULAR;
}

} // namespace

int Font::TextWidth(const char* text) {
    int width = 0;
    for (const char* p = text; p && *p; ++p)
        width += GetGlyph(static_cast<unsigned char>(*p)).advance;
    return width;
}

FontCatalog::FontCatalog() : library(std::make_shared<Library>()) {}

FontCatalog& FontCatalog::Instance() {
    static FontCatalog catalog;
    return catalog;
}

std::shared_ptr<Font> FontCatalog::Open(const char* name, int pixelHeight, int weight,
                                        bool italic) {
    if (!name || !*name || pixelHeight <= 0)
        return nullptr;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeight(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return nullptr;

    std::shared_ptr<Font> font;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FT_Face face = nullptr;
        if (FT_New_Face(library->ft, reinterpret_cast<const char*>(file), index, &face) == 0) {
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
            font = std::make_shared<FreeTypeFont>(library, face);
        }
    }
    FcPatternDestroy(match);
    return font;
}

} // namespace kiv::platform
