#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/sound/Sound.h>
#include <kiv/sprites/Sprite.h>
#include <kiv/variables/Variable.h>

#include "base/Conversions.h"
#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "graphics/Display.h"
#include "graphics/Lines.h"
#include "platform/FontCatalog.h"
#include "variables/MapTexts.h"
#include "variables/TextDrawing.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

using kiv::platform::FontError;

bool IsZero(const KivRect& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

// The window system's rectangle intersection: empty results are the zero rectangle.
bool Intersect(const KivRect& a, const KivRect& b, KivRect* out) {
    KivRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    bool overlap = r.left < r.right && r.top < r.bottom;
    if (out)
        *out = overlap ? r : KivRect{0, 0, 0, 0};
    return overlap;
}

bool IsScrolling(Variable::DisplayTypes t) {
    return t == Variable::HorizontalScrolling || t == Variable::VerticalScrolling ||
           t == Variable::HVScrolling;
}

bool Scrambled(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char Scramble(char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>('A' + kiv::TextRandom(25));
    if (c >= 'a' && c <= 'z')
        return static_cast<char>('a' + kiv::TextRandom(25));
    if (c >= '0' && c <= '9')
        return static_cast<char>('0' + kiv::TextRandom(10));
    return c;
}

// Toward zero; NaN and numbers beyond 32 bits as the processor converts them.
int Truncate(float v) {
    return kiv::ToInt32(v);
}

// A frame's extents and moves are computed in 64 bits: a frame may span the whole 32-bit
// range, and its width must not overflow on the way.
int Clamp32(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

KivRect Placed(long long left, long long top, long long width, long long height) {
    return {Clamp32(left), Clamp32(top), Clamp32(left + width), Clamp32(top + height)};
}

long long ExtentX(const KivRect& r) {
    return static_cast<long long>(r.right) - r.left;
}

long long ExtentY(const KivRect& r) {
    return static_cast<long long>(r.bottom) - r.top;
}

// The line height of the layouts is the height of the lower-case x; HVScrolling measures its
// block with the upper-case X.
constexpr unsigned char LowerX = 'x';
constexpr unsigned char UpperX = 'X';

// Window-system font sizes are given in points at 96 pixels per inch.
constexpr int PixelsPerInch = 96;

} // namespace

namespace kiv {

// The layout rules of the display types, run to draw a text or only to measure it.
struct TextLayout {
    enum Mode {
        Wrap,      // lines break at any character
        WrapWords, // a word that does not fit the rest of the line starts the next one
        Lines      // lines end only at line feeds; what passes the frame is not drawn
    };
    struct Result {
        int consumed = 0; // characters laid out, skipped spaces and line feeds included
        int lines = 0;    // lines laid out, those before the first shown line included
        int widest = 0;   // pen position at the end of the widest shown line
        int pen = 0;      // pen position where the layout ended
    };

    static Mode ModeOf(Variable::DisplayTypes t) {
        switch (t) {
        case Variable::ConsecutiveCharacters:
            return Wrap;
        case Variable::HorizontalScrolling:
        case Variable::HVScrolling:
            return Lines;
        default:
            return WrapWords;
        }
    }

    // The text a layout works on, and how many of its characters may be drawn: while a
    // revealing effect runs, the effect's full text up to the effect position (so that a
    // word being typed is measured whole and does not jump to the next line); otherwise
    // the shown text.
    static void Source(const Variable& v, const char*& text, int& count, int& length) {
        bool revealing = !v.m_EffectDone && (v.m_Effect == Variable::CharacterByCharacterEffect ||
                                             v.m_Effect == Variable::LineByLineEffect);
        if (revealing && v.m_FullText) {
            text = v.m_FullText;
            length = static_cast<int>(v.m_FullTextBuffer.length);
        } else {
            text = v.m_Text ? v.m_Text : "";
            length = v.m_Text ? static_cast<int>(v.m_TextBuffer.length) : 0;
        }
        count = revealing ? std::clamp(v.m_EffectPosition, 0, length) : length;
    }

    static bool StartsWord(const char* text, int i) {
        return text[i] != ' ' && text[i] != '\0' && (i == 0 || text[i - 1] == ' ');
    }

    static int WordWidth(const Variable& v, const char* text, int i, int length) {
        int characters = 0, width = 0;
        for (; i < length && text[i] != ' ' && text[i] != '\n' && text[i] != '\0'; ++i) {
            ++characters;
            width += v.m_CharSize[static_cast<unsigned char>(text[i])][0];
        }
        return characters * v.m_LetterSpacing + width;
    }

    // Lays out `count` characters of `text` (`length` long): lines before `firstLine` are
    // laid out without drawing, then `lineCount` lines (all that remain when below 0). In
    // Lines mode every line starts `skip` characters in. `sink(c, x, line)` receives each
    // drawn character with the pen position where it starts (frame coordinates, left margin
    // included) and its line counted from the first shown line.
    template <class Sink>
    static Result Run(const Variable& v, const char* text, int count, int length, Mode mode,
                      int skip, int firstLine, int lineCount, Sink&& sink) {
        Result r;
        const int right = v.m_W - 1;
        const int margin = v.m_LeftMargin;
        const long long end =
            lineCount < 0 ? LLONG_MAX : static_cast<long long>(firstLine) + lineCount;
        int i = 0, line = 0;
        while (i < count && line < end) {
            const bool shown = line >= firstLine;
            int pen = margin;
            bool first = true, clipped = false, stuck = false;
            if (mode == Lines)
                for (int k = 0; k < skip && i < count && text[i] != '\n'; ++k)
                    ++i;
            if (!v.m_LeadingSpaces)
                while (i < count && text[i] == ' ')
                    ++i;
            while (i < count) {
                const auto c = static_cast<unsigned char>(text[i]);
                if (c == '\n') {
                    ++i;
                    break;
                }
                if (mode == WrapWords && pen != margin && StartsWord(text, i) &&
                    WordWidth(v, text, i, length) + pen > right)
                    break;
                const int width = v.m_CharSize[c][0];
                const int next = pen + width + (first ? 0 : v.m_LetterSpacing);
                if (next > right && !clipped) {
                    if (mode != Lines) {
                        // A character wider than the whole line can never be placed.
                        stuck = first;
                        break;
                    }
                    clipped = true;
                }
                pen = next;
                first = false;
                if (shown && !clipped)
                    sink(c, pen - width, line - firstLine);
                ++i;
            }
            r.pen = pen;
            if (shown)
                r.widest = std::max(r.widest, pen);
            if (stuck)
                break;
            ++line;
        }
        r.consumed = i;
        r.lines = line;
        return r;
    }

    static Result Measure(const Variable& v, const char* text, int count, int length, Mode mode,
                          int skip, int firstLine, int lineCount) {
        return Run(v, text, count, length, mode, skip, firstLine, lineCount,
                   [](unsigned char, int, int) {});
    }

    static int LineFeeds(const char* text, int length) {
        return static_cast<int>(std::count(text, text + length, '\n'));
    }
};

void DisplayMapTexts(Map& map, bool topMost) {
    if (!map.Visible())
        return;
    for (Variable* v : map.ShownVariables())
        if (v->TopMost() == topMost)
            v->DisplayTextMap();
}

} // namespace kiv

using kiv::TextLayout;

// ---- fonts ----

bool Variable::RebuildFont(int* error) {
    m_FontPending = false;
    kiv::platform::FontRequest request;
    request.name = static_cast<const char*>(m_FontName);
    request.weight = m_FontWeight;
    request.italic = m_Italic != 0;
    request.underline = m_Underline != 0;
    request.strikeOut = m_StrikeOut != 0;
    FontError why = FontError::None;
    const double height = static_cast<double>(m_FontHeight) * PixelsPerInch / 72;
    const long long width = static_cast<long long>(m_FontWidth) * PixelsPerInch / 72;
    m_Font.reset();
    if (!(std::fabs(height) < 1e6)) {
        why = FontError::Height;
    } else if (width > 1000000 || width < -1000000) {
        why = FontError::Width;
    } else {
        request.height = -static_cast<int>(height);
        request.width = -static_cast<int>(width);
        m_Font = kiv::platform::FontCatalog::Instance().Create(request, &why);
    }
    for (int c = 0; c < 256; ++c) {
        m_CharSize[c][0] = m_Font ? m_Font->GetGlyph(static_cast<unsigned char>(c)).advance : 0;
        m_CharSize[c][1] = m_Font ? m_Font->Height() : 0;
    }
    if (error)
        *error = static_cast<int>(why);
    return m_Font != nullptr;
}

void Variable::FontChanged(int cause, const char* function, int message, int value) {
    if (!kiv::BackBuffer()) {
        m_FontPending = true;
        return;
    }
    int why = 0;
    if (RebuildFont(&why) || !function)
        return;
    if (why == cause || why == static_cast<int>(FontError::Other))
        kiv::ReportUserError(function, message, value);
}

void Variable::FontName(const char* name) {
    m_FontName = name ? name : "Arial";
    if (!kiv::BackBuffer()) {
        m_FontPending = true;
        return;
    }
    int why = 0;
    if (!RebuildFont(&why) &&
        (why == static_cast<int>(FontError::Name) || why == static_cast<int>(FontError::Other)))
        kiv::ReportUserError("void Variable::FontName(const char *)", 40,
                             static_cast<const char*>(m_FontName));
}

void Variable::Width(unsigned int width) {
    m_FontWidth = static_cast<int>(width);
    FontChanged(static_cast<int>(FontError::Width), "void Variable::Width(unsigned int)", 41,
                m_FontWidth);
}

void Variable::Height(float height) {
    m_FontHeight = height;
    int whole = kiv::ToInt32(height);
    FontChanged(static_cast<int>(FontError::Height), "void Variable::Height(unsigned int)", 42,
                whole);
}

void Variable::Weight(unsigned int weight) {
    m_FontWeight = static_cast<int>(weight);
    FontChanged(static_cast<int>(FontError::Weight), "void Variable::Weight(unsigned int)", 43,
                m_FontWeight);
}

void Variable::Italic(bool on) {
    m_Italic = on;
    FontChanged(-1, "void Variable::Italic(bool)", 44, 0);
}

void Variable::StrikeOut(bool on) {
    m_StrikeOut = on;
    FontChanged(-1, "void Variable::StrikeOut(bool)", 45, 0);
}

void Variable::Underline(bool on) {
    m_Underline = on;
    FontChanged(-1, "void Variable::Underline(bool)", 46, 0);
}

void Variable::Color(unsigned long colour) {
    // The colour is applied when the text is drawn; the font does not depend on it.
    m_Color = static_cast<COLORREF>(colour);
}

void Variable::DisplayType(DisplayTypes type) {
    if (static_cast<unsigned int>(type) > HVScrolling) {
        kiv::ReportUserError("void Variable::DisplayType(DisplayTypes)", 47);
        return;
    }
    m_DisplayType = type;
    if (type == RespectingWords || type == ConsecutiveCharacters)
        m_ArrowsSize = 0;
    else
        FontChanged(0, nullptr, 0, 0);
}

// ---- frame and map ----

void Variable::BelongToMap(const char* mapName) {
    constexpr const char* function = "void Variable::BelongToMap(char *)";
    if (!mapName) {
        kiv::ReportUserError(function, 49);
        return;
    }
    Map* map = nullptr;
    if (gNode)
        for (node* n = gNode->Maps().Head(); !n->EOList() && !map; n = n->Next())
            if (std::strcmp(static_cast<Map*>(n)->Name(), mapName) == 0)
                map = static_cast<Map*>(n);
    m_Map = map;
    if (!map) {
        kiv::ReportUserError(function, 20, mapName);
        return;
    }
    m_MapRect = {0, 0, static_cast<int>(map->Width()) - 1, static_cast<int>(map->Height()) - 1};
    if (IsZero(m_Frame))
        Frame(m_MapRect); // with a map and no frame yet: the map inset by 10
    else if (!Intersect(m_Frame, m_MapRect, nullptr))
        kiv::ReportUserError(function, 48, static_cast<const char*>(m_Name), mapName);
}

void Variable::Frame(KivRect r) {
    if (!m_Map)
        m_Frame = r;
    else if (IsZero(m_Frame))
        m_Frame = {m_MapRect.left + 10, m_MapRect.top + 10, m_MapRect.right - 10,
                   m_MapRect.bottom - 10};
    else
        Intersect(r, m_MapRect, &m_Frame);
    m_W = Clamp32(ExtentX(m_Frame) - 1);
    m_H = Clamp32(ExtentY(m_Frame) - 1);
}

void Variable::Move(float dx, float dy) {
    long long x = Truncate(dx), y = Truncate(dy);
    m_Frame = {Clamp32(m_Frame.left + x), Clamp32(m_Frame.top + y), Clamp32(m_Frame.right + x),
               Clamp32(m_Frame.bottom + y)};
}

void Variable::Follow(Sprite* sprite, int hotSpot) {
    if (!sprite) {
        kiv::ReportUserError("void Variable::Follow(Sprite *)", 38);
        return;
    }
    // The frame keeps the width and height kept by Frame(), one less than its own.
    int left = Truncate(sprite->MapPositionX() + sprite->HotSpotX(hotSpot));
    int top = Truncate(sprite->MapPositionY() + sprite->HotSpotY(hotSpot));
    m_Frame = Placed(left, top, m_W, m_H);
}

void Variable::Follow(const char* spriteName, int hotSpot) {
    const char* function = "void Variable::Follow(const char *)";
    if (!spriteName) {
        kiv::ReportUserError(function, 39);
        return;
    }
    if (Sprite* sprite = Sprite::Search(spriteName))
        Follow(sprite, hotSpot);
    else
        kiv::ReportUserErrorText(function, "The sprite name does not exist.");
}

void Variable::CenterViewport() {
    if (m_Map)
        return;
    long long w = ExtentX(m_Frame), h = ExtentY(m_Frame);
    m_Frame = Placed(kiv::ModeWidth / 2 - w / 2, kiv::ModeHeight / 2 - h / 2, w, h);
}

void Variable::UpdateTextMaps() {
    Map::ClearVariableMapList();
    if (!gNode)
        return;
    for (node* n = gNode->Variables().Head(); !n->EOList(); n = n->Next()) {
        auto* v = static_cast<Variable*>(n);
        if (v->m_Map)
            v->m_Map->ShownVariables().push_back(v);
    }
}

void Variable::ScreenOffset(float& ox, float& oy, bool forDrawing) {
    ox = oy = 0;
    if (m_InWorld) {
        if (m_Map) {
            ox = m_Map->WorldPositionX();
            oy = m_Map->WorldPositionY();
        }
        if (gNode) {
            ox -= gNode->GetViewPort().WorldXPos();
            oy -= gNode->GetViewPort().WorldYPos();
        }
    } else if (m_Map) {
        ox = static_cast<float>(static_cast<int>(m_Map->ViewPortX()));
        oy = static_cast<float>(static_cast<int>(m_Map->ViewPortY()));
        if (forDrawing) {
            // A map that carries screen-placed texts moves one to one with the viewport.
            m_Map->ScrollRatioX(1);
            m_Map->ScrollRatioY(1);
        }
    }
}

void Variable::ShowFrame(unsigned long colour) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || back->IsLost())
        return;
    float ox, oy;
    ScreenOffset(ox, oy, false);
    KivRect screen{Truncate(m_Frame.left + ox), Truncate(m_Frame.top + oy),
                   Truncate(m_Frame.right + ox), Truncate(m_Frame.bottom + oy)};
    kiv::DrawOutline(*back, screen, back->MatchColor(static_cast<COLORREF>(colour)));
}

// ---- effects ----

void Variable::Delay(unsigned int charDelay, unsigned int lineDelay) {
    m_CharDelay = m_CharCountdown = static_cast<int>(charDelay);
    m_LineDelay = m_LineCountdown = static_cast<int>(lineDelay);
}

void Variable::Effect(EffectType effect) {
    if (static_cast<unsigned int>(effect) > SequentialDecoding) {
        kiv::ReportUserError("void Variable::Effect(EffectType)", 50);
        return;
    }
    if (effect == NoEffect)
        return;
    m_EffectDone = false;
    m_Effect = effect;
    m_EffectPosition = 0;
    if (!m_Text && !m_FullText)
        return;
    if (m_FullText) { // an effect was half done: its full text is the text again
        SetText(m_FullText, m_FullTextBuffer.length);
        m_FullText = nullptr;
    }
    InitEffects();
}

void Variable::LetterSound(const char* soundName) {
    Sound* sound = soundName ? Sound::Search(soundName) : nullptr;
    if (!sound) {
        kiv::ReportUserError("void Variable::LetterSound(const char *)", 24,
                             soundName ? soundName : "");
        return;
    }
    m_LetterSound = sound;
}

void Variable::Play() {
    if (m_LetterSound)
        m_LetterSound->Play();
}

int Variable::ComputeVisibleLines() const {
    long long available = ExtentY(m_Frame) - m_TopMargin;
    if (IsScrolling(m_DisplayType))
        available -= m_ArrowsSize;
    long long step = static_cast<long long>(m_CharSize[LowerX][1]) + m_LineSpacing;
    if (step == 0)
        return 0;
    return Clamp32(std::max(available / step, 0LL));
}

void Variable::InitEffects() {
    if (m_FontPending && kiv::BackBuffer())
        RebuildFont();
    m_VisibleLines = ComputeVisibleLines();
    m_EffectPosition = 0;
    if (m_DisplayType == NoDisplay)
        return;
    bool lineSteps =
        m_Effect == ASCIIEffect || m_Effect == RandomDecoding || m_Effect == SequentialDecoding;
    if (m_CharDelay <= 0 || (lineSteps && m_LineDelay <= 0) || !m_Text) {
        m_FullText = nullptr; // the effect cannot run: it never advances
        return;
    }
    m_FullText = Store(m_FullTextBuffer, m_Text, m_TextBuffer.length);
    ClearText();
    m_CharCountdown = m_CharDelay;
    m_LineCountdown = m_LineDelay;
    m_EffectLine = 0;
    m_EffectCount = 0;
    m_IndexArray.clear();
    m_IndexArrayReady = false;
    if (m_Effect != LineByLineEffect) {
        // How much of the text the frame holds.
        bool vertical = m_DisplayType == VerticalScrolling || m_DisplayType == HVScrolling;
        int length = static_cast<int>(m_FullTextBuffer.length);
        m_EffectCount = TextLayout::Measure(*this, m_FullText, length, length,
                                            TextLayout::ModeOf(m_DisplayType), m_HScrollPosition,
                                            vertical ? m_VScrollPosition : 0, m_VisibleLines)
                            .consumed;
    }
    if (m_Effect == RandomDecoding || m_Effect == SequentialDecoding) {
        m_IndexArray.reserve(static_cast<size_t>(m_EffectCount));
        for (int i = 0; i < m_EffectCount; ++i)
            m_IndexArray.push_back(i);
        m_IndexArrayReady = true;
    }
}

void Variable::ScrambleInto(int count, bool onlyIndexed) {
    if (count <= 0) {
        ClearText();
        return;
    }
    SetText(m_FullText, static_cast<unsigned int>(count));
    if (onlyIndexed) {
        for (int i : m_IndexArray)
            if (i < count)
                m_Text[i] = Scramble(m_Text[i]);
    } else {
        for (int i = 0; i < count; ++i)
            m_Text[i] = Scramble(m_Text[i]);
    }
    // One play per step: the sound started again for each letter of the same frame would be
    // heard once anyway.
    if (std::any_of(m_Text, m_Text + count, [](char c) { return c != '\n'; }))
        Play();
}

void Variable::EndEffect() {
    if (m_FullText && m_FullTextBuffer.length > 0)
        SetText(m_FullText, m_FullTextBuffer.length);
    else if (m_FullText)
        ClearText();
    m_FullText = nullptr;
    m_EffectDone = true;
    m_IndexArray.clear();
    m_IndexArrayReady = false;
}

void Variable::AdvanceEffect() {
    if (m_EffectDone || !m_FullText)
        return;
    if (--m_CharCountdown > 0)
        return;
    m_CharCountdown = m_CharDelay;
    const int length = static_cast<int>(m_FullTextBuffer.length);
    switch (m_Effect) {
    case CharacterByCharacterEffect: {
        if (m_EffectPosition < length) {
            char c = m_FullText[m_EffectPosition++];
            if (c != '\n' && c != ' ')
                Play();
        }
        SetText(m_FullText, static_cast<unsigned int>(m_EffectPosition));
        if (m_EffectPosition >= m_EffectCount)
            EndEffect();
        break;
    }
    case LineByLineEffect: {
        ++m_EffectLine;
        bool vertical = m_DisplayType == VerticalScrolling || m_DisplayType == HVScrolling;
        m_EffectPosition = TextLayout::Measure(*this, m_FullText, length, length,
                                               TextLayout::ModeOf(m_DisplayType), m_HScrollPosition,
                                               vertical ? m_VScrollPosition : 0, m_EffectLine)
                               .consumed;
        SetText(m_FullText, static_cast<unsigned int>(m_EffectPosition));
        Play();
        if (m_EffectLine >= m_VisibleLines || m_EffectPosition >= length)
            EndEffect();
        break;
    }
    case ASCIIEffect:
        ScrambleInto(m_EffectCount, false);
        if (--m_LineCountdown <= 0) {
            EndEffect();
            Play();
        }
        break;
    case RandomDecoding:
    case SequentialDecoding:
        if (--m_LineCountdown <= 0) {
            m_LineCountdown = m_LineDelay;
            // One position of a letter or digit is decoded; positions of other characters
            // met on the way leave the array without counting.
            while (!m_IndexArray.empty()) {
                size_t k = m_Effect == SequentialDecoding
                               ? 0
                               : static_cast<size_t>(
                                     kiv::TextRandom(static_cast<int>(m_IndexArray.size())));
                int position = m_IndexArray[k];
                m_IndexArray.erase(m_IndexArray.begin() + static_cast<std::ptrdiff_t>(k));
                if (Scrambled(m_FullText[position]))
                    break;
            }
        }
        if (m_IndexArray.empty())
            EndEffect();
        else
            ScrambleInto(m_EffectCount, true);
        break;
    default:
        EndEffect();
        break;
    }
}

// ---- drawing ----

void Variable::ApplyScrollKeys() {
    if (m_Pause || !pKeyboard)
        return;
    // A scroll key, or mouse button 0 on the matching arrow while the cursor shows. The
    // arrows were recorded where they were drawn and are tested against the mouse's world
    // position, as the original runtime does.
    const bool mouse = pMouse && myGame && myGame->ShowCursor();
    auto acts = [mouse](int key, bool triggered, const tagRECT& arrow) {
        if (mouse && arrow.left <= pMouse->WorldX() && pMouse->WorldX() < arrow.right &&
            arrow.top <= pMouse->WorldY() && pMouse->WorldY() < arrow.bottom &&
            (triggered ? pMouse->IsTriggered(0) : pMouse->IsPressed(0)))
            return true;
        if (key < 0 || key > 255)
            return false;
        auto k = static_cast<unsigned char>(key);
        return triggered ? pKeyboard->IsTriggered(k) : pKeyboard->IsPressed(k);
    };
    if (m_DisplayType == HorizontalScrolling || m_DisplayType == HVScrolling) {
        if (acts(m_HScrollRightKey, m_HScrollTriggered, m_RightArrow))
            m_HScrollPosition = std::max(
                m_HScrollPosition, std::min(m_HScrollPosition + m_HDeltaScroll, m_HScrollLimit));
        if (acts(m_HScrollLeftKey, m_HScrollTriggered, m_LeftArrow))
            m_HScrollPosition = std::max(m_HScrollPosition - m_HDeltaScroll, 0);
    }
    if (m_DisplayType == VerticalScrolling || m_DisplayType == HVScrolling) {
        if (acts(m_VScrollDownKey, m_VScrollTriggered, m_DownArrow))
            m_VScrollPosition = std::max(
                m_VScrollPosition, std::min(m_VScrollPosition + m_VDeltaScroll, m_VScrollLimit));
        if (acts(m_VScrollUpKey, m_VScrollTriggered, m_UpArrow))
            m_VScrollPosition = std::max(m_VScrollPosition - m_VDeltaScroll, 0);
    }
}

void Variable::DrawArrows(const KivRect& screen) {
    kiv::Surface* back = kiv::BackBuffer();
    const std::uint32_t pixel = back->MatchColor(m_ArrowsColor);
    const int s = m_ArrowsSize;
    // The arrows sit in the strip that the scrolling layouts leave free at the bottom of
    // the frame: left and right at the sides, up and down side by side in the middle.
    const int bottom = screen.bottom - m_ArrowsVOffset, top = bottom - s;
    const int centre = (screen.left + screen.right) / 2;
    auto triangle = [&](int x0, int y0, int x1, int y1, int x2, int y2) {
        kiv::DrawLine(*back, x0, y0, x1, y1, pixel);
        kiv::DrawLine(*back, x1, y1, x2, y2, pixel);
        kiv::DrawLine(*back, x2, y2, x0, y0, pixel);
    };
    m_RightArrow = m_LeftArrow = m_UpArrow = m_DownArrow = {0, 0, 0, 0};
    const int middle = top + s / 2;
    if (m_DisplayType == HorizontalScrolling || m_DisplayType == HVScrolling) {
        if (m_HScrollPosition > 0) {
            m_LeftArrow = {screen.left + m_ArrowsHOffset, top, screen.left + m_ArrowsHOffset + s,
                           bottom};
            triangle(m_LeftArrow.left, middle, m_LeftArrow.right, top, m_LeftArrow.right, bottom);
        }
        if (m_LongestLineSize > m_W - 1) {
            m_HScrollLimit = m_HScrollPosition + m_HDeltaScroll;
            m_RightArrow = {screen.right - m_ArrowsHOffset - s, top, screen.right - m_ArrowsHOffset,
                            bottom};
            triangle(m_RightArrow.right, middle, m_RightArrow.left, top, m_RightArrow.left, bottom);
        } else {
            m_HScrollLimit = m_HScrollPosition;
        }
    }
    if (m_DisplayType == VerticalScrolling || m_DisplayType == HVScrolling) {
        const int available = m_Frame.bottom - m_Frame.top - m_TopMargin - m_ArrowsSize;
        if (m_VScrollPosition > 0) {
            m_UpArrow = {centre - 1 - s, top, centre - 1, bottom};
            triangle((m_UpArrow.left + m_UpArrow.right) / 2, top, m_UpArrow.left, bottom,
                     m_UpArrow.right, bottom);
        }
        if (m_LargestBlock > available) {
            m_VScrollLimit = m_VScrollPosition + m_VDeltaScroll;
            m_DownArrow = {centre + 1, top, centre + 1 + s, bottom};
            triangle((m_DownArrow.left + m_DownArrow.right) / 2, bottom, m_DownArrow.left, top,
                     m_DownArrow.right, top);
        } else {
            m_VScrollLimit = m_VScrollPosition;
        }
    }
}

void Variable::ScrollToEnd() {
    if (m_FontPending && kiv::BackBuffer())
        RebuildFont();
    m_VisibleLines = ComputeVisibleLines();
    const char* text;
    int count, length;
    TextLayout::Source(*this, text, count, length);
    int lines = 0;
    if (m_DisplayType == HorizontalScrolling || m_DisplayType == HVScrolling)
        lines = TextLayout::LineFeeds(text, length) + 1;
    else
        lines = TextLayout::Measure(*this, text, count, length, TextLayout::ModeOf(m_DisplayType),
                                    0, 0, -1)
                    .lines;
    m_VScrollPosition = std::max(lines - m_VisibleLines, 0);
}

void Variable::DisplayTextMap() {
    if (m_Map && !m_Unused && m_Visible && m_DisplayType != NoDisplay)
        DisplayText();
}

void Variable::DisplayTextNoMap() {
    if (!m_Map && !m_Unused && m_Visible && m_DisplayType != NoDisplay)
        DisplayText();
}

void Variable::DisplayText() {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || back->IsLost())
        return;
    if (m_FontPending)
        RebuildFont();

    float ox, oy;
    ScreenOffset(ox, oy, true);
    const KivRect screen{Truncate(m_Frame.left + ox), Truncate(m_Frame.top + oy),
                         Truncate(m_Frame.right + ox), Truncate(m_Frame.bottom + oy)};
    if (!m_ActivateOutOfViewport && gNode) {
        FRECT view = gNode->GetViewPort().Rect();
        if (!(screen.left < view.right && screen.right > view.left && screen.top < view.bottom &&
              screen.bottom > view.top))
            return;
    }

    m_VisibleLines = ComputeVisibleLines();
    const bool scrolling = IsScrolling(m_DisplayType);
    if (!scrolling) {
        if (!m_EffectDone && !m_Pause)
            AdvanceEffect();
    } else if (m_EffectDone || m_Pause) {
        ApplyScrollKeys();
    } else {
        AdvanceEffect();
    }

    if (m_Font) {
        const char* text;
        int count, length;
        TextLayout::Source(*this, text, count, length);
        const kiv::platform::Font& font = *m_Font;
        const std::uint32_t pixel = back->MatchColor(m_Color);
        const int step = m_CharSize[LowerX][1] + m_LineSpacing;
        const float x0 = static_cast<float>(m_Frame.left) + ox;
        const float y0 = static_cast<float>(m_Frame.top + m_TopMargin) + oy;
        const int visible = m_VisibleLines;
        if (visible == 0 && count > 0 && !m_TooSmallReported) {
            m_TooSmallReported = true;
            kiv::Diagnostic("The text %s shows nothing: its frame is %d pixels high (less a "
                            "margin of %d) and a line of its font needs %d.",
                            m_Name.operator const char*(), m_Frame.bottom - m_Frame.top,
                            m_TopMargin + (IsScrolling(m_DisplayType) ? m_ArrowsSize : 0), step);
        }
        auto draw = [&](unsigned char c, int x, int line) {
            if (line >= visible)
                return;
            int px = static_cast<int>(std::lround(static_cast<float>(x) + x0));
            int py = static_cast<int>(std::lround(static_cast<float>(line * step) + y0));
            kiv::DrawGlyph(*back, font.GetGlyph(c), px, py, pixel);
        };
        const TextLayout::Mode mode = TextLayout::ModeOf(m_DisplayType);
        TextLayout::Result r;
        switch (m_DisplayType) {
        case HorizontalScrolling:
            r = TextLayout::Run(*this, text, count, length, mode, m_HScrollPosition, 0, visible,
                                draw);
            break;
        case VerticalScrolling:
            r = TextLayout::Run(*this, text, count, length, mode, 0, m_VScrollPosition, -1, draw);
            break;
        case HVScrolling:
            r = TextLayout::Run(*this, text, count, length, mode, m_HScrollPosition,
                                m_VScrollPosition, visible, draw);
            break;
        default:
            r = TextLayout::Run(*this, text, count, length, mode, 0, 0, visible, draw);
            break;
        }
        m_PenX = r.pen;
        if (m_DisplayType == HorizontalScrolling || m_DisplayType == HVScrolling) {
            m_NumberOfLines = TextLayout::LineFeeds(text, length) + 1;
            m_LongestLineSize = r.widest;
        }
        if (m_DisplayType == VerticalScrolling) {
            m_NumberOfLines = r.lines;
            m_LargestBlock = (m_NumberOfLines - m_VScrollPosition) * step;
        } else if (m_DisplayType == HVScrolling) {
            m_LargestBlock =
                (m_NumberOfLines - m_VScrollPosition + 1) * (m_CharSize[UpperX][1] + m_LineSpacing);
        }
    }

    if (m_ShowFrame)
        kiv::DrawOutline(*back, screen, back->MatchColor(m_FrameColor));
    if (m_EffectDone && scrolling)
        DrawArrows(screen);
}
