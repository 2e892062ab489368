#include <kiv/variables/Variable.h>

#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>
#include <kiv/game/GameNode.h>
#include <kiv/graphics/Map.h>
#include <kiv/sound/Sound.h>

#include "base/Conversions.h"
#include "base/LocalVariables.h"
#include "base/Messages.h"
#include "graphics/Display.h"
#include "platform/Platform.h"
#include "variables/TextDrawing.h"
#include "variables/ValueKinds.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

using kiv::NumberKind;
using kiv::PointerKind;
using kiv::TextKind;

namespace {

CREATE registration("Variable", Variable::CreateObject);

// A number truncated toward zero; NaN and numbers beyond 64 bits give the lowest value, as
// the processor's own conversion does.
long long Truncated(double d) {
    if (!(d > -9223372036854775808.0 && d < 9223372036854775808.0))
        return LLONG_MIN;
    return static_cast<long long>(d);
}

// Remainder with the sign of the dividend. The lowest value by -1 overflows the division
// instruction; its remainder is 0 in exact arithmetic, and that is what it gives here.
int Remainder(int a, int b) {
    if (b == -1)
        return 0;
    return a % b;
}

const char* OrEmpty(const char* s) {
    return s ? s : "";
}

} // namespace

Variable VariablePTR::dummyVariablePtr;

Variable* VariablePTR::Fallback() {
    return &dummyVariablePtr;
}

// ---- construction and copies ----

void Variable::Reset() {
    m_Type = PointerKind;
    m_Value.pointer = nullptr;
    m_OnlyIntegerPart = true;
    std::memset(m_NumberText, 0, sizeof m_NumberText);
    m_Text = nullptr;
    m_TextLength = 0;
    m_Id = 0;
    m_Pause = false;
    m_TopMost = false;
    m_Unused = false;
    m_LocalVariableIndex = -1;
    m_Map = nullptr;
    m_MapRect = {0, 0, 0, 0};
    m_InWorld = false;
    m_Visible = true;
    m_FontName = "Arial";
    m_FontWidth = 6;
    m_FontHeight = 16.0f;
    m_FontWeight = 100;
    m_Italic = m_StrikeOut = m_Underline = 0;
    m_Color = 188 | 167 << 8 | 112 << 16;
    m_FrameColor = m_ArrowsColor = 0xFF00FF;
    m_ShowFrame = false;
    m_Frame = {0, 0, 0, 0};
    m_W = m_H = 0;
    m_LineSpacing = m_LetterSpacing = m_LeftMargin = m_TopMargin = 0;
    m_LeadingSpaces = false;
    m_ArrowsSize = 16;
    m_ArrowsHOffset = m_ArrowsVOffset = 1;
    m_HScrollPosition = m_VScrollPosition = 0;
    m_HDeltaScroll = m_VDeltaScroll = 0;
    m_HScrollLimit = m_VScrollLimit = 1;
    m_HScrollRightKey = 77;
    m_HScrollLeftKey = 75;
    m_VScrollUpKey = 76;
    m_VScrollDownKey = 80;
    m_HScrollTriggered = m_VScrollTriggered = false;
    m_ActivateOutOfViewport = true;
    m_DisplayType = NoDisplay;
    m_Effect = NoEffect;
    m_CharDelay = m_CharCountdown = m_LineDelay = m_LineCountdown = 0;
    m_FullText = nullptr;
    m_EffectPosition = m_EffectCount = m_EffectLine = 0;
    m_IndexArrayReady = false;
    m_EffectDone = true;
    m_VisibleLines = 0;
    m_LongestLineSize = m_LargestBlock = m_NumberOfLines = 0;
    m_PenX = 0;
    m_LetterSound = nullptr;
    m_FontPending = true;
    m_TooSmallReported = false;
    std::memset(m_CharSize, 0, sizeof m_CharSize);
    m_RightArrow = m_LeftArrow = m_UpArrow = m_DownArrow = {0, 0, 0, 0};
    kiv::TextSeedPending = true;
}

Variable::Variable() {
    Reset();
}

Variable::Variable(double number) : Variable() {
    *this = number;
}

Variable::Variable(const int number) : Variable() {
    *this = number;
}

Variable::Variable(unsigned int number) : Variable() {
    *this = number;
}

Variable::Variable(const char* text) : Variable() {
    *this = text;
}

Variable::Variable(void* pointer) : Variable() {
    m_Value.pointer = pointer;
}

Variable::Variable(const Variable& other) : Variable() {
    ObjectCopy(other);
}

Variable::Variable(Variable* other) : Variable() {
    ObjectCopy(other);
}

Variable::Variable(const Variable* other) : Variable() {
    ObjectCopy(other);
}

Variable::~Variable() {
    delete[] m_StringBuffer.data;
    delete[] m_TextBuffer.data;
    delete[] m_FullTextBuffer.data;
    delete localVariable;
}

node* Variable::Clone() {
    return new Variable(*this);
}

node* Variable::CreateObject() {
    return new Variable;
}

const char* Variable::ClassName() {
    return "Variable";
}

char* Variable::Store(Buffer& b, const char* text, unsigned int n) {
    if (n + 1 > b.capacity) {
        unsigned int capacity = n + 1 < 16 ? 16 : n + 1;
        char* grown = new char[capacity];
        std::memcpy(grown, text, n); // before the old buffer goes: text may lie in it
        delete[] b.data;
        b.data = grown;
        b.capacity = capacity;
    } else {
        std::memmove(b.data, text, n);
    }
    b.data[n] = '\0';
    b.length = n;
    return b.data;
}

void Variable::SetString(const char* text, unsigned int n) {
    m_Value.string = Store(m_StringBuffer, text, n);
}

void Variable::SetText(const char* text, unsigned int n) {
    m_Text = Store(m_TextBuffer, text, n);
}

void Variable::ClearText() {
    m_Text = nullptr;
    m_TextBuffer.length = 0;
}

void Variable::CopyValue(const Variable& other) {
    if (other.m_Type == TextKind) {
        if (other.m_Value.string)
            SetString(other.m_Value.string, other.m_StringBuffer.length);
        else
            m_Value.string = nullptr;
    } else {
        m_Value = other.m_Value;
    }
    m_Type = other.m_Type;
    if (other.m_Text)
        SetText(other.m_Text, other.m_TextBuffer.length);
    else
        ClearText();
    m_TextLength = other.m_TextLength;
}

void Variable::ObjectCopy(const Variable* other) {
    if (other)
        ObjectCopy(*other);
}

void Variable::ObjectCopy(const Variable& o) {
    if (&o == this)
        return;
    CopyValue(o);
    m_OnlyIntegerPart = o.m_OnlyIntegerPart;
    std::memcpy(m_NumberText, o.m_NumberText, sizeof m_NumberText);
    m_Name = o.m_Name;
    m_Id = o.m_Id;
    m_Pause = o.m_Pause;
    m_TopMost = o.m_TopMost;
    m_Unused = o.m_Unused;
    m_LocalVariableIndex = o.m_LocalVariableIndex;
    m_Behavior = o.m_Behavior;
    delete localVariable;
    localVariable = o.localVariable ? o.localVariable->Clone() : nullptr;

    m_Map = o.m_Map;
    m_MapRect = o.m_MapRect;
    m_InWorld = o.m_InWorld;
    m_Visible = o.m_Visible;
    m_FontName = o.m_FontName;
    m_FontWidth = o.m_FontWidth;
    m_FontHeight = o.m_FontHeight;
    m_FontWeight = o.m_FontWeight;
    m_Italic = o.m_Italic;
    m_StrikeOut = o.m_StrikeOut;
    m_Underline = o.m_Underline;
    m_Color = o.m_Color;
    m_FrameColor = o.m_FrameColor;
    m_ArrowsColor = o.m_ArrowsColor;
    m_ShowFrame = o.m_ShowFrame;
    m_Frame = o.m_Frame;
    m_W = o.m_W;
    m_H = o.m_H;
    m_LineSpacing = o.m_LineSpacing;
    m_LetterSpacing = o.m_LetterSpacing;
    m_LeftMargin = o.m_LeftMargin;
    m_TopMargin = o.m_TopMargin;
    m_LeadingSpaces = o.m_LeadingSpaces;
    m_ArrowsSize = o.m_ArrowsSize;
    m_ArrowsHOffset = o.m_ArrowsHOffset;
    m_ArrowsVOffset = o.m_ArrowsVOffset;
    m_HScrollPosition = o.m_HScrollPosition;
    m_VScrollPosition = o.m_VScrollPosition;
    m_HDeltaScroll = o.m_HDeltaScroll;
    m_VDeltaScroll = o.m_VDeltaScroll;
    m_HScrollLimit = o.m_HScrollLimit;
    m_VScrollLimit = o.m_VScrollLimit;
    m_HScrollRightKey = o.m_HScrollRightKey;
    m_HScrollLeftKey = o.m_HScrollLeftKey;
    m_VScrollUpKey = o.m_VScrollUpKey;
    m_VScrollDownKey = o.m_VScrollDownKey;
    m_HScrollTriggered = o.m_HScrollTriggered;
    m_VScrollTriggered = o.m_VScrollTriggered;
    m_ActivateOutOfViewport = o.m_ActivateOutOfViewport;
    m_DisplayType = o.m_DisplayType;
    m_Effect = o.m_Effect;
    m_CharDelay = o.m_CharDelay;
    m_CharCountdown = o.m_CharCountdown;
    m_LineDelay = o.m_LineDelay;
    m_LineCountdown = o.m_LineCountdown;
    m_FullText =
        o.m_FullText ? Store(m_FullTextBuffer, o.m_FullText, o.m_FullTextBuffer.length) : nullptr;
    m_EffectPosition = o.m_EffectPosition;
    m_EffectCount = o.m_EffectCount;
    m_EffectLine = o.m_EffectLine;
    m_IndexArray = o.m_IndexArray;
    m_IndexArrayReady = o.m_IndexArrayReady;
    m_EffectDone = o.m_EffectDone;
    m_VisibleLines = o.m_VisibleLines;
    m_LongestLineSize = o.m_LongestLineSize;
    m_LargestBlock = o.m_LargestBlock;
    m_NumberOfLines = o.m_NumberOfLines;
    m_PenX = o.m_PenX;
    m_LetterSound = o.m_LetterSound;
    m_LetterSoundName = o.m_LetterSoundName;
    m_Font = o.m_Font;
    m_FontPending = o.m_FontPending;
    std::memcpy(m_CharSize, o.m_CharSize, sizeof m_CharSize);
    m_RightArrow = o.m_RightArrow;
    m_LeftArrow = o.m_LeftArrow;
    m_UpArrow = o.m_UpArrow;
    m_DownArrow = o.m_DownArrow;
}

Variable& Variable::operator=(const Variable& other) {
    if (&other != this)
        CopyValue(other);
    return *this;
}

Variable* Variable::CreateVariable() {
    if (!gNode)
        return nullptr;
    auto* copy = new Variable(*this);
    if (m_Map)
        m_Map->ShownVariables().push_back(copy);
    if (!gNode->Add(copy)) {
        if (m_Map)
            m_Map->ShownVariables().pop_back();
        delete copy;
        return nullptr;
    }
    return copy;
}

Variable* Variable::CreateText() {
    return CreateVariable();
}

// ---- value ----

Variable& Variable::operator=(double number) {
    m_Type = NumberKind;
    m_Value.number = number;
    RefreshText();
    return *this;
}

Variable& Variable::operator=(float number) {
    return *this = static_cast<double>(number);
}

Variable& Variable::operator=(const int number) {
    return *this = static_cast<double>(number);
}

Variable& Variable::operator=(unsigned int number) {
    return *this = static_cast<double>(number);
}

Variable& Variable::operator=(const char* text) {
    if (text)
        SetString(text, static_cast<unsigned int>(std::strlen(text)));
    else
        m_Value.string = nullptr;
    m_Type = TextKind;
    RefreshText();
    return *this;
}

Variable& Variable::operator=(void* pointer) {
    m_Type = PointerKind;
    m_Value.pointer = pointer;
    // A pointer has no text form to show.
    ClearText();
    m_TextLength = 0;
    return *this;
}

const char* Variable::AsciiValue() {
    switch (m_Type) {
    case NumberKind:
        std::snprintf(m_NumberText, sizeof m_NumberText, m_OnlyIntegerPart ? "%.0f" : "%f",
                      m_Value.number);
        return m_NumberText;
    case PointerKind:
        std::snprintf(m_NumberText, sizeof m_NumberText, "%p", m_Value.pointer);
        return m_NumberText;
    case TextKind:
        return OrEmpty(m_Value.string);
    default:
        return "";
    }
}

void Variable::RefreshText() {
    const char* form = AsciiValue();
    m_TextLength = static_cast<unsigned int>(std::strlen(form));
    if (m_TextLength > 0)
        SetText(form, m_TextLength);
    else
        ClearText();
    if (m_DisplayType == NoDisplay)
        return;
    m_HScrollPosition = m_VScrollPosition = 0;
    if (!m_EffectDone && m_Effect != NoEffect)
        InitEffects();
}

void Variable::OnlyIntegerPart(bool on) {
    bool changed = on != m_OnlyIntegerPart;
    m_OnlyIntegerPart = on;
    if (changed && m_Type == NumberKind)
        RefreshText();
}

void Variable::Name(const char* name) {
    m_Name = name;
}

// ---- conversions ----

Variable::operator double() const {
    return m_Type == NumberKind ? m_Value.number : 0.0;
}
Variable::operator float() const {
    return m_Type == NumberKind ? static_cast<float>(m_Value.number) : 0.0f;
}
Variable::operator long() const {
    return m_Type == NumberKind ? static_cast<long>(Truncated(m_Value.number)) : 0;
}
Variable::operator int() const {
    return m_Type == NumberKind ? static_cast<int>(Truncated(m_Value.number)) : 0;
}
Variable::operator unsigned int() const {
    return m_Type == NumberKind ? static_cast<unsigned int>(Truncated(m_Value.number)) : 0;
}
Variable::operator char() const {
    return m_Type == NumberKind ? static_cast<char>(Truncated(m_Value.number)) : 0;
}
Variable::operator unsigned char() const {
    return m_Type == NumberKind ? static_cast<unsigned char>(Truncated(m_Value.number)) : 0;
}
Variable::operator bool() const {
    return m_Type == NumberKind && m_Value.number != 0;
}
Variable::operator const char*() const {
    return m_Type == TextKind ? m_Value.string : nullptr;
}
Variable::operator void*() const {
    return m_Type == PointerKind ? m_Value.pointer : nullptr;
}
Variable::operator Sprite*() const {
    return static_cast<Sprite*>(static_cast<void*>(*this));
}
Variable::operator Map*() const {
    return static_cast<Map*>(static_cast<void*>(*this));
}
Variable::operator Alarm*() const {
    return static_cast<Alarm*>(static_cast<void*>(*this));
}
Variable::operator Variable*() const {
    return static_cast<Variable*>(static_cast<void*>(*this));
}

// ---- comparisons ----
// Each kind defines == and <; the other four follow from them, so they inherit their
// answers for values of another kind.

bool Variable::operator==(const Variable& o) const {
    if (m_Type != o.m_Type)
        return false;
    switch (m_Type) {
    case NumberKind:
        return m_Value.number == o.m_Value.number;
    case PointerKind:
        return m_Value.pointer == o.m_Value.pointer;
    case TextKind:
        return std::strcmp(OrEmpty(m_Value.string), OrEmpty(o.m_Value.string)) == 0;
    default:
        return false;
    }
}

bool Variable::operator<(const Variable& o) const {
    if (m_Type != o.m_Type)
        return false;
    if (m_Type == NumberKind)
        return m_Value.number < o.m_Value.number;
    if (m_Type == TextKind)
        return std::strcmp(OrEmpty(m_Value.string), OrEmpty(o.m_Value.string)) < 0;
    return false;
}

#define KIV_INTEGER_COMPARISON(T)                                                                  \
    bool Variable::operator==(T v) const {                                                         \
        return m_Type == NumberKind && static_cast<T>(Truncated(m_Value.number)) == v;             \
    }                                                                                              \
    bool Variable::operator<(T v) const {                                                          \
        return m_Type == NumberKind && static_cast<T>(Truncated(m_Value.number)) < v;              \
    }
KIV_INTEGER_COMPARISON(char)
KIV_INTEGER_COMPARISON(unsigned char)
KIV_INTEGER_COMPARISON(int)
KIV_INTEGER_COMPARISON(unsigned int)
#undef KIV_INTEGER_COMPARISON

bool Variable::operator==(float v) const {
    return m_Type == NumberKind && m_Value.number == static_cast<double>(v);
}
bool Variable::operator<(float v) const {
    return m_Type == NumberKind && m_Value.number < static_cast<double>(v);
}
bool Variable::operator==(const char* v) const {
    return m_Type == TextKind && std::strcmp(OrEmpty(m_Value.string), OrEmpty(v)) == 0;
}
bool Variable::operator<(const char* v) const {
    return m_Type == TextKind && std::strcmp(OrEmpty(m_Value.string), OrEmpty(v)) < 0;
}
bool Variable::operator==(void* v) const {
    return m_Type == PointerKind && m_Value.pointer == v;
}
bool Variable::operator<(void*) const {
    return false;
}

#define KIV_DERIVED_COMPARISONS(T)                                                                 \
    bool Variable::operator!=(T v) const {                                                         \
        return !(*this == v);                                                                      \
    }                                                                                              \
    bool Variable::operator<=(T v) const {                                                         \
        return *this < v || *this == v;                                                            \
    }                                                                                              \
    bool Variable::operator>(T v) const {                                                          \
        return !(*this <= v);                                                                      \
    }                                                                                              \
    bool Variable::operator>=(T v) const {                                                         \
        return !(*this < v);                                                                       \
    }                                                                                              \
    bool operator==(T x, const Variable& v) {                                                      \
        return v == x;                                                                             \
    }                                                                                              \
    bool operator!=(T x, const Variable& v) {                                                      \
        return v != x;                                                                             \
    }                                                                                              \
    bool operator<(T x, const Variable& v) {                                                       \
        return !(v <= x);                                                                          \
    }                                                                                              \
    bool operator<=(T x, const Variable& v) {                                                      \
        return !(v < x);                                                                           \
    }                                                                                              \
    bool operator>(T x, const Variable& v) {                                                       \
        return !(v >= x);                                                                          \
    }                                                                                              \
    bool operator>=(T x, const Variable& v) {                                                      \
        return !(v > x);                                                                           \
    }
KIV_DERIVED_COMPARISONS(char)
KIV_DERIVED_COMPARISONS(unsigned char)
KIV_DERIVED_COMPARISONS(int)
KIV_DERIVED_COMPARISONS(unsigned int)
KIV_DERIVED_COMPARISONS(float)
KIV_DERIVED_COMPARISONS(const char*)
KIV_DERIVED_COMPARISONS(void*)
#undef KIV_DERIVED_COMPARISONS

bool Variable::operator!=(const Variable& v) const {
    return !(*this == v);
}
bool Variable::operator<=(const Variable& v) const {
    return *this < v || *this == v;
}
bool Variable::operator>(const Variable& v) const {
    return !(*this <= v);
}
bool Variable::operator>=(const Variable& v) const {
    return !(*this < v);
}

bool Variable::operator!() const {
    if (m_Type == NumberKind)
        return m_Value.number == 0;
    if (m_Type == TextKind)
        return m_Value.string == nullptr;
    return m_Value.pointer == nullptr;
}

// ---- arithmetic ----

Variable Variable::operator++() {
    if (m_Type != NumberKind) {
        RefreshText();
        return Variable();
    }
    *this = m_Value.number + 1;
    return *this;
}

Variable Variable::operator++(int) {
    if (m_Type != NumberKind) {
        RefreshText();
        return Variable();
    }
    Variable old(*this);
    *this = m_Value.number + 1;
    return old;
}

Variable Variable::operator--() {
    if (m_Type != NumberKind) {
        RefreshText();
        return Variable();
    }
    *this = m_Value.number - 1;
    return *this;
}

Variable Variable::operator--(int) {
    if (m_Type != NumberKind) {
        RefreshText();
        return Variable();
    }
    Variable old(*this);
    *this = m_Value.number - 1;
    return old;
}

Variable& Variable::operator+=(double v) {
    if (m_Type == NumberKind)
        m_Value.number += v;
    RefreshText();
    return *this;
}

Variable& Variable::operator-=(double v) {
    if (m_Type == NumberKind)
        m_Value.number -= v;
    RefreshText();
    return *this;
}

Variable& Variable::operator*=(double v) {
    if (m_Type == NumberKind)
        m_Value.number *= v;
    RefreshText();
    return *this;
}

Variable& Variable::operator/=(double v) {
    if (m_Type == NumberKind && v != 0)
        m_Value.number /= v;
    RefreshText();
    return *this;
}

Variable& Variable::operator%=(double v) {
    int divisor = kiv::ToInt32(v);
    if (m_Type == NumberKind && divisor != 0)
        m_Value.number = Remainder(kiv::ToInt32(m_Value.number), divisor);
    RefreshText();
    return *this;
}

#define KIV_COMPOUND_FORWARDS(op)                                                                  \
    Variable& Variable::operator op(int v) {                                                       \
        return *this op static_cast<double>(v);                                                    \
    }                                                                                              \
    Variable& Variable::operator op(float v) {                                                     \
        return *this op static_cast<double>(v);                                                    \
    }                                                                                              \
    Variable& Variable::operator op(const Variable& v) {                                           \
        if (m_Type == NumberKind && v.m_Type == NumberKind)                                        \
            return *this op v.m_Value.number;                                                      \
        RefreshText();                                                                             \
        return *this;                                                                              \
    }
KIV_COMPOUND_FORWARDS(-=)
KIV_COMPOUND_FORWARDS(*=)
KIV_COMPOUND_FORWARDS(/=)
KIV_COMPOUND_FORWARDS(%=)
#undef KIV_COMPOUND_FORWARDS

Variable& Variable::operator+=(int v) {
    return *this += static_cast<double>(v);
}

Variable& Variable::operator+=(float v) {
    return *this += static_cast<double>(v);
}

Variable& Variable::operator+=(const Variable& v) {
    if (m_Type == NumberKind && v.m_Type == NumberKind)
        return *this += v.m_Value.number;
    if (m_Type == TextKind && v.m_Type == TextKind)
        return *this += OrEmpty(v.m_Value.string);
    RefreshText();
    return *this;
}

Variable& Variable::operator+=(const char* text) {
    if (m_Type != TextKind)
        return *this;
    unsigned int old = m_Value.string ? m_StringBuffer.length : 0;
    unsigned int extra = static_cast<unsigned int>(std::strlen(OrEmpty(text)));
    if (old + extra + 1 > m_StringBuffer.capacity) {
        Buffer joined;
        joined.capacity = old + extra + 1;
        joined.data = new char[joined.capacity];
        std::memcpy(joined.data, OrEmpty(m_Value.string), old);
        std::memcpy(joined.data + old, OrEmpty(text), extra);
        delete[] m_StringBuffer.data;
        m_StringBuffer = joined;
    } else {
        if (!m_Value.string)
            m_StringBuffer.data[0] = '\0';
        std::memmove(m_StringBuffer.data + old, OrEmpty(text), extra);
    }
    m_StringBuffer.data[old + extra] = '\0';
    m_StringBuffer.length = old + extra;
    m_Value.string = m_StringBuffer.data;
    RefreshText();
    return *this;
}

#define KIV_BINARY(op, compound)                                                                   \
    Variable operator op(const Variable& a, double b) {                                            \
        Variable r(a);                                                                             \
        r compound b;                                                                              \
        return r;                                                                                  \
    }                                                                                              \
    Variable operator op(const Variable& a, int b) {                                               \
        Variable r(a);                                                                             \
        r compound b;                                                                              \
        return r;                                                                                  \
    }                                                                                              \
    Variable operator op(const Variable& a, float b) {                                             \
        Variable r(a);                                                                             \
        r compound b;                                                                              \
        return r;                                                                                  \
    }                                                                                              \
    Variable operator op(const Variable& a, const Variable& b) {                                   \
        Variable r(a);                                                                             \
        r compound b;                                                                              \
        return r;                                                                                  \
    }
KIV_BINARY(+, +=)
KIV_BINARY(-, -=)
KIV_BINARY(*, *=)
KIV_BINARY(/, /=)
KIV_BINARY(%, %=)
#undef KIV_BINARY

Variable operator+(const Variable& a, const char* b) {
    Variable r(a);
    r += b;
    return r;
}

// A plain value on the left: + and * commute; -, / and % give a new number from the value
// and the right variable's number.
#define KIV_VALUE_FIRST(T)                                                                         \
    Variable operator+(T a, const Variable& b) {                                                   \
        return b + a;                                                                              \
    }                                                                                              \
    Variable operator*(T a, const Variable& b) {                                                   \
        return b * a;                                                                              \
    }                                                                                              \
    Variable operator-(T a, const Variable& b) {                                                   \
        Variable r;                                                                                \
        r = static_cast<double>(a) - static_cast<double>(b);                                       \
        return r;                                                                                  \
    }                                                                                              \
    Variable operator/(T a, const Variable& b) {                                                   \
        double divisor = static_cast<double>(b);                                                   \
        Variable r;                                                                                \
        if (divisor != 0)                                                                          \
            r = static_cast<double>(a) / divisor;                                                  \
        return r;                                                                                  \
    }                                                                                              \
    Variable operator%(T a, const Variable& b) {                                                   \
        int divisor = kiv::ToInt32(static_cast<double>(b));                                        \
        Variable r;                                                                                \
        if (divisor != 0)                                                                          \
            r = Remainder(kiv::ToInt32(static_cast<double>(a)), divisor);                          \
        return r;                                                                                  \
    }
KIV_VALUE_FIRST(double)
KIV_VALUE_FIRST(int)
KIV_VALUE_FIRST(float)
#undef KIV_VALUE_FIRST

Variable operator+(const char* a, const Variable& b) {
    // A number on the right joins with its text form; a pointer adds nothing.
    std::string joined = OrEmpty(a);
    if (b.m_Type == TextKind) {
        joined += OrEmpty(b.m_Value.string);
    } else if (b.m_Type == NumberKind) {
        Variable number(b.m_Value.number);
        number.OnlyIntegerPart(b.m_OnlyIntegerPart);
        joined += number.AsciiValue();
    }
    Variable r;
    r = joined.c_str();
    return r;
}

// ---- lookup ----

Variable* Variable::Search(const char* name) {
    if (gNode && name)
        for (node* n = gNode->Variables().Head(); !n->EOList(); n = n->Next())
            if (std::strcmp(static_cast<Variable*>(n)->Name(), name) == 0)
                return static_cast<Variable*>(n);
    kiv::ReportUserError("Variable* Variable::Search(char *)", 36, OrEmpty(name));
    return nullptr;
}

void Variable::Use(const char* name) {
    if (gNode && name)
        for (node* n = gNode->Variables().Head(); !n->EOList(); n = n->Next()) {
            auto* v = static_cast<Variable*>(n);
            if (v->m_Unused && std::strcmp(v->Name(), name) == 0) {
                v->m_Unused = false;
                return;
            }
        }
    kiv::ReportUserError("void Variable::Use(char *)", 36, OrEmpty(name));
}

void Variable::AddLocalVariable(unsigned int index) {
    if (kiv::AddLocalVariable(localVariable, index))
        m_LocalVariableIndex = static_cast<int>(index);
    else
        kiv::ReportUserError("void Variable::AddLocalVariable(unsigned int index)", 1, index);
}

// ---- text files ----

bool Variable::Load(const char* fileName) {
    if (!fileName)
        return false;
    std::FILE* in = std::fopen(kiv::platform::LocalPath(fileName).c_str(), "rb");
    if (!in)
        return false;
    std::string raw;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
        raw.append(chunk, n);
    std::fclose(in);

    // Text mode, as the games' files are written on Windows: a carriage return before a line
    // feed is not part of the text, and Ctrl+Z ends it.
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\x1A')
            break;
        if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        if (c == '\t')
            text.append(16, ' ');
        else
            text += c;
    }
    if (text.empty())
        return false;
    unsigned int n = static_cast<unsigned int>(std::strlen(text.c_str()));
    if (n > 0)
        SetText(text.c_str(), n);
    else
        ClearText();
    m_Type = TextKind;
    if (m_Text)
        SetString(m_Text, n);
    else
        m_Value.string = nullptr;
    return true;
}

bool Variable::LoadTextFile(const char* fileName) {
    if (!Load(fileName)) {
        kiv::ReportUserError("bool Variable::LoadTextFile(char *)", 37, OrEmpty(fileName));
        return false;
    }
    m_TextLength = m_Text ? m_TextBuffer.length : 0;
    m_HScrollPosition = m_VScrollPosition = 0;
    if (!m_EffectDone && m_Effect != NoEffect)
        InitEffects();
    return true;
}

void Variable::Save(const char* fileName) {
    if (!fileName)
        return;
    std::FILE* out = std::fopen(kiv::platform::LocalPath(fileName).c_str(), "w");
    if (!out)
        return;
    const char* text = m_Text ? m_Text : m_FullText;
    if (text)
        std::fwrite(text, 1, std::strlen(text), out);
    std::fclose(out);
}
