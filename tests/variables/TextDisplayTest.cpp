#include <kiv/Kiv.h>

#include "AllocationCount.h"
#include "Images.h"
#include "TextFixture.h"
#include "platform/FontCatalog.h"
#include "variables/MapTexts.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using kiv::platform::KeyEvent;
using kiv::test::allocations;
using kiv::test::countAllocations;
using kiv::test::Probe;

namespace {

class Texts : public kiv::test::TextScene {
protected:
    // The pixels of the back buffer after drawing `variables` on a cleared one.
    std::vector<std::uint32_t> Picture(std::initializer_list<Probe*> variables) {
        back->Fill(0);
        for (Probe* v : variables)
            v->Draw();
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x)
                pixels.push_back(back->GetPixel(x, y));
        return pixels;
    }
    // The text shown after each of `frames` draws.
    static std::vector<std::string> Shown(Probe& v, int frames) {
        std::vector<std::string> texts;
        for (int frame = 0; frame < frames; ++frame) {
            v.Draw();
            texts.push_back(v.Text() ? v.Text() : "");
        }
        return texts;
    }
    // Pixel width of a text laid out on one line without letter spacing.
    static int WidthOf(const Probe& v, const char* text) {
        int w = 0;
        for (const char* p = text; *p; ++p)
            w += v.Advance(static_cast<unsigned char>(*p));
        return w;
    }
};

KeyEvent Down(unsigned char code) {
    return {code, true};
}
KeyEvent Up(unsigned char code) {
    return {code, false};
}

bool SameClass(char shown, char original) {
    auto cls = [](char c) {
        if (c >= 'A' && c <= 'Z')
            return 1;
        if (c >= 'a' && c <= 'z')
            return 2;
        if (c >= '0' && c <= '9')
            return 3;
        return 0;
    };
    if (cls(original) == 0)
        return shown == original;
    return cls(shown) == cls(original) && shown != 'Z' && shown != 'z';
}

} // namespace

TEST_F(Texts, FontNamesCountOnlyWithARealOrMetricCompatibleFace) {
    auto& catalog = kiv::platform::FontCatalog::Instance();
    for (const char* name :
         {"Arial", "Times New Roman", "Courier New", "liberation sans", "DejaVu Sans", "Impact"})
        EXPECT_TRUE(catalog.Supports(name)) << name;
    // Fontconfig answers these with whatever it has (a dingbat face for Comic Sans here).
    for (const char* name : {"Comic Sans MS", "Xyzzy Grotesk", "Wingdings", ""})
        EXPECT_FALSE(catalog.Supports(name)) << name;

    Probe quiet("x"); // no display yet: the name is kept for later, nothing reported
    quiet.FontName("Xyzzy Grotesk");
    Start();
    EXPECT_EQ(Log().find("not supported"), std::string::npos);

    Probe v("Hello", {10, 10, 200, 60});
    v.Draw();
    EXPECT_GT(Ink(), 0);
    v.FontName("Xyzzy Grotesk");
    EXPECT_STREQ(v.FontName(), "Xyzzy Grotesk"); // kept, though the font is gone
    EXPECT_TRUE(Logged("void Variable::FontName(const char *)",
                       "The font name: Xyzzy Grotesk is not supported."));
    EXPECT_EQ(Picture({&v}), std::vector<std::uint32_t>(320 * 200, 0));
    v.FontName(nullptr);
    EXPECT_STREQ(v.FontName(), "Arial");

    v.Weight(1001);
    EXPECT_TRUE(
        Logged("void Variable::Weight(unsigned int)", "The font weight: 1001 is not supported."));
    v.Weight(400);
    v.Height(2000.0f);
    EXPECT_TRUE(
        Logged("void Variable::Height(unsigned int)", "The font height: 2000 is not supported."));
}

TEST_F(Texts, FontSizesFollowTheWindowSystemRules) {
    Start();
    Probe v("x");
    // Height 16 points at 96 pixels per inch: an em of 21 pixels. Liberation Sans (as
    // Arial) has 2048 units per em, an ascent of 1854 and a descent of 434: 19 + 4 pixels.
    v.Height(16.0f);
    EXPECT_EQ(v.CellHeight('x'), 23);
    EXPECT_EQ(v.CellHeight('X'), 23);
    v.Height(8.0f); // an em of 10: 9 + 2
    EXPECT_EQ(v.CellHeight('x'), 11);

    // The width is the average character width (6 points: 8 pixels), measured as the
    // window system does: lower-case letters and space weighted by their frequency.
    auto average = [&] {
        static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                        56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
        double sum = 0;
        for (int i = 0; i < 27; ++i)
            sum += v.Advance(static_cast<unsigned char>(i < 26 ? 'a' + i : ' ')) * weights[i];
        return sum / 1000;
    };
    v.Height(16.0f);
    v.Width(6);
    EXPECT_NEAR(average(), 8.0, 0.5);
    v.Width(12);
    EXPECT_NEAR(average(), 16.0, 0.5);
    EXPECT_EQ(v.CellHeight('x'), 23); // the height stays
}

TEST_F(Texts, TextIsDrawnInsideItsFrameAtEveryDepth) {
    for (int depth : {8, 16, 24, 32}) {
        Start(depth);
        Probe v("HH HH HH HH", {40, 30, 120, 120});
        v.Draw();
        const kiv::platform::Glyph& h =
            kiv::platform::FontCatalog::Instance()
                .Create({.name = "Arial", .height = -21, .width = -8, .weight = 100})
                ->GetGlyph('H');
        KivRect ink = InkBox();
        EXPECT_EQ(ink.left, 40 + h.left) << depth;
        EXPECT_EQ(ink.top, 30 + h.top) << depth;
        EXPECT_LE(ink.right, 120) << depth;
        EXPECT_LE(ink.bottom, 120) << depth;
        EXPECT_GT(ink.bottom, 30 + 23) << depth; // wrapped onto more than one line
        std::uint32_t white = back->MatchColor(0xFFFFFF);
        for (int y = 0; y < back->Height(); ++y)
            for (int x = 0; x < back->Width(); ++x) {
                if (back->GetPixel(x, y) != 0) {
                    ASSERT_EQ(back->GetPixel(x, y), white) << depth << " at " << x << "," << y;
                }
            }

        // The outline, when shown, is the frame's edge, right and bottom included.
        back->Fill(0);
        v.ShowFrame(0x0000FFu);
        std::uint32_t red = back->MatchColor(0x0000FF);
        EXPECT_EQ(back->GetPixel(40, 30), red);
        EXPECT_EQ(back->GetPixel(120, 120), red);
        EXPECT_EQ(back->GetPixel(80, 120), red);
        EXPECT_EQ(back->GetPixel(80, 80), 0u);
        EXPECT_EQ(Ink(), 2 * 81 + 2 * 89);
        Stop();
    }
}

TEST_F(Texts, WordsWrapWholeOrBreakAtTheFrameEdge) {
    Start();
    Probe words("abc de", {20, 10, 0, 150});
    // The line holds "abc d" but not "abc de".
    const int right = 20 + WidthOf(words, "abc d") + 2;
    words.Frame({20, 10, right, 150});
    const int step = words.CellHeight('x');

    Probe first("abc", {20, 10, right, 150}), second("de", {20, 10 + step, right, 150});
    EXPECT_EQ(Picture({&words}), Picture({&first, &second}));

    Probe characters("abc de", {20, 10, right, 150}, Variable::ConsecutiveCharacters);
    Probe start("abc d", {20, 10, right, 150}), rest("e", {20, 10 + step, right, 150});
    EXPECT_EQ(Picture({&characters}), Picture({&start, &rest}));

    // Line spacing and the top margin move the second line down.
    characters.LineSpacing(5);
    characters.TopMargin(3);
    start.Frame({20, 13, right, 150});
    rest.Frame({20, 13 + step + 5, right, 150});
    EXPECT_EQ(Picture({&characters}), Picture({&start, &rest}));
}

TEST_F(Texts, LeadingSpacesVanishUnlessKeptAndMarginsAndSpacingMoveLetters) {
    Start();
    Probe spaced("  ab", {30, 20, 300, 100});
    Probe plain("ab", {30, 20, 300, 100});
    EXPECT_EQ(Picture({&spaced}), Picture({&plain}));

    spaced.LeadingSpaces(true);
    plain.Frame({30 + 2 * plain.Advance(' '), 20, 300, 100});
    EXPECT_EQ(Picture({&spaced}), Picture({&plain}));

    // Letter spacing goes between letters, the left margin before the first.
    Probe spread("ab", {30, 20, 300, 100});
    spread.LetterSpacing(4);
    spread.LeftMargin(6);
    Probe a("a", {36, 20, 300, 100}), b("b", {36 + a.Advance('a') + 4, 20, 300, 100});
    EXPECT_EQ(Picture({&spread}), Picture({&a, &b}));
}

TEST_F(Texts, WorldAndViewportPlacement) {
    Start();
    level->GetViewPort().WorldXPos(100);
    level->GetViewPort().WorldYPos(50);
    Probe world("WWWW", {130, 60, 250, 120});
    world.InWorld(true);
    world.Draw();
    KivRect ink = InkBox();
    EXPECT_GE(ink.left, 30);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.right, 150);
    EXPECT_LT(ink.left, 40);

    // Outside the viewport: drawn only when not tested against it.
    back->Fill(0);
    world.Frame({500, 300, 600, 360});
    world.ActivateOutOfViewport(false);
    world.Draw();
    EXPECT_EQ(Ink(), 0);
    world.Frame({380, 60, 500, 120}); // straddles the right edge at 320 + 100
    world.Draw();
    EXPECT_GT(Ink(), 0);

    // Centred on the display.
    Probe centred("x");
    centred.Frame({0, 0, 101, 41});
    centred.CenterViewport();
    EXPECT_EQ(centred.Frame().left, 160 - 50);
    EXPECT_EQ(centred.Frame().top, 100 - 20);
    EXPECT_EQ(centred.Frame().right, 160 - 50 + 101);
    centred.Move(-3.9f, 2.5f);
    EXPECT_EQ(centred.Frame().left, 107);
    EXPECT_EQ(centred.Frame().top, 82);
}

TEST_F(Texts, TextsOnAMapMoveWithItAndStayInsideIt) {
    Start();
    kiv::test::WriteSolidImage("Art Assets/Maps/world.bmp", 640, 480, 0u);
    auto* world = new Map("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect);
    level->Add(world);

    Probe t("MMM", {0, 0, 0, 0});
    t.BelongToMap("world");
    EXPECT_EQ(t.Frame().left, 10);
    EXPECT_EQ(t.Frame().top, 10);
    EXPECT_EQ(t.Frame().right, 629);
    EXPECT_EQ(t.Frame().bottom, 469);
    t.Frame({600, 40, 700, 80}); // kept inside the map
    EXPECT_EQ(t.Frame().right, 639);
    t.Frame({50, 40, 150, 80});

    Probe far("far");
    far.Name("far");
    far.Frame({700, 500, 800, 600});
    far.BelongToMap("world");
    EXPECT_TRUE(Logged("void Variable::BelongToMap(char *)",
                       "The frame defined for the text: far is outside of the map: world."));
    far.BelongToMap(nullptr);
    EXPECT_TRUE(
        Logged("void Variable::BelongToMap(char *)", "Cannot assign a text to an unnamed map."));

    // The master map sits at minus the viewport's world position.
    level->GetViewPort().WorldXPos(30);
    level->GetViewPort().WorldYPos(20);
    world->ScrollRatioX(0.5f);
    t.DisplayTextMap();
    KivRect ink = InkBox();
    EXPECT_GE(ink.left, 20);
    EXPECT_LT(ink.left, 25);
    EXPECT_GE(ink.top, 20);
    EXPECT_LE(ink.right, 120);
    EXPECT_EQ(world->ScrollRatioX(), 1.0f); // a map with screen texts moves with the viewport
    back->Fill(0);
    t.DisplayTextNoMap(); // not a text without a map
    EXPECT_EQ(Ink(), 0);

    // The level's texts of a map, listed on the map, drawn before or after its sprites.
    auto* under = new Variable("under");
    under->DisplayType(Variable::RespectingWords);
    under->Color(0xFFFFFF);
    under->BelongToMap("world");
    under->Frame({40, 40, 200, 80});
    auto* over = new Variable(*under);
    *over = "over";
    over->TopMost(true);
    over->Frame({40, 100, 200, 140});
    level->Add(under);
    level->Add(over);
    Variable::UpdateTextMaps();
    ASSERT_EQ(world->ShownVariables().size(), 2u);
    back->Fill(0);
    kiv::DisplayMapTexts(*world, false);
    EXPECT_GT(Ink(0, 20, 320, 60), 0);
    EXPECT_EQ(Ink(0, 60, 320, 200), 0);
    kiv::DisplayMapTexts(*world, true);
    EXPECT_GT(Ink(0, 80, 320, 120), 0);
    back->Fill(0);
    world->Visible(false);
    kiv::DisplayMapTexts(*world, false);
    EXPECT_EQ(Ink(), 0);
}

TEST_F(Texts, OnlyDisplayedVisibleTextsInUseAreDrawn) {
    Start();
    Probe v("shown");
    v.Color(0xFFFFFF);
    v.Frame({10, 10, 200, 60});
    v.DisplayTextNoMap();
    EXPECT_EQ(Ink(), 0); // a new variable is not displayed
    v.DisplayType(Variable::RespectingWords);
    v.DisplayType(static_cast<Variable::DisplayTypes>(5));
    EXPECT_TRUE(Logged("void Variable::DisplayType(DisplayTypes)",
                       "The display type must be selected from the following list: "
                       "RespectingWords, ConsecutiveCharacters, HorizontalScrolling, "
                       "VerticalScrolling or HVScrolling."));
    v.DisplayTextNoMap();
    EXPECT_GT(Ink(), 0); // still respecting words
    back->Fill(0);
    v.Unused(true);
    v.DisplayTextNoMap();
    v.Unused(false);
    v.Visible(false);
    v.DisplayTextNoMap();
    EXPECT_EQ(Ink(), 0);
    v.LetterSound("beep");
    EXPECT_TRUE(
        Logged("void Variable::LetterSound(const char *)", "The sound file beep does not exist."));
    v.Effect(static_cast<Variable::EffectType>(6));
    EXPECT_TRUE(Logged("void Variable::Effect(EffectType)",
                       "The effect type must be selected from the following list: "
                       "CharacterByCharacterEffect, LineByLineEffect, ASCIIEffect, "
                       "RandomDecoding, SequentialDecoding."));

    // The level draws its texts without a map: here its frame-rate display, when shown.
    Variable* fps = Variable::Search("FPS");
    ASSERT_NE(fps, nullptr);
    back->Fill(0);
    level->DisplayTextNoMap();
    EXPECT_EQ(Ink(), 0);
    fps->Visible(true);
    level->DisplayTextNoMap();
    KivRect ink = InkBox();
    EXPECT_GT(Ink(), 0);
    EXPECT_GE(ink.left, 160 - 75);
    EXPECT_LE(ink.right, 160 + 75);
    EXPECT_LE(ink.bottom, 40);
    EXPECT_EQ(Ink(0, 0, 160 - 75, 200), 0);
}

TEST_F(Texts, VerticalScrollingFollowsTheKeysAndShowsItsArrows) {
    Start();
    UseKeyboard();
    Probe v("l0\nl1\nl2\nl3\nl4\nl5", {20, 20, 200, 0}, Variable::VerticalScrolling);
    const int step = v.CellHeight('x');
    v.Frame({20, 20, 200, 20 + 3 * step + 16 + 2}); // three lines and the arrows' strip
    v.VDeltaScroll(1);
    v.ArrowsColor(0x00FF00);
    const std::uint32_t green = back->MatchColor(0x00FF00);
    auto arrowInk = [&](int left, int right) {
        int n = 0;
        for (int y = 20 + 3 * step; y < v.Frame().bottom + 1; ++y)
            for (int x = left; x < right; ++x)
                n += back->GetPixel(x, y) == green;
        return n;
    };
    const int centre = (20 + 200) / 2;

    Picture({&v});
    EXPECT_EQ(v.m_VisibleLines, 3);
    EXPECT_EQ(v.m_NumberOfLines, 6);
    EXPECT_GT(arrowInk(centre, 200), 0); // down
    EXPECT_EQ(arrowInk(20, centre), 0);  // no up arrow at the top

    Probe l1("l1", {20, 20, 200, 200}), l2("l2", {20, 20 + step, 200, 200}),
        l3("l3", {20, 20 + 2 * step, 200, 200});
    std::vector<std::uint32_t> expected = Picture({&l1, &l2, &l3});

    Keys({Down(DIK_NUMPAD2)}); // the down key, held
    std::vector<std::uint32_t> shown = Picture({&v});
    EXPECT_EQ(v.m_VScrollPosition, 1);
    // The text area shows lines 1 to 3.
    for (int y = 0; y < 20 + 3 * step; ++y)
        for (int x = 0; x < 320; ++x)
            ASSERT_EQ(shown[static_cast<size_t>(y) * 320 + x],
                      expected[static_cast<size_t>(y) * 320 + x]);
    EXPECT_GT(arrowInk(20, centre), 0); // up

    for (int frame = 0; frame < 5; ++frame) { // held: one line per frame, to the last page
        Keys({});
        Picture({&v});
    }
    EXPECT_EQ(v.m_VScrollPosition, 3);
    EXPECT_EQ(arrowInk(centre, 200), 0); // the last page: no down arrow

    Keys({Up(DIK_NUMPAD2)});
    v.VScrollTriggered(true);
    Keys({Down(DIK_NUMPAD5)}); // up is 76, the 5 of the keypad
    Picture({&v});
    Keys({});
    Picture({&v});
    EXPECT_EQ(v.m_VScrollPosition, 2); // triggered: once per press

    v = "new text"; // a new value starts from the top
    EXPECT_EQ(v.m_VScrollPosition, 0);
}

TEST_F(Texts, HorizontalScrollingStartsItsLinesFurtherIn) {
    Start();
    UseKeyboard();
    Probe v("abcdefghijklmnopqrstuvwxyz\n0123456789012345678901234", {10, 10, 110, 120},
            Variable::HorizontalScrolling);
    v.HDeltaScroll(5);
    Keys({Down(DIK_NUMPAD6)}); // the right key
    Picture({&v});             // the first step is held to the starting limit of 1
    EXPECT_EQ(v.m_HScrollPosition, 1);
    EXPECT_EQ(v.m_NumberOfLines, 2);
    Keys({});
    Picture({&v});
    EXPECT_EQ(v.m_HScrollPosition, 6);
    Keys({Up(DIK_NUMPAD6)});

    Probe g("ghijklmnopqrstuvwxyz\n6789012345678901234", {10, 10, 110, 120},
            Variable::HorizontalScrolling);
    std::vector<std::uint32_t> scrolled = Picture({&v}), expected = Picture({&g});
    // The text area, above the arrows' strip.
    const size_t area = static_cast<size_t>(120 - 1 - 16) * 320;
    EXPECT_TRUE(
        std::equal(scrolled.begin(), scrolled.begin() + static_cast<long>(area), expected.begin()));
    EXPECT_GT(std::count(scrolled.begin(), scrolled.begin() + static_cast<long>(area), 0xFFFFFFu),
              0);
}

TEST_F(Texts, TheTypewriterShowsOneMoreCharacterEveryDelay) {
    Start();
    Probe v("Hi you", {10, 10, 300, 100});
    v.Delay(3, 0);
    v.Effect(Variable::CharacterByCharacterEffect);
    std::vector<std::string> texts = Shown(v, 20);
    EXPECT_EQ(texts[0], "");
    EXPECT_EQ(texts[1], "");
    EXPECT_EQ(texts[2], "H");
    EXPECT_EQ(texts[4], "H");
    EXPECT_EQ(texts[5], "Hi");
    EXPECT_EQ(texts[14], "Hi yo");
    EXPECT_EQ(texts[17], "Hi you");
    EXPECT_TRUE(v.m_EffectDone);

    Probe whole("Hi you", {10, 10, 300, 100});
    EXPECT_EQ(Picture({&v}), Picture({&whole}));

    // A word being typed is placed where the whole word goes: "bbbb" does not fit after
    // "aa ", so its first letters already start the second line.
    Probe typed("aa bbbb", {10, 10, 0, 100});
    const int right = 10 + WidthOf(typed, "aa bb") + 2;
    typed.Frame({10, 10, right, 100});
    typed.Delay(1, 0);
    typed.Effect(Variable::CharacterByCharacterEffect);
    for (int frame = 0; frame < 4; ++frame)
        typed.Draw();
    Probe aa("aa", {10, 10, right, 100}), bb("bb", {10, 10 + typed.CellHeight('x'), right, 100});
    std::vector<std::uint32_t> expected = Picture({&aa, &bb});
    EXPECT_EQ(Picture({&typed}), expected); // the fifth letter
    EXPECT_STREQ(typed.Text(), "aa bb");

    // A paused variable's effect stands still; a typewriter without a delay shows nothing.
    Probe frozen("abc", {10, 10, 300, 100});
    frozen.Delay(1, 0);
    frozen.Effect(Variable::CharacterByCharacterEffect);
    frozen.Pause(true);
    Picture({&frozen});
    EXPECT_EQ(frozen.Text(), nullptr);
    Probe hidden("abc", {10, 10, 300, 100});
    hidden.Effect(Variable::CharacterByCharacterEffect);
    for (int frame = 0; frame < 10; ++frame)
        Picture({&hidden});
    EXPECT_EQ(Ink(), 0);
}

TEST_F(Texts, LinesAppearOneByOne) {
    Start();
    Probe v("one\ntwo\nsix", {10, 10, 300, 150});
    v.Delay(2, 0);
    v.Effect(Variable::LineByLineEffect);
    EXPECT_EQ(Shown(v, 6), (std::vector<std::string>{"", "one\n", "one\n", "one\ntwo\n",
                                                     "one\ntwo\n", "one\ntwo\nsix"}));
    EXPECT_TRUE(v.m_EffectDone);
}

TEST_F(Texts, ScramblingEffectsKeepTheKindOfEachCharacterAndEndOnTheText) {
    Start();
    const std::string original = "Ab 19, Zz!";
    Probe ascii(original.c_str(), {10, 10, 300, 100});
    ascii.Effect(Variable::ASCIIEffect); // without delays: the text stays whole
    EXPECT_EQ(std::string(ascii.Text()), original);
    ascii.Delay(1, 3);
    ascii.Effect(Variable::ASCIIEffect);
    for (int step = 1; step <= 2; ++step) {
        ascii.Draw();
        std::string shown = ascii.Text();
        ASSERT_EQ(shown.size(), original.size());
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_TRUE(SameClass(shown[i], original[i])) << shown;
    }
    ascii.Draw();
    EXPECT_EQ(std::string(ascii.Text()), original);
    EXPECT_TRUE(ascii.m_EffectDone);

    // Sequential decoding settles the letters and digits from the first on, one per step;
    // the space and the punctuation leave silently.
    Probe sequential("AB 12", {10, 10, 300, 100});
    sequential.Delay(1, 1);
    sequential.Effect(Variable::SequentialDecoding);
    const std::string settled[] = {"A", "AB", "AB 1"};
    for (const std::string& prefix : settled) {
        sequential.Draw();
        std::string shown = sequential.Text();
        EXPECT_EQ(shown.substr(0, prefix.size()), prefix);
        for (size_t i = prefix.size(); i < shown.size(); ++i)
            EXPECT_TRUE(SameClass(shown[i], "AB 12"[i]));
    }
    sequential.Draw();
    EXPECT_STREQ(sequential.Text(), "AB 12");
    EXPECT_TRUE(sequential.m_EffectDone);

    // Random decoding settles one letter or digit per line delay, in any order.
    Probe random("ABC 123", {10, 10, 300, 100});
    random.Delay(1, 2);
    random.Effect(Variable::RandomDecoding);
    int steps = 0;
    while (!random.m_EffectDone && steps < 100) {
        random.Draw();
        ++steps;
    }
    EXPECT_GE(steps, 2 * 6);
    EXPECT_LE(steps, 2 * 7);
    EXPECT_STREQ(random.Text(), "ABC 123");

    // A new value restarts a running effect on it.
    Probe restart("first", {10, 10, 300, 100});
    restart.Delay(1, 0);
    restart.Effect(Variable::CharacterByCharacterEffect);
    restart.Draw();
    restart.Draw();
    EXPECT_STREQ(restart.Text(), "fi");
    restart = "second";
    restart.Draw();
    EXPECT_STREQ(restart.Text(), "s");
}

TEST_F(Texts, TheConsoleShowsUserErrorsOnScreenAtItsLastLine) {
    Start(16, 480, 300);
    delete pConsole;
    auto* console = new kiv::test::ConsoleProbe;
    pConsole = console;
    pConsole->Show(false);
    pConsole->Color(0xFFFFFF);
    pConsole->Display();
    EXPECT_EQ(Ink(), 0); // hidden

    Variable::Search("nothing by this name");
    EXPECT_TRUE(pConsole->Show());
    pConsole->Display();
    KivRect ink = InkBox();
    EXPECT_GT(Ink(), 0);
    EXPECT_GE(ink.left, 5);
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.right, 400);
    EXPECT_LE(ink.bottom, 200);

    for (int i = 0; i < 40; ++i)
        pConsole->Print("line %d\n", i);
    back->Fill(0);
    pConsole->Display();
    EXPECT_GT(console->m_VScrollPosition, 0);
    EXPECT_EQ(console->m_VScrollPosition, console->m_NumberOfLines - console->m_VisibleLines);
    // The bottom of the text area carries the last lines.
    const int lineHeight = 11;
    const int textBottom = 5 + console->m_VisibleLines * lineHeight;
    EXPECT_GT(Ink(5, textBottom - lineHeight, 400, textBottom), 0);
}

TEST_F(Texts, DrawingAndChangingTextsAllocatesNothingOnceRunning) {
    Start();
    UseKeyboard();
    auto add = [&](const char* text, Variable::DisplayTypes type, KivRect frame) {
        auto* v = new Variable(text);
        v->DisplayType(type);
        v->Color(0xFFFFFF);
        v->Frame(frame);
        v->VDeltaScroll(1);
        v->HDeltaScroll(1);
        level->Add(v);
        return v;
    };
    const char* lines = "first line of text\nsecond line\nthird\nfourth\nfifth\nsixth";
    Variable* score = add("0", Variable::RespectingWords, {0, 0, 100, 30});
    add(lines, Variable::VerticalScrolling, {0, 40, 150, 110});
    add(lines, Variable::HorizontalScrolling, {160, 40, 220, 110});
    add(lines, Variable::HVScrolling, {230, 40, 300, 110});
    Variable* typed = add(lines, Variable::ConsecutiveCharacters, {0, 120, 150, 190});
    typed->Delay(1, 0);
    typed->Effect(Variable::CharacterByCharacterEffect);
    Variable* decoded = add(lines, Variable::RespectingWords, {160, 120, 300, 190});
    decoded->Delay(1, 1);
    decoded->Effect(Variable::RandomDecoding);
    pConsole->Print("a line for the console\n");
    pConsole->Show(true);
    auto frame = [&](int i) {
        *score = static_cast<double>(i * 7);
        level->DisplayTextNoMap();
        pConsole->Display();
    };
    for (int i = 0; i < 3; ++i)
        frame(i);
    Keys({Down(DIK_NUMPAD2), Down(DIK_NUMPAD6)});
    allocations = 0;
    for (int i = 3; i < 40; ++i) {
        countAllocations = true;
        frame(i);
        countAllocations = false;
        Keys({});
    }
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(Ink(), 0);
}

TEST_F(Texts, AFrameSpanningTheWholeIntegerRangeIsMeasuredWithoutOverflow) {
    Start();
    const int most = 2147483647;
    Probe v("wide", {-most, -most, most, most});
    v.Draw(); // from its top left, far off the screen: nothing shows
    EXPECT_EQ(Ink(), 0);
    EXPECT_EQ(v.m_VisibleLines, 2LL * most / v.CellHeight('x'));
    v.CenterViewport(); // a frame 2^32 - 2 wide is centred on the 320 x 200 display
    EXPECT_EQ(v.Frame().left, 160 - (most - 0));
    EXPECT_EQ(v.Frame().right, most); // as far as 32 bits go
    v.Move(1e30f, -1e30f);
    EXPECT_LE(v.Frame().left, v.Frame().right);
    EXPECT_LE(v.Frame().top, v.Frame().bottom);
}
