#pragma once

#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

// The game's general-purpose value: a number, a pointer or a text, with a text form that a
// frame on the screen can show.
class KIV_API Variable : public node {
public:
    enum DisplayTypes {
        RespectingWords = 0,
        ConsecutiveCharacters = 1,
        HorizontalScrolling = 2,
        VerticalScrolling = 3,
        HVScrolling = 4,
        NoDisplay = 5
    };

    Variable();
    explicit Variable(double number);
    explicit Variable(const char* text);
    // A full copy: value, texts, display settings, behavior and a clone of the local
    // variables.
    Variable(const Variable& other);
    void ObjectCopy(const Variable& other);
    // Copies only the value and the shown text.
    Variable& operator=(const Variable& other);
    ~Variable() override;

    Variable& operator=(double number);
    Variable& operator=(const char* text);

    // The text form of the value: numbers through printf formats, strings as they are.
    const char* AsciiValue();
    Behavior& GetBehavior() { return m_Behavior; }

    // The text that the display shows.
    const char* Text() const { return m_Text; }

    void Name(const char* name);
    const char* Name() const { return m_Name; }
    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    // A paused variable's behavior does not run.
    void Pause(bool on) { m_Pause = on; }
    bool Pause() const { return m_Pause; }
    void OnlyIntegerPart(bool on);
    bool OnlyIntegerPart() const { return m_OnlyIntegerPart; }

    void Frame(KivRect r);
    KivRect Frame() const { return m_Frame; }
    // A null name sets "Arial".
    void FontName(const char* name);
    const char* FontName() const { return m_FontName; }
    void LetterSpacing(int pixels) { m_LetterSpacing = pixels; }
    int LetterSpacing() const { return m_LetterSpacing; }
    void Color(unsigned long colour);
    unsigned long Color() const { return m_Color; }
    void Width(unsigned int width);
    unsigned int Width() const { return m_FontWidth; }
    void Height(float height);
    float Height() const { return m_FontHeight; }
    void Weight(unsigned int weight);
    unsigned int Weight() const { return m_FontWeight; }
    void DisplayType(DisplayTypes type);
    void Visible(bool visible);
    bool Visible() const { return m_Visible; }
    void VScrollTriggered(bool triggered);

    // Writes the shown text to a text file, replacing it; nothing on a null name.
    using node::Save;
    void Save(const char* fileName);

protected:
    // Rebuilds the shown text from the value.
    void RefreshText();
    void ReleaseString();

    int m_Type;
    union {
        double number;
        void* pointer;
        char* string;
    } m_Value;
    bool m_OnlyIntegerPart;
    char m_NumberText[50];
    char* m_Text;
    unsigned int m_TextLength;
    String m_Name;
    int m_Id;
    bool m_Pause;

    KivRect m_Frame;
    int m_W;
    int m_H;
    COLORREF m_Color;
    String m_FontName;
    int m_LetterSpacing;
    unsigned int m_FontWidth;
    float m_FontHeight;
    unsigned int m_FontWeight;
    DisplayTypes m_DisplayType;
    bool m_Visible;
    bool m_VScrollTriggered;
    Behavior m_Behavior;

private:
    void CopyValue(const Variable& other);
};
