#include <kiv/variables/Variable.h>

#include <cstdio>
#include <cstring>

namespace {

char* Duplicate(const char* text) {
    size_t n = std::strlen(text);
    char* copy = new char[n + 1];
    std::memcpy(copy, text, n + 1);
    return copy;
}

} // namespace

Variable::Variable()
    : m_Type(1), m_Value{}, m_OnlyIntegerPart(true), m_NumberText{}, m_Text(nullptr),
      m_TextLength(0), m_Id(0), m_Pause(false), m_Frame{0, 0, 0, 0}, m_W(0), m_H(0),
      m_Color(188 | (167 << 8) | (112 << 16)), m_FontName("Arial"), m_LetterSpacing(0),
      m_FontWidth(6), m_FontHeight(16.0f), m_FontWeight(100), m_DisplayType(NoDisplay),
      m_Visible(true), m_VScrollTriggered(false) {
    m_Value.pointer = nullptr;
}

Variable::Variable(double number) : Variable() {
    *this = number;
}

Variable::Variable(const char* text) : Variable() {
    *this = text;
}

Variable::Variable(const Variable& other) : Variable() {
    ObjectCopy(other);
}

void Variable::CopyValue(const Variable& other) {
    ReleaseString();
    m_Type = other.m_Type;
    m_Value = other.m_Value;
    if (m_Type == 2 && other.m_Value.string)
        m_Value.string = Duplicate(other.m_Value.string);
    delete[] m_Text;
    m_Text = other.m_Text ? Duplicate(other.m_Text) : nullptr;
    m_TextLength = other.m_TextLength;
}

void Variable::ObjectCopy(const Variable& other) {
    if (&other == this)
        return;
    CopyValue(other);
    m_OnlyIntegerPart = other.m_OnlyIntegerPart;
    std::memcpy(m_NumberText, other.m_NumberText, sizeof m_NumberText);
    m_Name = other.m_Name;
    m_Id = other.m_Id;
    m_Pause = other.m_Pause;
    m_Frame = other.m_Frame;
    m_W = other.m_W;
    m_H = other.m_H;
    m_Color = other.m_Color;
    m_FontName = other.m_FontName;
    m_LetterSpacing = other.m_LetterSpacing;
    m_FontWidth = other.m_FontWidth;
    m_FontHeight = other.m_FontHeight;
    m_FontWeight = other.m_FontWeight;
    m_DisplayType = other.m_DisplayType;
    m_Visible = other.m_Visible;
    m_VScrollTriggered = other.m_VScrollTriggered;
    m_Behavior = other.m_Behavior;
    delete localVariable;
    localVariable = other.localVariable ? other.localVariable->Clone() : nullptr;
}

Variable& Variable::operator=(const Variable& other) {
    if (&other != this)
        CopyValue(other);
    return *this;
}

Variable::~Variable() {
    ReleaseString();
    delete[] m_Text;
    delete localVariable;
}

void Variable::ReleaseString() {
    if (m_Type == 2)
        delete[] m_Value.string;
    m_Value.string = nullptr;
}

Variable& Variable::operator=(double number) {
    ReleaseString();
    m_Type = 0;
    m_Value.number = number;
    RefreshText();
    return *this;
}

Variable& Variable::operator=(const char* text) {
    char* copy = text ? Duplicate(text) : nullptr;
    ReleaseString();
    m_Type = 2;
    m_Value.string = copy;
    RefreshText();
    return *this;
}

const char* Variable::AsciiValue() {
    switch (m_Type) {
    case 0:
        std::snprintf(m_NumberText, sizeof m_NumberText, m_OnlyIntegerPart ? "%.0f" : "%f",
                      m_Value.number);
        return m_NumberText;
    case 1:
        std::snprintf(m_NumberText, sizeof m_NumberText, "%p", m_Value.pointer);
        return m_NumberText;
    case 2:
        return m_Value.string ? m_Value.string : "";
    default:
        return "";
    }
}

void Variable::RefreshText() {
    delete[] m_Text;
    m_Text = nullptr;
    const char* form = AsciiValue();
    m_TextLength = static_cast<unsigned int>(std::strlen(form));
    if (m_TextLength > 0)
        m_Text = Duplicate(form);
}

void Variable::Name(const char* name) {
    m_Name = name;
}

void Variable::OnlyIntegerPart(bool on) {
    m_OnlyIntegerPart = on;
}

void Variable::Frame(KivRect r) {
    m_Frame = r;
    m_W = r.right - r.left - 1;
    m_H = r.bottom - r.top - 1;
}

void Variable::FontName(const char* name) {
    m_FontName = name ? name : "Arial";
}

void Variable::Color(unsigned long colour) {
    m_Color = static_cast<COLORREF>(colour);
}

void Variable::Width(unsigned int width) {
    m_FontWidth = width;
}

void Variable::Height(float height) {
    m_FontHeight = height;
}

void Variable::Weight(unsigned int weight) {
    m_FontWeight = weight;
}

void Variable::DisplayType(DisplayTypes type) {
    m_DisplayType = type;
}

void Variable::Visible(bool visible) {
    m_Visible = visible;
}

void Variable::VScrollTriggered(bool triggered) {
    m_VScrollTriggered = triggered;
}

void Variable::Save(const char* fileName) {
    if (!fileName)
        return;
    std::FILE* out = std::fopen(fileName, "w");
    if (!out)
        return;
    if (m_Text)
        std::fwrite(m_Text, 1, std::strlen(m_Text), out);
    std::fclose(out);
}
