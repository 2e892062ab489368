#include <kiv/Kiv.h>

#include "Records.h"
#include "SaveTo.h"
#include "TextFixture.h"
#include "variables/TextRecord.h"

#include <cstring>

using kiv::test::Probe;

namespace {

// A level without a display: variables keep their font settings for later.
class Variables : public kiv::test::TextScene {
protected:
    void SetUp() override {
        TextScene::SetUp();
        SetMode(640, 480, 16);
        level = new GameNode;
        gNode = level;
        pConsole = new Console;
    }
    Variable* Add(const char* name, bool unused = false) {
        auto* v = new Variable(name);
        v->Name(name);
        v->Unused(unused);
        level->Add(v);
        return v;
    }
};

std::string Shown(const Variable& v) {
    return v.Text() ? v.Text() : "<null>";
}

} // namespace

TEST_F(Variables, SearchFindsByExactNameAndHandlesFallBackToTheDefault) {
    Variable* score = Add("score");
    Add("Score");
    EXPECT_EQ(Variable::Search("score"), score);
    EXPECT_EQ(VariablePTR("score"), score);
    EXPECT_EQ(Variable::Search("nope"), nullptr);
    EXPECT_TRUE(Logged("Variable* Variable::Search(char *)", "Variable nope not found."));

    VariablePTR missing("nope");
    EXPECT_EQ(static_cast<Variable*>(missing), &VariablePTR::dummyVariablePtr);
    VariablePTR handle(score);
    handle = static_cast<Variable*>(nullptr);
    EXPECT_EQ(static_cast<Variable*>(handle), score);
    EXPECT_EQ(VariablePTR(static_cast<Variable*>(nullptr)), &VariablePTR::dummyVariablePtr);
}

TEST_F(Variables, UseHandsOutTheUnusedVariablesOfANameOneByOne) {
    Add("spare", true);
    Add("spare", false);
    Add("spare", true);
    auto unusedInOrder = [&] {
        std::string flags;
        for (node* n = level->Variables().Head(); !n->EOList(); n = n->Next())
            if (std::strcmp(static_cast<Variable*>(n)->Name(), "spare") == 0)
                flags += static_cast<Variable*>(n)->Unused() ? 'u' : '-';
        return flags;
    };
    EXPECT_EQ(unusedInOrder(), "u-u");
    Variable().Use("spare");
    EXPECT_EQ(unusedInOrder(), "--u");
    Variable().Use("spare");
    EXPECT_EQ(unusedInOrder(), "---");
    Variable().Use("spare");
    EXPECT_TRUE(Logged("void Variable::Use(char *)", "Variable spare not found."));
}

TEST_F(Variables, TextFilesLoadWithTabsWidenedAndSaveTheShownText) {
    WriteBytes("tab.txt", {'\t', 'A'});
    Probe v;
    ASSERT_TRUE(v.LoadTextFile("tab.txt"));
    EXPECT_EQ(Shown(v), std::string(16, ' ') + "A");
    EXPECT_EQ(v.m_TextLength, 17u);
    EXPECT_TRUE(v == (std::string(16, ' ') + "A").c_str()); // the value is the text

    WriteBytes("Data/Lines.TXT", {'o', 'n', 'e', '\r', '\n', 't', 'w', 'o', '\r', '\n', 0x1A, 'x'});
    ASSERT_TRUE(v.LoadTextFile("data\\lines.txt")); // Windows separators, any case
    EXPECT_EQ(Shown(v), "one\ntwo\n");

    WriteBytes("empty.txt", {});
    EXPECT_FALSE(v.LoadTextFile("empty.txt"));
    EXPECT_FALSE(v.LoadTextFile("missing.txt"));
    EXPECT_EQ(v.m_TextLength, 8u); // kept from the last good file
    EXPECT_TRUE(
        Logged("bool Variable::LoadTextFile(char *)", "Cannot load the text file: missing.txt."));

    v = "saved\ntext";
    v.Save("out.txt");
    EXPECT_EQ(ReadText("out.txt"), "saved\ntext");
    v = static_cast<void*>(nullptr); // nothing shown: the file is emptied
    v.Save("out.txt");
    EXPECT_EQ(ReadText("out.txt"), "");
}

TEST_F(Variables, LocalVariablesAndCopiesIntoTheLevel) {
    Variable v(2.0);
    v.AddLocalVariable(5);
    EXPECT_TRUE(Logged("void Variable::AddLocalVariable(unsigned int index)",
                       "The local variable 5 cannot be found."));

    v.Name("copy me");
    int before = level->Variables().Count();
    Variable* copy = v.CreateVariable();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(level->Variables().Count(), before + 1);
    EXPECT_EQ(level->Variables().Head(), copy);
    EXPECT_STREQ(copy->Name(), "copy me");
    EXPECT_EQ(Shown(*copy), "2");
    gNode = nullptr;
    EXPECT_EQ(v.CreateText(), nullptr);
    gNode = level;
}

TEST_F(Variables, TheSavedRecordLaysItsFieldsOutInOrderAndReadsBack) {
    Probe v(12.5);
    v.Name("FPS");
    v.OnlyIntegerPart(false);
    v.Id(7);
    v.FontName("Courier New");
    v.Height(11.0f);
    v.Weight(700);
    v.Italic(true);
    v.Color(0x00112233);
    v.FrameColor(0x00445566);
    v.Frame({3, 4, 150, 90});
    v.DisplayType(Variable::HVScrolling);
    v.HScrollRightKey(205);
    v.VScrollDownKey(208);
    v.HScrollTriggered(true);
    v.LineSpacing(2);
    v.LetterSpacing(1);
    v.TopMost(true);
    v.Delay(4, 2);
    v.Effect(Variable::SequentialDecoding);
    kiv::test::SaveTo("variable.rec", v);

    // The record, field by field, at the widths of the file format.
    std::vector<unsigned char> bytes = ReadBytes("variable.rec");
    kiv::test::SaveTo("behavior.rec", Behavior());
    const size_t behavior = ReadBytes("behavior.rec").size();
    size_t at = behavior;
    auto i32 = [&](size_t p) {
        std::int32_t x;
        std::memcpy(&x, &bytes[p], 4);
        return x;
    };
    EXPECT_EQ(i32(at), 3); // name
    EXPECT_EQ(std::string(bytes.begin() + static_cast<long>(at) + 4,
                          bytes.begin() + static_cast<long>(at) + 7),
              "FPS");
    at += 4 + 3;
    EXPECT_EQ(i32(at), 0); // a number
    double number;
    std::memcpy(&number, &bytes[at + 4], 8);
    EXPECT_EQ(number, 12.5);
    at += 4 + 8 + 2;       // value, integer-part and pause flags
    EXPECT_EQ(i32(at), 7); // id
    at += 4;
    EXPECT_STREQ(reinterpret_cast<const char*>(&bytes[at]), "12.500000"); // number text
    at += 50 + 1 + 2;       // map flag, in world, visible
    EXPECT_EQ(i32(at), 11); // "Courier New"
    at += 4 + 11;
    const size_t fontFields = at;
    EXPECT_EQ(i32(fontFields + 8), 700); // weight after width and height
    const size_t frame = fontFields + 24 + 4 + 16 + 8 + 1 + 16 + 1 + 12;
    EXPECT_EQ(i32(frame), 3);
    EXPECT_EQ(i32(frame + 12), 90);
    const size_t types = frame + 16 + 4 * 16 + 8 * 4 + 4 + 1 + 8;
    EXPECT_EQ(i32(types), Variable::HVScrolling);
    EXPECT_EQ(i32(types + 4), Variable::SequentialDecoding);
    EXPECT_EQ(i32(types + 8), 205); // right key first
    const size_t end = types + 8 + 16 + 3 + 8 + 2 + 16 + 4 + 1 + 1 + 2 + 12 + 4 + 4;
    EXPECT_EQ(bytes.size(), end); // the last field: a null local-variable object

    Probe back;
    {
        File in("variable.rec", File::Reading);
        back.Load(in);
    }
    EXPECT_STREQ(back.Name(), "FPS_COPY"); // the level has its own frame-rate variable
    EXPECT_TRUE(back == 12.5f);
    EXPECT_EQ(back.Text(), nullptr); // a decoding effect builds its text at its next step
    EXPECT_STREQ(back.FontName(), "Courier New");
    EXPECT_EQ(back.Weight(), 700u);
    EXPECT_TRUE(back.Italic());
    EXPECT_EQ(back.Color(), 0x00112233u);
    EXPECT_EQ(back.FrameColor(), 0x00445566u);
    EXPECT_EQ(back.Frame().right, 150);
    EXPECT_EQ(back.LineSpacing(), 2);
    EXPECT_TRUE(back.TopMost());
    EXPECT_FALSE(back.m_EffectDone);
    ASSERT_NE(back.m_FullText, nullptr); // the effect goes on from the loaded value
    EXPECT_STREQ(back.m_FullText, "12.500000");

    // A text value, and one without text.
    Variable text("a\xE9z");
    Variable nothing(static_cast<const char*>(nullptr));
    {
        File out("texts.rec", File::Writing);
        text.Save(out);
        nothing.Save(out);
    }
    Variable a, b;
    File in("texts.rec", File::Reading);
    a.Load(in);
    b.Load(in);
    EXPECT_EQ(Shown(a), "a\xE9z");
    EXPECT_TRUE(!b);
    EXPECT_EQ(b.Text(), nullptr);
}

TEST_F(Variables, TheDataCompilersTextEntryReadsIntoALevelText) {
    // The compiler's own layout of the level record's text section makes the bytes.
    const kiv::tools::Item* texts = nullptr;
    for (const kiv::tools::Item& item : kiv::tools::LevelRecord())
        if (item.key == "texts")
            texts = &item;
    ASSERT_NE(texts, nullptr);
    WriteBytes("notes.txt", {'n', 'o', 't', 'e'});
    kiv::tools::Json description = kiv::tools::Json::parse(R"({"texts": [
      {"name": "score", "fontName": "Times New Roman", "width": 7, "height": 12.0, "weight": 700,
       "color": 255, "underline": true, "frame": {"left": 10, "top": 20, "right": 200, "bottom": 80},
       "showFrame": true, "inWorld": true, "activateOutOfViewport": false,
       "displayType": "verticalScrolling", "vScrollUpKey": 200, "vScrollDownKey": 208,
       "vDeltaScroll": 2, "arrowsSize": 9, "arrowsColor": 65280, "topMargin": 3, "letterSpacing": 1,
       "effect": "characterByCharacter", "characterDelay": 3, "isText": true, "value": "hello",
       "pause": true},
      {"name": "notes", "unused": true, "onMap": true, "map": "nowhere", "topMost": true,
       "textFromFile": true, "textFile": "notes.txt"},
      {"name": "centred", "frame": {"left": 0, "top": 0, "right": 100, "bottom": 40},
       "centerViewport": true, "isText": false, "value": 2.5, "onlyIntegerPart": false}]})");
    std::vector<unsigned char> bytes;
    kiv::tools::Compile({*texts}, description, bytes, "level");
    WriteBytes("texts.bin", bytes);

    File in("texts.bin", File::Reading);
    int count = 0;
    in.Read(count);
    ASSERT_EQ(count, 3);
    for (int i = 0; i < count; ++i)
        kiv::ReadTextVariable(in, *level);
    EXPECT_TRUE(in.EndOfFile() || in.Position() == in.Size());

    Variable* score = Variable::Search("score");
    ASSERT_NE(score, nullptr);
    EXPECT_STREQ(score->FontName(), "Times New Roman");
    EXPECT_EQ(score->Width(), 7u);
    EXPECT_EQ(score->Height(), 12.0f);
    EXPECT_EQ(score->Weight(), 700u);
    EXPECT_EQ(score->Color(), 0x0000FFu);
    EXPECT_TRUE(score->Underline());
    EXPECT_FALSE(score->Italic());
    EXPECT_EQ(score->Frame().bottom, 80);
    EXPECT_TRUE(score->ShowFrame());
    EXPECT_TRUE(score->InWorld());
    EXPECT_EQ(score->ArrowsSize(), 9u);
    EXPECT_EQ(score->ArrowsColor(), 0x00FF00u);
    EXPECT_EQ(score->LetterSpacing(), 1);
    EXPECT_TRUE(score->Pause());
    EXPECT_EQ(score->Text(), nullptr); // the typewriter effect waits for its first step
    EXPECT_TRUE(*score == "hello");

    Variable* notes = Variable::Search("notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_TRUE(notes->Unused());
    EXPECT_TRUE(notes->TopMost());
    EXPECT_EQ(Shown(*notes), "note");
    EXPECT_TRUE(Logged("void Variable::BelongToMap(char *)", "Map nowhere not found."));

    Variable* centred = Variable::Search("centred");
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(Shown(*centred), "2.500000");
    // Centred in the 640 × 480 display mode.
    EXPECT_EQ(centred->Frame().left, 270);
    EXPECT_EQ(centred->Frame().top, 220);
    EXPECT_EQ(centred->Frame().right, 370);
}
