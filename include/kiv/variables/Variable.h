#pragma once

#include <kiv/base/Handle.h>
#include <kiv/base/String.h>
#include <kiv/base/Types.h>
#include <kiv/base/node.h>
#include <kiv/logic/Behavior.h>

#include <memory>
#include <vector>

class Alarm;
class Map;
class Sound;
class Sprite;

namespace kiv {
struct TextLayout;
namespace platform {
class Font;
}
} // namespace kiv

// Member declarations shared by the value types of the comparisons and by the arithmetic
// operators.
#define KIV_VARIABLE_COMPARISONS(T)                                                                \
    bool operator==(T v) const;                                                                    \
    bool operator!=(T v) const;                                                                    \
    bool operator<(T v) const;                                                                     \
    bool operator<=(T v) const;                                                                    \
    bool operator>(T v) const;                                                                     \
    bool operator>=(T v) const;
#define KIV_VARIABLE_COMPOUND(op)                                                                  \
    Variable& operator op(double v);                                                               \
    Variable& operator op(int v);                                                                  \
    Variable& operator op(float v);                                                                \
    Variable& operator op(const Variable& v);

// The game's general-purpose value: a number, a pointer to an object of the game or a
// text. Every change of the value rebuilds its text form, which a frame on the screen can
// show: laid out in a font, wrapped or scrolled, optionally revealed by a text effect.
class KIV_API Variable : public node {
public:
    enum DisplayTypes {
        RespectingWords = 0,       // word wrap
        ConsecutiveCharacters = 1, // wrap at any character
        HorizontalScrolling = 2,
        VerticalScrolling = 3,
        HVScrolling = 4,
        NoDisplay = 5 // never drawn
    };
    enum EffectType {
        NoEffect = 0,
        CharacterByCharacterEffect = 1,
        LineByLineEffect = 2,
        ASCIIEffect = 3,
        RandomDecoding = 4,
        SequentialDecoding = 5
    };

    // A null pointer.
    Variable();
    Variable(double number);
    Variable(const int number);
    Variable(unsigned int number);
    // A null text gives a text variable without text.
    Variable(const char* text);
    // A pointer is never shown.
    Variable(void* pointer);
    // Full copies (ObjectCopy); a null source gives the defaults.
    Variable(const Variable& other);
    Variable(Variable* other);
    Variable(const Variable* other);
    ~Variable() override;

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    // A loaded record names its letter sound before the level's sounds are loaded: the level
    // binds it by that name once they are.
    void BindLetterSound();
    const char* ClassName() override;
    static node* CreateObject();

    // Copies every field: value, texts, display settings, behavior and a clone of the local
    // variables.
    void ObjectCopy(const Variable& other);
    void ObjectCopy(const Variable* other);
    // A full copy added to the map's texts (when the variable is on a map) and to the
    // current level; null when the level does not take it.
    Variable* CreateVariable();
    Variable* CreateText();

    // Copies only the value and the shown text; display settings, name and behavior stay.
    Variable& operator=(const Variable& other);
    Variable& operator=(double number);
    Variable& operator=(float number);
    Variable& operator=(const int number);
    Variable& operator=(unsigned int number);
    // The text is copied; null gives a text variable without text.
    Variable& operator=(const char* text);
    Variable& operator=(void* pointer);

    // The value when it is of the matching kind: numbers convert to integers truncated
    // toward zero; any other kind gives 0, false or null.
    operator double() const;
    operator float() const;
    operator long() const;
    operator int() const;
    operator unsigned int() const;
    operator char() const;
    operator unsigned char() const;
    operator bool() const;
    operator const char*() const;
    operator void*() const;
    operator Sprite*() const;
    operator Map*() const;
    operator Alarm*() const;
    operator Variable*() const;

    // Comparisons: only values of the same kind compare; any other pair is neither equal nor
    // less. Integers compare with the number truncated toward zero and cut to their width.
    KIV_VARIABLE_COMPARISONS(const Variable&)
    KIV_VARIABLE_COMPARISONS(char)
    KIV_VARIABLE_COMPARISONS(unsigned char)
    KIV_VARIABLE_COMPARISONS(int)
    KIV_VARIABLE_COMPARISONS(unsigned int)
    KIV_VARIABLE_COMPARISONS(float)
    KIV_VARIABLE_COMPARISONS(const char*)
    KIV_VARIABLE_COMPARISONS(void*)

    // A number: whether it is 0; a pointer or a text: whether it is null.
    bool operator!() const;

    // Numbers only: the prefix forms give the new value, the postfix forms the old one;
    // other kinds are left and give a default Variable.
    Variable operator++();
    Variable operator++(int);
    Variable operator--();
    Variable operator--(int);

    // Numbers only (the variable is left as it is otherwise); += of two texts joins them.
    // Division by 0 leaves the number; % works on the numbers truncated to 32-bit integers.
    KIV_VARIABLE_COMPOUND(+=)
    KIV_VARIABLE_COMPOUND(-=)
    KIV_VARIABLE_COMPOUND(*=)
    KIV_VARIABLE_COMPOUND(/=)
    KIV_VARIABLE_COMPOUND(%=)
    // Appends to a text; other kinds are left.
    Variable& operator+=(const char* text);

    // The text form of the value: "%.0f" or "%f" for numbers, "%p" for pointers, texts as
    // they are.
    const char* AsciiValue();
    // The text that the display shows (a part of it while a text effect runs); null when
    // there is none.
    const char* Text() const { return m_Text; }

    // The first variable of the current level with that name; null after a user error.
    static Variable* Search(const char* name);
    // Takes the first variable of the current level with that name that is set aside as
    // unused, and puts it to use.
    void Use(const char* name);

    // Reads a text file into the variable, which becomes a text; a tab becomes 16 spaces.
    // False when there is no name, no file or nothing in it.
    bool Load(const char* fileName);
    // Load, then show the new text from its start; a user error when it fails.
    bool LoadTextFile(const char* fileName);
    // Writes the shown text to a text file, replacing it; nothing on a null name.
    void Save(const char* fileName);

    // A clone of the game's local-variable prototype NArray[index].
    void AddLocalVariable(unsigned int index);

    Behavior& GetBehavior() { return m_Behavior; }
    void Name(const char* name);
    const char* Name() const { return m_Name; }
    void Id(int id) { m_Id = id; }
    int Id() const { return m_Id; }
    // A paused variable's behavior does not run, its effect stands still and its scroll keys
    // are ignored.
    void Pause(bool on) { m_Pause = on; }
    bool Pause() const { return m_Pause; }
    // A top-most text of a map is drawn after the map's sprites.
    void TopMost(bool on) { m_TopMost = on; }
    bool TopMost() const { return m_TopMost; }
    // An unused variable is set aside for Use and not drawn.
    void Unused(bool on) { m_Unused = on; }
    bool Unused() const { return m_Unused; }
    void OnlyIntegerPart(bool on);
    bool OnlyIntegerPart() const { return m_OnlyIntegerPart; }

    // ---- text display ----

    // The map the text moves with, found by name in the current level.
    void BelongToMap(const char* mapName);
    void InWorld(bool on) { m_InWorld = on; }
    bool InWorld() const { return m_InWorld; }
    void Visible(bool visible) { m_Visible = visible; }
    bool Visible() const { return m_Visible; }
    // When set, the text is drawn without testing whether its frame is in the viewport.
    void ActivateOutOfViewport(bool on) { m_ActivateOutOfViewport = on; }

    // Font settings; each rebuilds the font when the display exists. A null name sets
    // "Arial"; a name with no installed face (or metric-compatible replacement) is refused.
    void FontName(const char* name);
    const char* FontName() const { return m_FontName; }
    void Width(unsigned int width);
    unsigned int Width() const { return static_cast<unsigned int>(m_FontWidth); }
    void Height(float height);
    float Height() const { return m_FontHeight; }
    void Weight(unsigned int weight);
    unsigned int Weight() const { return static_cast<unsigned int>(m_FontWeight); }
    void Italic(bool on);
    bool Italic() const { return m_Italic != 0; }
    void StrikeOut(bool on);
    bool StrikeOut() const { return m_StrikeOut != 0; }
    void Underline(bool on);
    bool Underline() const { return m_Underline != 0; }
    void Color(unsigned long colour);
    unsigned long Color() const { return m_Color; }
    void FrameColor(unsigned long colour) { m_FrameColor = static_cast<COLORREF>(colour); }
    unsigned long FrameColor() const { return m_FrameColor; }
    void ArrowsColor(unsigned long colour) { m_ArrowsColor = static_cast<COLORREF>(colour); }
    unsigned long ArrowsColor() const { return m_ArrowsColor; }

    // Whether the frame's outline is drawn with the text.
    void ShowFrame(bool on) { m_ShowFrame = on; }
    bool ShowFrame() const { return m_ShowFrame; }
    // Draws the frame's outline now, in that colour.
    void ShowFrame(unsigned long colour);
    void ShowFrame(unsigned int colour) { ShowFrame(static_cast<unsigned long>(colour)); }

    // On a map, the frame is kept inside the map.
    void Frame(KivRect r);
    KivRect Frame() const { return m_Frame; }
    void Move(float dx, float dy);
    // Places the frame, keeping its size, at the sprite's map position plus its hot spot
    // `hotSpot`; the game calls it every frame to keep the text with the sprite.
    void Follow(Sprite* sprite, int hotSpot);
    void Follow(const char* spriteName, int hotSpot);
    // Centres a frame that is not on a map in the display.
    void CenterViewport();

    void LineSpacing(int pixels) { m_LineSpacing = pixels; }
    int LineSpacing() const { return m_LineSpacing; }
    void LetterSpacing(int pixels) { m_LetterSpacing = pixels; }
    int LetterSpacing() const { return m_LetterSpacing; }
    void LeftMargin(int pixels) { m_LeftMargin = pixels; }
    void TopMargin(int pixels) { m_TopMargin = pixels; }
    // Keep the spaces at the start of each line.
    void LeadingSpaces(bool on) { m_LeadingSpaces = on; }
    void ArrowsSize(unsigned int pixels) { m_ArrowsSize = static_cast<int>(pixels); }
    unsigned int ArrowsSize() const { return static_cast<unsigned int>(m_ArrowsSize); }

    // Scrolling: the step of one key press (characters, lines), the keys (DIK codes) and
    // whether a key acts once per press rather than every frame it is held.
    void HDeltaScroll(unsigned int step) { m_HDeltaScroll = static_cast<int>(step); }
    void VDeltaScroll(unsigned int step) { m_VDeltaScroll = static_cast<int>(step); }
    void HScrollRightKey(int key) { m_HScrollRightKey = key; }
    void HScrollLeftKey(int key) { m_HScrollLeftKey = key; }
    void VScrollUpKey(int key) { m_VScrollUpKey = key; }
    void VScrollDownKey(int key) { m_VScrollDownKey = key; }
    void HScrollTriggered(bool on) { m_HScrollTriggered = on; }
    void VScrollTriggered(bool on) { m_VScrollTriggered = on; }

    void DisplayType(DisplayTypes type);
    void Effect(EffectType effect);
    // Frames between two steps of a text effect, and between two line steps.
    void Delay(unsigned int charDelay, unsigned int lineDelay);
    // The sound played as the letters of an effect appear.
    void LetterSound(const char* soundName);
    void Play();

    // Rebuilds the text lists of the current level's maps from its variables.
    static void UpdateTextMaps();
    // Draw the text if it is on a map (DisplayTextMap) or not (DisplayTextNoMap), is in use,
    // visible and displayed.
    void DisplayTextMap();
    void DisplayTextNoMap();

protected:
    friend struct kiv::TextLayout;
    friend KIV_API Variable operator+(const char* a, const Variable& b);

    // Rebuilds the shown text from the value; then, for a displayed text, returns to the
    // start of the text and restarts a running effect.
    void RefreshText();
    // Draws the text into the back buffer.
    void DisplayText();
    // Shows the last line of the text.
    void ScrollToEnd();

    // ---- value ----
    int m_Type; // 0 number, 1 pointer, 2 text
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
    bool m_TopMost;
    bool m_Unused;
    int m_LocalVariableIndex;
    Behavior m_Behavior;

    // ---- display ----
    Map* m_Map;
    KivRect m_MapRect;
    bool m_InWorld;
    bool m_Visible;
    String m_FontName;
    int m_FontWidth;
    float m_FontHeight;
    int m_FontWeight;
    int m_Italic;
    int m_StrikeOut;
    int m_Underline;
    COLORREF m_Color;
    COLORREF m_FrameColor;
    COLORREF m_ArrowsColor;
    bool m_ShowFrame;
    KivRect m_Frame;
    int m_W;
    int m_H;
    int m_LineSpacing;
    int m_LetterSpacing;
    int m_LeftMargin;
    int m_TopMargin;
    bool m_LeadingSpaces;
    int m_ArrowsSize;
    int m_ArrowsHOffset;
    int m_ArrowsVOffset;
    int m_HScrollPosition;
    int m_VScrollPosition;
    int m_HDeltaScroll;
    int m_VDeltaScroll;
    int m_HScrollLimit;
    int m_VScrollLimit;
    int m_HScrollRightKey;
    int m_HScrollLeftKey;
    int m_VScrollUpKey;
    int m_VScrollDownKey;
    bool m_HScrollTriggered;
    bool m_VScrollTriggered;
    bool m_ActivateOutOfViewport;
    DisplayTypes m_DisplayType;
    EffectType m_Effect;
    int m_CharDelay;
    int m_CharCountdown;
    int m_LineDelay;
    int m_LineCountdown;
    char* m_FullText;
    int m_EffectPosition;
    int m_EffectCount;
    int m_EffectLine;
    std::vector<int> m_IndexArray;
    bool m_IndexArrayReady;
    bool m_EffectDone;
    int m_VisibleLines;
    int m_LongestLineSize;
    int m_LargestBlock;
    int m_NumberOfLines;
    int m_PenX;
    Sound* m_LetterSound;
    // The letter sound a loaded record named, until BindLetterSound finds it.
    String m_LetterSoundName;
    std::shared_ptr<kiv::platform::Font> m_Font;
    // The font settings changed while there was no display: the font is made when the text
    // is first drawn.
    bool m_FontPending;
    // The text was found to show nothing because its frame holds no line (told once).
    bool m_TooSmallReported;
    // Extent (width, height) of each character alone in the font.
    int m_CharSize[256][2];
    tagRECT m_RightArrow;
    tagRECT m_LeftArrow;
    tagRECT m_UpArrow;
    tagRECT m_DownArrow;

private:
    // Buffers behind the text value, the shown text and the effect's full text, kept and
    // reused so that changing a value does not allocate once they are large enough.
    struct Buffer {
        char* data = nullptr;
        unsigned int capacity = 0;
        unsigned int length = 0;
    };
    // Copies n characters of text into b (growing it when needed) and terminates them.
    static char* Store(Buffer& b, const char* text, unsigned int n);

    void SetString(const char* text, unsigned int n);
    void SetText(const char* text, unsigned int n);
    void ClearText();
    void CopyValue(const Variable& other);
    // Restores every field to its default.
    void Reset();

    // Makes the font from the settings; false when it cannot be made (the reason in
    // `error`, one of the catalog's FontError values).
    bool RebuildFont(int* error = nullptr);
    // The font setters' common end: rebuild, then report `message` against `function` when
    // the failure is this setting's.
    void FontChanged(int cause, const char* function, int message, int value);
    void InitEffects();
    void AdvanceEffect();
    void EndEffect();
    void ScrambleInto(int count, bool onlyIndexed);
    int ComputeVisibleLines() const;
    void ApplyScrollKeys();
    void DrawArrows(const KivRect& screen);
    // Where the frame is on the screen: the offset to add to frame coordinates.
    void ScreenOffset(float& ox, float& oy, bool forDrawing);

    Buffer m_StringBuffer;
    Buffer m_TextBuffer;
    Buffer m_FullTextBuffer;
};

#undef KIV_VARIABLE_COMPARISONS
#undef KIV_VARIABLE_COMPOUND

// Value first, and the binary operators: a copy of the variable with the compound operator
// applied, or a new number for -, / and % with a plain value on the left.
#define KIV_VARIABLE_FREE_COMPARISONS(T)                                                           \
    KIV_API bool operator==(T x, const Variable& v);                                               \
    KIV_API bool operator!=(T x, const Variable& v);                                               \
    KIV_API bool operator<(T x, const Variable& v);                                                \
    KIV_API bool operator<=(T x, const Variable& v);                                               \
    KIV_API bool operator>(T x, const Variable& v);                                                \
    KIV_API bool operator>=(T x, const Variable& v);
KIV_VARIABLE_FREE_COMPARISONS(char)
KIV_VARIABLE_FREE_COMPARISONS(unsigned char)
KIV_VARIABLE_FREE_COMPARISONS(int)
KIV_VARIABLE_FREE_COMPARISONS(unsigned int)
KIV_VARIABLE_FREE_COMPARISONS(float)
KIV_VARIABLE_FREE_COMPARISONS(const char*)
KIV_VARIABLE_FREE_COMPARISONS(void*)
#undef KIV_VARIABLE_FREE_COMPARISONS

#define KIV_VARIABLE_ARITHMETIC(op)                                                                \
    KIV_API Variable operator op(const Variable& a, double b);                                     \
    KIV_API Variable operator op(const Variable& a, int b);                                        \
    KIV_API Variable operator op(const Variable& a, float b);                                      \
    KIV_API Variable operator op(const Variable& a, const Variable& b);                            \
    KIV_API Variable operator op(double a, const Variable& b);                                     \
    KIV_API Variable operator op(int a, const Variable& b);                                        \
    KIV_API Variable operator op(float a, const Variable& b);
KIV_VARIABLE_ARITHMETIC(+)
KIV_VARIABLE_ARITHMETIC(-)
KIV_VARIABLE_ARITHMETIC(*)
KIV_VARIABLE_ARITHMETIC(/)
KIV_VARIABLE_ARITHMETIC(%)
#undef KIV_VARIABLE_ARITHMETIC
KIV_API Variable operator+(const Variable& a, const char* b);
KIV_API Variable operator+(const char* a, const Variable& b);

// A variable that is never null: an unknown name or a null pointer gives a shared default
// variable.
class KIV_API VariablePTR : public kiv::Handle<Variable, VariablePTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static Variable* Fallback();
    static Variable dummyVariablePtr;
};
