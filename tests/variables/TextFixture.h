#pragma once

#include <kiv/Kiv.h>

#include "Scratch.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/headless/HeadlessPlatform.h"

#include <string>

namespace kiv::test {

// A variable whose layout and effect state the tests can read and whose drawing they can
// call directly.
struct Probe : Variable {
    using Variable::Variable;
    using Variable::operator=;
    using Variable::m_EffectCount;
    using Variable::m_EffectDone;
    using Variable::m_EffectPosition;
    using Variable::m_FullText;
    using Variable::m_HScrollPosition;
    using Variable::m_NumberOfLines;
    using Variable::m_TextLength;
    using Variable::m_VisibleLines;
    using Variable::m_VScrollPosition;
    // A white text in Arial 16 (width 6) in `frame`, laid out as `type`; the font is made now,
    // so a display must be open: the tests measure with it.
    Probe(const char* text, KivRect frame, DisplayTypes type = RespectingWords) : Variable(text) {
        FontName("Arial");
        Color(0xFFFFFF);
        DisplayType(type);
        Frame(frame);
    }
    void Draw() { DisplayText(); }
    int Advance(unsigned char c) const { return m_CharSize[c][0]; }
    int CellHeight(unsigned char c) const { return m_CharSize[c][1]; }
};

// A console whose scroll position the tests can read.
struct ConsoleProbe : Console {
    using Console::m_NumberOfLines;
    using Console::m_VisibleLines;
    using Console::m_VScrollPosition;
};

// A display of `width` × `height` at `depth` bits, a running level with a 640 × 480 world
// seen through a viewport of the display's size, a hidden console and no reported errors.
class TextScene : public Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        for (auto* list :
             {&UserError::SpritesErrors, &UserError::VariablesErrors, &UserError::MapsErrors,
              &UserError::AlarmsErrors, &UserError::GameErrors, &UserError::Errors})
            list->clear();
        _UE = UserError();
        kiv::FrameCounter = 0;
        ArtAssetsPath = folder.c_str();
        kiv::InitPaths();
    }
    void TearDown() override {
        Stop();
        Scratch::TearDown();
    }
    // Ends the level, the console, the keyboard and the display that Start made.
    void Stop() {
        delete pKeyboard;
        pKeyboard = nullptr;
        delete level;
        level = nullptr;
        gNode = nullptr;
        delete pConsole;
        pConsole = nullptr;
        kiv::CloseGraphics();
        back = nullptr;
    }

    void Start(int depth = 32, int width = 320, int height = 200) {
        SetMode(width, height, depth);
        _IsWindowed = true;
        ASSERT_TRUE(kiv::InitGraphics());
        back = kiv::BackBuffer();
        level = new GameNode;
        ViewPort& v = level->GetViewPort();
        v.WorldWidth(640);
        v.WorldHeight(480);
        v.ViewPortWidth(static_cast<float>(width));
        v.ViewPortHeight(static_cast<float>(height));
        gNode = level;
        pConsole = new Console;
        pConsole->Show(false);
    }

    // A keyboard fed by the headless input; Frame() reads it as the frame loop does.
    void UseKeyboard() { pKeyboard = new Keyboard(reinterpret_cast<HWND>(0x1234), nullptr); }
    void Keys(std::initializer_list<platform::KeyEvent> events) {
        auto& input = static_cast<platform::headless::HeadlessPlatform&>(platform::Current()).input;
        for (const platform::KeyEvent& e : events)
            input.Push(e);
        unsigned char* out = kiv::KeyEventRecords;
        pKeyboard->Update(out);
    }

    // Pixels that differ from 0 inside [left, right) × [top, bottom).
    int Ink(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += back->GetPixel(x, y) != 0;
        return n;
    }
    int Ink() const { return Ink(0, 0, back->Width(), back->Height()); }
    // The smallest rectangle holding every pixel that is not 0 (right and bottom exclusive);
    // all zero when there is none.
    KivRect InkBox() const {
        KivRect r{back->Width(), back->Height(), 0, 0};
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x)
                if (back->GetPixel(x, y) != 0) {
                    r.left = std::min(r.left, x);
                    r.top = std::min(r.top, y);
                    r.right = std::max(r.right, x + 1);
                    r.bottom = std::max(r.bottom, y + 1);
                }
        return r.right == 0 ? KivRect{0, 0, 0, 0} : r;
    }
    std::string Log() { return ReadText("Kiv.log"); }
    // Whether the log holds the user error `message` reported by `function`.
    bool Logged(const std::string& function, const std::string& message) {
        return Log().find("Target Function : " + function + "\nError Message : " + message) !=
               std::string::npos;
    }

    kiv::Surface* back = nullptr;
    GameNode* level = nullptr;
};

} // namespace kiv::test
