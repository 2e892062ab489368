// A variable's saved record: its value, its text display settings and its logic.
#include <kiv/data/File.h>
#include <kiv/graphics/Map.h>
#include <kiv/sound/Sound.h>
#include <kiv/variables/Variable.h>

#include "graphics/Display.h"
#include "variables/ValueKinds.h"

#include <cstring>
#include <string>

using kiv::NumberKind;
using kiv::PointerKind;
using kiv::TextKind;

namespace {

// A name in a fixed 32-byte field of the saved record.
void WriteName32(File& file, const char* name) {
    char field[32] = {};
    std::strncpy(field, name ? name : "", sizeof field - 1);
    file.Write(field, static_cast<int>(sizeof field));
}

void ReadName32(File& file, char (&field)[32]) {
    file.Read(field, static_cast<int>(sizeof field));
    field[sizeof field - 1] = '\0';
}

} // namespace

void Variable::BindLetterSound() {
    if (m_LetterSoundName.empty())
        return;
    m_LetterSound = Sound::Search(m_LetterSoundName);
    m_LetterSoundName.erase();
}

void Variable::Save(File& f) {
    m_Behavior.Save(f);
    m_Name.Save(f);
    f.Write(m_Type);
    if (m_Type == NumberKind) {
        f.Write(m_Value.number);
    } else if (m_Type == PointerKind) {
        f.Write(static_cast<node*>(m_Value.pointer));
    } else if (m_Type == TextKind) {
        int n = m_Value.string ? static_cast<int>(m_StringBuffer.length) : 0;
        f.Write(n);
        if (n > 0)
            f.Write(m_Value.string, n);
    }
    f.Write(m_OnlyIntegerPart);
    f.Write(m_Pause);
    f.Write(m_Id);
    f.Write(m_NumberText, static_cast<int>(sizeof m_NumberText));
    f.Write(m_Map != nullptr);
    if (m_Map)
        WriteName32(f, m_Map->Name());
    f.Write(m_InWorld);
    f.Write(m_Visible);
    m_FontName.Save(f);
    f.Write(m_FontWidth);
    f.Write(m_FontHeight);
    f.Write(m_FontWeight);
    f.Write(m_Italic);
    f.Write(m_StrikeOut);
    f.Write(m_Underline);
    f.Write(static_cast<unsigned long>(m_Color));
    f.Write(m_MapRect);
    f.Write(static_cast<unsigned long>(m_FrameColor));
    f.Write(static_cast<unsigned long>(m_ArrowsColor));
    f.Write(m_ShowFrame);
    for (int v : {m_HScrollPosition, m_VScrollPosition, m_HDeltaScroll, m_VDeltaScroll})
        f.Write(v);
    f.Write(m_LeadingSpaces);
    for (int v : {m_LongestLineSize, m_LargestBlock, m_NumberOfLines})
        f.Write(v);
    f.Write(m_Frame);
    for (const tagRECT* r : {&m_RightArrow, &m_LeftArrow, &m_UpArrow, &m_DownArrow})
        f.Write(*r);
    for (int v : {m_VisibleLines, m_LineSpacing, m_LetterSpacing, m_LeftMargin, m_TopMargin,
                  m_ArrowsSize, m_ArrowsHOffset, m_ArrowsVOffset})
        f.Write(v);
    f.Write(m_TextLength);
    f.Write(m_FullText != nullptr);
    f.Write(m_EffectPosition);
    f.Write(m_EffectCount);
    f.Write(static_cast<int>(m_DisplayType));
    f.Write(static_cast<int>(m_Effect));
    for (int v : {m_HScrollRightKey, m_HScrollLeftKey, m_VScrollUpKey, m_VScrollDownKey})
        f.Write(v);
    f.Write(m_HScrollTriggered);
    f.Write(m_VScrollTriggered);
    f.Write(m_ActivateOutOfViewport);
    f.Write(m_HScrollLimit);
    f.Write(m_VScrollLimit);
    f.Write(m_TopMost);
    f.Write(m_Unused);
    for (int v : {m_CharDelay, m_CharCountdown, m_LineDelay, m_LineCountdown})
        f.Write(v);
    f.Write(m_EffectLine);
    f.Write(m_LetterSound != nullptr);
    if (m_LetterSound)
        WriteName32(f, m_LetterSound->Name());
    f.Write(m_IndexArrayReady);
    f.Write(false);
    f.Write(m_EffectDone);
    f.Write(m_W);
    f.Write(m_H);
    f.Write(m_PenX);
    f.Write(m_LocalVariableIndex);
    f.Write(localVariable);
}

void Variable::Load(File& f) {
    m_Behavior.Load(f);
    m_Name.Load(f);
    // The level makes its own frame-rate variable; a saved one comes back beside it.
    if (m_Name == "FPS")
        m_Name = "FPS_COPY";
    f.Read(m_Type);
    if (m_Type == NumberKind) {
        f.Read(m_Value.number);
    } else if (m_Type == PointerKind) {
        node* object = nullptr;
        f.Read(object);
        m_Value.pointer = object;
    } else if (m_Type == TextKind) {
        int n = 0;
        f.Read(n);
        if (n > 0) {
            f.Require(n);
            std::string text(static_cast<size_t>(n), '\0');
            f.Read(text.data(), n);
            SetString(text.c_str(), static_cast<unsigned int>(std::strlen(text.c_str())));
        } else {
            m_Value.string = nullptr;
        }
    }
    f.Read(m_OnlyIntegerPart);
    f.Read(m_Pause);
    f.Read(m_Id);
    f.Read(m_NumberText, static_cast<int>(sizeof m_NumberText));
    m_NumberText[sizeof m_NumberText - 1] = '\0';
    bool onMap = false;
    f.Read(onMap);
    m_Map = nullptr;
    if (onMap) {
        char name[32];
        ReadName32(f, name);
        m_Map = Map::Search(name);
    }
    f.Read(m_InWorld);
    f.Read(m_Visible);
    m_FontName.Load(f);
    f.Read(m_FontWidth);
    f.Read(m_FontHeight);
    f.Read(m_FontWeight);
    f.Read(m_Italic);
    f.Read(m_StrikeOut);
    f.Read(m_Underline);
    if (kiv::BackBuffer())
        RebuildFont();
    else
        m_FontPending = true;
    unsigned long colour = 0;
    f.Read(colour);
    m_Color = static_cast<COLORREF>(colour);
    f.Read(m_MapRect);
    f.Read(colour);
    m_FrameColor = static_cast<COLORREF>(colour);
    f.Read(colour);
    m_ArrowsColor = static_cast<COLORREF>(colour);
    f.Read(m_ShowFrame);
    for (int* v : {&m_HScrollPosition, &m_VScrollPosition, &m_HDeltaScroll, &m_VDeltaScroll})
        f.Read(*v);
    f.Read(m_LeadingSpaces);
    for (int* v : {&m_LongestLineSize, &m_LargestBlock, &m_NumberOfLines})
        f.Read(*v);
    f.Read(m_Frame);
    for (tagRECT* r : {&m_RightArrow, &m_LeftArrow, &m_UpArrow, &m_DownArrow})
        f.Read(*r);
    for (int* v : {&m_VisibleLines, &m_LineSpacing, &m_LetterSpacing, &m_LeftMargin, &m_TopMargin,
                   &m_ArrowsSize, &m_ArrowsHOffset, &m_ArrowsVOffset})
        f.Read(*v);
    f.Read(m_TextLength);

    // The shown text comes from the value; the effect's full text too when one was running.
    const char* form = m_Type == PointerKind ? "" : AsciiValue();
    unsigned int n = static_cast<unsigned int>(std::strlen(form));
    if (n > 0)
        SetText(form, n);
    else
        ClearText();
    bool effectText = false;
    f.Read(effectText);
    m_FullText = effectText ? Store(m_FullTextBuffer, form, n) : nullptr;

    f.Read(m_EffectPosition);
    f.Read(m_EffectCount);
    int type = 0, effect = 0;
    f.Read(type);
    f.Read(effect);
    m_DisplayType =
        type >= RespectingWords && type <= NoDisplay ? static_cast<DisplayTypes>(type) : NoDisplay;
    m_Effect = effect >= NoEffect && effect <= SequentialDecoding ? static_cast<EffectType>(effect)
                                                                  : NoEffect;
    for (int* v : {&m_HScrollRightKey, &m_HScrollLeftKey, &m_VScrollUpKey, &m_VScrollDownKey})
        f.Read(*v);
    f.Read(m_HScrollTriggered);
    f.Read(m_VScrollTriggered);
    f.Read(m_ActivateOutOfViewport);
    f.Read(m_HScrollLimit);
    f.Read(m_VScrollLimit);
    f.Read(m_TopMost);
    f.Read(m_Unused);
    for (int* v : {&m_CharDelay, &m_CharCountdown, &m_LineDelay, &m_LineCountdown})
        f.Read(*v);
    f.Read(m_EffectLine);
    bool sound = false;
    f.Read(sound);
    m_LetterSound = nullptr;
    m_LetterSoundName.erase();
    if (sound) {
        char name[32];
        ReadName32(f, name);
        m_LetterSound = Sound::Search(name);
        if (!m_LetterSound)
            m_LetterSoundName = name;
    }
    f.Read(m_IndexArrayReady);
    bool reserved = false;
    f.Read(reserved);
    f.Read(m_EffectDone);
    f.Read(m_W);
    f.Read(m_H);
    f.Read(m_PenX);
    f.Read(m_LocalVariableIndex);
    delete localVariable;
    localVariable = f.ReadOwned<node>();

    // Positions of a running effect index its full text; damaged values are brought back
    // inside it. The positions still to decode were not saved: they start over.
    int length = static_cast<int>(n);
    m_EffectPosition =
        m_EffectPosition < 0 ? 0 : (m_EffectPosition > length ? length : m_EffectPosition);
    m_EffectCount = m_EffectCount < 0 ? 0 : (m_EffectCount > length ? length : m_EffectCount);
    m_IndexArray.clear();
    if (m_FullText && (m_Effect == CharacterByCharacterEffect || m_Effect == LineByLineEffect)) {
        if (m_EffectPosition > 0)
            SetText(m_FullText, static_cast<unsigned int>(m_EffectPosition));
        else
            ClearText();
    } else if (m_FullText) {
        ClearText();
        if (m_IndexArrayReady)
            for (int i = 0; i < m_EffectCount; ++i)
                m_IndexArray.push_back(i);
    }
}
