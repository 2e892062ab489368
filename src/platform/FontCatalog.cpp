#include "platform/FontCatalog.h"

#include "platform/Cp1252.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
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

// An installed face chosen for a name, weight and slant.
struct FontCatalog::Face {
    std::string file;
    int index = 0;
    std::string family;
    bool supported = false;
    bool found = false;
    int weight = FC_WEIGHT_REGULAR; // of the face found
    int slant = FC_SLANT_ROMAN;
};

namespace {

// The names under which the installed metric-compatible faces stand for the fonts that the
// games were made with: same advance widths and line heights, so texts break the same way.
struct Alias {
    const char* name;
    const char* families[4];
};

const Alias Aliases[] = {
    {"Arial", {"Liberation Sans", "Arimo"}},
    {"Times New Roman", {"Liberation Serif", "Tinos"}},
    {"Courier New", {"Liberation Mono", "Cousine"}},
    {"Arial Narrow", {"Liberation Sans Narrow", "Nimbus Sans Narrow"}},
    {"Helvetica", {"Nimbus Sans", "Nimbus Sans L", "Liberation Sans", "Arimo"}},
    {"Times", {"Nimbus Roman", "Nimbus Roman No9 L", "Liberation Serif", "Tinos"}},
    {"Courier", {"Nimbus Mono PS", "Nimbus Mono L", "Liberation Mono", "Cousine"}},
    {"Calibri", {"Carlito"}},
    {"Cambria", {"Caladea"}},
    {"Symbol", {"Standard Symbols PS"}},
};

// Impact, which the runtime's own frame-rate display asks for, has no free metric-compatible
// face; a bold condensed sans of the same heavy, narrow kind stands in for it.
constexpr const char* ImpactStandIn = "DejaVu Sans";

bool SameName(const std::string& a, const char* b) {
    return b && strcasecmp(a.c_str(), b) == 0;
}

const Alias* AliasOf(const std::string& name) {
    for (const Alias& a : Aliases)
        if (SameName(name, a.name))
            return &a;
    return nullptr;
}

// Fontconfig weights from the 0..1000 scale of the games' fonts (0: any, taken as regular).
int FcWeight(int weight) {
    if (weight <= 0)
        return FC_WEIGHT_REGULAR;
    return FcWeightFromOpenType(std::min(weight, 1000));
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Font-wide measures in font units, from the OS/2 table where the face has one (the window
// system measures fonts by it), else from FreeType's general metrics.
struct Measures {
    double ascent;
    double descent;
    double averageWidth;
    double strikePosition;
    double strikeSize;
};

// The average character width that the window system sizes fonts by: the advances of the
// lower-case letters and the space, weighted by their frequency in English text (the
// measure that fonts made for it store in their OS/2 table). Computed from the face itself,
// since newer faces store a plain average of all their glyphs there instead. 0 when a letter
// is missing.
double WeightedAverageWidth(FT_Face face) {
    static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    double sum = 0;
    for (int i = 0; i < 27; ++i) {
        FT_ULong code = i < 26 ? 'a' + i : ' ';
        FT_UInt index = FT_Get_Char_Index(face, code);
        FT_Fixed advance = 0;
        if (index == 0 || FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) != 0)
            return 0;
        sum += static_cast<double>(advance) * weights[i];
    }
    return sum / 1000;
}

Measures Measure(FT_Face face) {
    Measures m{};
    m.ascent = face->ascender;
    m.descent = -face->descender;
    m.averageWidth = face->units_per_EM / 2.0;
    m.strikePosition = face->units_per_EM * 0.26;
    m.strikeSize = face->underline_thickness;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            m.ascent = os2->usWinAscent;
            m.descent = os2->usWinDescent;
        }
        if (os2->xAvgCharWidth > 0)
            m.averageWidth = os2->xAvgCharWidth;
        if (os2->yStrikeoutSize > 0) {
            m.strikePosition = os2->yStrikeoutPosition;
            m.strikeSize = os2->yStrikeoutSize;
        }
    }
    if (m.ascent + m.descent <= 0) {
        m.ascent = face->units_per_EM * 0.8;
        m.descent = face->units_per_EM * 0.2;
    }
    if (m.strikeSize <= 0)
        m.strikeSize = face->units_per_EM / 20.0;
    if (double weighted = WeightedAverageWidth(face); weighted > 0)
        m.averageWidth = weighted;
    return m;
}

// A horizontal bar across a glyph's advance (underline, strike-out): rows [top, top + rows).
struct Bar {
    int top;
    int rows;
};

// The mask of a rendered glyph, with the bars added across [0, advance).
void Compose(const FT_Bitmap* bitmap, int bitmapLeft, int bitmapTop, const Bar* bars, int barCount,
             Glyph& g) {
    int bw = bitmap ? static_cast<int>(bitmap->width) : 0;
    int bh = bitmap ? static_cast<int>(bitmap->rows) : 0;
    int left = bitmapLeft, top = bitmapTop, right = bitmapLeft + bw, bottom = bitmapTop + bh;
    bool empty = bw == 0 || bh == 0;
    for (int i = 0; i < barCount; ++i) {
        if (g.advance <= 0 || bars[i].rows <= 0)
            continue;
        if (empty) {
            left = 0;
            right = g.advance;
            top = bars[i].top;
            bottom = bars[i].top + bars[i].rows;
            empty = false;
        } else {
            left = std::min(left, 0);
            right = std::max(right, g.advance);
            top = std::min(top, bars[i].top);
            bottom = std::max(bottom, bars[i].top + bars[i].rows);
        }
    }
    if (empty)
        return;
    g.left = left;
    g.top = top;
    g.width = right - left;
    g.height = bottom - top;
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
    auto set = [&](int x, int y) {
        g.coverage[static_cast<size_t>(y - top) * g.width + (x - left)] = 255;
    };
    for (int y = 0; y < bh; ++y) {
        const unsigned char* row = bitmap->buffer + static_cast<std::ptrdiff_t>(y) * bitmap->pitch;
        for (int x = 0; x < bw; ++x)
            if (row[x >> 3] & (0x80 >> (x & 7)))
                set(bitmapLeft + x, bitmapTop + y);
    }
    for (int i = 0; i < barCount; ++i)
        for (int y = bars[i].top; y < bars[i].top + bars[i].rows; ++y)
            for (int x = 0; x < g.advance; ++x)
                set(x, y);
    for (int y = 0; y < g.height; ++y) {
        const std::uint8_t* row = &g.coverage[static_cast<size_t>(y) * g.width];
        for (int x = 0; x < g.width;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            int start = x;
            while (x < g.width && row[x])
                ++x;
            g.runs.push_back({static_cast<std::int16_t>(top + y),
                              static_cast<std::int16_t>(left + start),
                              static_cast<std::int16_t>(left + x)});
        }
    }
}

} // namespace

int Font::TextWidth(const char* text) const {
    int width = 0;
    for (const char* p = text; p && *p; ++p)
        width += glyphs[static_cast<unsigned char>(*p)].advance;
    return width;
}

FontCatalog::FontCatalog() : library(std::make_shared<Library>()) {}

FontCatalog& FontCatalog::Instance() {
    static FontCatalog catalog;
    return catalog;
}

const FontCatalog::Face& FontCatalog::Resolve(const std::string& name, int weight, bool italic) {
    int fcWeight = FcWeight(weight);
    std::string key = Lower(name) + '\n' + std::to_string(fcWeight) + (italic ? "i" : "r");
    auto known = faces.find(key);
    if (known != faces.end())
        return *known->second;
    auto face = std::make_shared<Face>();
    faces.emplace(key, face);

    bool impact = SameName(name, "Impact");
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(impact ? ImpactStandIn : name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, impact ? FC_WEIGHT_BOLD : fcWeight);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (impact)
        FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_CONDENSED);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return *face;

    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        face->file = reinterpret_cast<const char*>(file);
        face->found = true;
    }
    FcPatternGetInteger(match, FC_INDEX, 0, &face->index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &face->weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &face->slant);
    const Alias* alias = AliasOf(name);
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        std::string f = reinterpret_cast<const char*>(family);
        if (i == 0)
            face->family = f;
        bool accepted = SameName(f, impact ? ImpactStandIn : name.c_str());
        for (int a = 0; alias && !accepted && a < 4; ++a)
            accepted = SameName(f, alias->families[a]);
        face->supported = face->supported || accepted;
    }
    FcPatternDestroy(match);
    face->supported = face->supported && face->found;
    return *face;
}

bool FontCatalog::Supports(const char* name) {
    if (!name || !*name)
        return false;
    std::string n(name, std::min<size_t>(std::char_traits<char>::length(name), 31));
    return Resolve(n, 0, false).supported;
}

std::shared_ptr<Font> FontCatalog::Create(const FontRequest& request, FontError* error) {
    if (error)
        *error = FontError::None;
    FontRequest s = request;
    if (s.name.size() > 31)
        s.name.resize(31);
    if (s.weight < 0 || s.weight > 1000) {
        if (error)
            *error = FontError::Weight;
        return nullptr;
    }
    if (s.name.empty() || !Supports(s.name.c_str())) {
        if (error)
            *error = FontError::Name;
        return nullptr;
    }
    return Make(Resolve(s.name, s.weight, s.italic), s, error);
}

std::shared_ptr<Font> FontCatalog::Open(const char* name, int pixelHeight, int weight,
                                        bool italic) {
    if (!name || !*name || pixelHeight <= 0)
        return nullptr;
    FontRequest request;
    request.name = name;
    request.height = -pixelHeight;
    request.weight = std::clamp(weight, 0, 1000);
    request.italic = italic;
    const Face& face = Resolve(request.name, request.weight, italic);
    return face.found ? Make(face, request, nullptr) : nullptr;
}

std::shared_ptr<Font> FontCatalog::Make(const Face& chosen, const FontRequest& request,
                                        FontError* error) {
    auto fail = [&](FontError why) -> std::shared_ptr<Font> {
        if (error)
            *error = why;
        return nullptr;
    };
    if (!chosen.found)
        return fail(FontError::Name);
    std::string key = chosen.file + '#' + std::to_string(chosen.index) + ' ' +
                      std::to_string(request.height) + ' ' + std::to_string(request.width) + ' ' +
                      std::to_string(request.weight) + (request.italic ? "i" : "-") +
                      (request.underline ? "u" : "-") + (request.strikeOut ? "s" : "-");
    for (auto it = recent.begin(); it != recent.end(); ++it)
        if (it->first == key) {
            recent.splice(recent.begin(), recent, it);
            return it->second;
        }

    FT_Face face = nullptr;
    if (FT_New_Face(library->ft, chosen.file.c_str(), chosen.index, &face) != 0)
        return fail(FontError::Other);
    struct Closer {
        FT_Face f;
        ~Closer() { FT_Done_Face(f); }
    } closer{face};

    const Measures m = Measure(face);
    const double units = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    double emY = 16;
    if (request.height < 0)
        emY = -static_cast<double>(request.height);
    else if (request.height > 0)
        emY = request.height * units / (m.ascent + m.descent);
    double emX = emY;
    if (request.width != 0)
        emX = std::fabs(static_cast<double>(request.width)) * units / m.averageWidth;
    if (emY > 2048)
        return fail(FontError::Height);
    if (emX > 4096)
        return fail(FontError::Width);
    emY = std::max(emY, 1.0);
    emX = std::max(emX, 1.0);
    if (FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(emX * 64)),
                         static_cast<FT_F26Dot6>(std::lround(emY * 64)), 72, 72) != 0)
        return fail(FontError::Other);

    auto font = std::make_shared<Font>();
    const double scale = emY / units;
    font->ascent = static_cast<int>(std::lround(m.ascent * scale));
    font->descent = static_cast<int>(std::lround(m.descent * scale));
    font->family = chosen.family;

    // Faces without a bold or italic member are emboldened or slanted, as the window system
    // does for them.
    bool embolden = request.weight >= 600 && chosen.weight < FC_WEIGHT_DEMIBOLD;
    bool slant = request.italic && chosen.slant == FC_SLANT_ROMAN;
    if (slant) {
        FT_Matrix shear{0x10000, 0x3333, 0, 0x10000}; // x += 0.2 y
        FT_Set_Transform(face, &shear, nullptr);
    }

    Bar bars[2];
    int barCount = 0;
    if (request.underline) {
        int rows = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
        int centre = font->ascent - static_cast<int>(std::lround(face->underline_position * scale));
        bars[barCount++] = {std::min(centre - rows / 2, font->Height() - rows), rows};
    }
    if (request.strikeOut) {
        int rows = std::max(1, static_cast<int>(std::lround(m.strikeSize * scale)));
        bars[barCount++] = {font->ascent - static_cast<int>(std::lround(m.strikePosition * scale)),
                            rows};
    }

    for (int c = 0; c < 256; ++c) {
        Glyph& g = font->glyphs[c];
        FT_UInt index = FT_Get_Char_Index(face, UnicodeFromCp1252(static_cast<unsigned char>(c)));
        const FT_Bitmap* bitmap = nullptr;
        int bitmapLeft = 0, bitmapTop = 0;
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) == 0) {
            FT_GlyphSlot slot = face->glyph;
            if (embolden)
                FT_GlyphSlot_Embolden(slot);
            g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
                bitmap = &slot->bitmap;
                bitmapLeft = slot->bitmap_left;
                bitmapTop = font->ascent - slot->bitmap_top;
            }
        }
        Compose(bitmap, bitmapLeft, bitmapTop, bars, barCount, g);
    }

    recent.emplace_front(key, font);
    if (recent.size() > 32)
        recent.pop_back();
    return font;
}

} // namespace kiv::platform
