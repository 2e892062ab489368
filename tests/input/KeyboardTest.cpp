#include <kiv/Kiv.h>

#include "Scratch.h"
#include "input/DirectInputState.h"
#include "platform/headless/HeadlessPlatform.h"

#include <cstring>
#include <initializer_list>
#include <string>

using kiv::platform::KeyEvent;

namespace {

KeyEvent Down(unsigned char code) {
    return {code, true};
}
KeyEvent Up(unsigned char code) {
    return {code, false};
}

class Keys : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        input = &Headless().input;
        keyboard = new Keyboard(window, nullptr);
    }
    void TearDown() override {
        delete keyboard;
        Scratch::TearDown();
    }

    // One frame: the events arrive, the keyboard reads them.
    unsigned int Frame(std::initializer_list<KeyEvent> events = {}) {
        for (const KeyEvent& e : events)
            input->Push(e);
        unsigned char* out = records;
        unsigned int n = keyboard->Update(out);
        EXPECT_EQ(out, records);
        return n;
    }

    // Presses and releases a key over two frames; returns what was typed on the press.
    std::string Type(unsigned char code) {
        Frame({Down(code)});
        std::string typed = keyboard->GetCharAsString();
        Frame({Up(code)});
        return typed;
    }

    // Presses a key over one frame, edits `text` by it, then releases the key.
    unsigned int Edit(char* text, unsigned int maxLength, unsigned char code) {
        Frame({Down(code)});
        unsigned int result = keyboard->GetString(text, maxLength);
        Frame({Up(code)});
        return result;
    }

    HWND window = reinterpret_cast<HWND>(0x1234);
    kiv::platform::headless::ScriptedInput* input = nullptr;
    Keyboard* keyboard = nullptr;
    unsigned char records[512];
};

} // namespace

TEST_F(Keys, HeldKeyTriggersOnceAndCountsItsFrames) {
    EXPECT_TRUE(input->Acquired()); // made keyboards read at once
    EXPECT_TRUE(keyboard->Nothing());

    Frame({Down(DIK_LEFT)});
    EXPECT_TRUE(keyboard->IsTriggered(DIK_LEFT));
    EXPECT_TRUE(keyboard->IsPressed(DIK_LEFT));
    EXPECT_EQ(keyboard->HoldCounter(DIK_LEFT), 1u);
    for (unsigned int frame = 2; frame <= 3; ++frame) {
        Frame(); // no events: the key stays down
        EXPECT_TRUE(keyboard->IsNotTriggered(DIK_LEFT));
        EXPECT_TRUE(keyboard->IsPressed(DIK_LEFT));
        EXPECT_EQ(keyboard->HoldCounter(DIK_LEFT), frame);
    }
    EXPECT_TRUE(keyboard->Any());
    EXPECT_TRUE(keyboard->IsNotPressed(DIK_RIGHT));

    Frame({Up(DIK_LEFT)});
    EXPECT_TRUE(keyboard->IsNotPressed(DIK_LEFT));
    EXPECT_EQ(keyboard->HoldCounter(DIK_LEFT), 0u);
    EXPECT_TRUE(keyboard->Nothing());
    EXPECT_FALSE(keyboard->Any());
}

TEST_F(Keys, TapCounterGivesTheGapBeforeAPressOnce) {
    Frame({Down(DIK_SPACE)});
    Frame({Up(DIK_SPACE)});
    for (int i = 0; i < 4; ++i)
        Frame();
    EXPECT_EQ(keyboard->TapCounter(DIK_SPACE), 5u); // up: frames since release, not reset
    EXPECT_EQ(keyboard->TapCounter(DIK_SPACE), 5u);

    Frame({Down(DIK_SPACE)});
    EXPECT_EQ(keyboard->TapCounter(DIK_SPACE), 5u);
    Frame();
    EXPECT_EQ(keyboard->TapCounter(DIK_SPACE), 0u);

    // A press whose count nobody reads leaves the gaps adding up until the next read.
    Frame({Up(DIK_SPACE)});
    Frame();
    Frame({Down(DIK_SPACE)});
    Frame({Up(DIK_SPACE)});
    Frame();
    Frame();
    Frame({Down(DIK_SPACE)});
    EXPECT_EQ(keyboard->TapCounter(DIK_SPACE), 5u); // 2 + 3 frames up
}

TEST_F(Keys, UpdateWritesOneRecordPerEventAndClearsTheRest) {
    std::memset(records, 0xFF, sizeof records);
    EXPECT_EQ(Frame({Down(DIK_A), Down(DIK_RCONTROL), Up(DIK_A)}), 3u);
    const unsigned char expected[] = {DIK_A, 1, DIK_RCONTROL, 1, DIK_A, 0};
    EXPECT_EQ(std::memcmp(records, expected, sizeof expected), 0);
    for (size_t i = sizeof expected; i < sizeof records; ++i)
        ASSERT_EQ(records[i], 0) << "byte " << i;

    // A key pressed and released within one frame shows in the records only.
    EXPECT_TRUE(keyboard->IsNotPressed(DIK_A));
    EXPECT_TRUE(keyboard->IsNotTriggered(DIK_A));
    EXPECT_TRUE(keyboard->IsTriggered(DIK_RCONTROL));

    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(records[0], 0);
}

TEST_F(Keys, LostDeviceClearsTheKeysAndIsAcquiredAgain) {
    Frame({Down(DIK_W)});
    Frame();
    input->Push(Down(DIK_S));
    input->LoseDevice();
    EXPECT_EQ(Frame(), 0u);
    EXPECT_TRUE(keyboard->IsNotPressed(DIK_W));
    EXPECT_EQ(keyboard->HoldCounter(DIK_W), 0u);
    EXPECT_EQ(keyboard->TapCounter(DIK_W), 0u);
    EXPECT_TRUE(input->Acquired());

    EXPECT_EQ(Frame({Down(DIK_D)}), 1u);
    EXPECT_TRUE(keyboard->IsTriggered(DIK_D));
    EXPECT_TRUE(keyboard->IsNotPressed(DIK_S)); // lost with the device
}

TEST_F(Keys, StoppedKeyboardReadsNothingAndForgetsItsKeys) {
    Frame({Down(DIK_ESCAPE)});
    keyboard->StopReceivingData();
    EXPECT_FALSE(input->Acquired());
    EXPECT_EQ(Frame({Down(DIK_Q)}), 0u);
    EXPECT_TRUE(keyboard->Nothing());
    EXPECT_FALSE(input->Acquired()); // stays stopped until asked

    keyboard->StartReceivingData();
    EXPECT_EQ(Frame({Down(DIK_Q)}), 1u);
    EXPECT_TRUE(keyboard->IsTriggered(DIK_Q));
}

TEST_F(Keys, GetKeyGivesTheLowestTriggeredCode) {
    unsigned char k = 0xEE;
    EXPECT_FALSE(keyboard->GetKey(k));
    EXPECT_EQ(k, 0xEE);

    Frame({Down(DIK_DELETE), Down(DIK_D), Down(DIK_A)});
    ASSERT_TRUE(keyboard->GetKey(k));
    EXPECT_EQ(k, DIK_A);

    Frame({Down(DIK_1)}); // the others are held now, no longer triggered
    ASSERT_TRUE(keyboard->GetKey(k));
    EXPECT_EQ(k, DIK_1);
    Frame();
    EXPECT_FALSE(keyboard->GetKey(k));
}

TEST_F(Keys, LettersFollowCapsLockExclusiveOrShift) {
    input->SetLocks(false, true);
    EXPECT_EQ(Type(DIK_Q), "q");
    input->SetLocks(true, true);
    EXPECT_EQ(Type(DIK_Q), "Q");
    Frame({Down(DIK_LSHIFT)});
    EXPECT_EQ(Type(DIK_M), "m"); // Caps Lock and Shift cancel out
    input->SetLocks(false, true);
    EXPECT_EQ(Type(DIK_M), "M");
    Frame({Up(DIK_LSHIFT), Down(DIK_RSHIFT)});
    EXPECT_EQ(Type(DIK_Z), "Z");
}

TEST_F(Keys, ShiftGivesTheUsSymbolsAndCapsLockDoesNot) {
    input->SetLocks(true, true);
    EXPECT_EQ(Type(DIK_1), "1");
    EXPECT_EQ(Type(DIK_SLASH), "/");
    EXPECT_EQ(Type(DIK_GRAVE), "`");
    Frame({Down(DIK_LSHIFT)});
    std::string shifted;
    for (unsigned char code :
         {DIK_1, DIK_0, DIK_MINUS, DIK_EQUALS, DIK_LBRACKET, DIK_RBRACKET, DIK_SEMICOLON,
          DIK_APOSTROPHE, DIK_GRAVE, DIK_BACKSLASH, DIK_COMMA, DIK_PERIOD, DIK_SLASH})
        shifted += Type(code);
    EXPECT_EQ(shifted, "!)_+{}:\"~|<>?");
}

TEST_F(Keys, KeypadDigitsNeedNumLockButItsOperatorsDoNot) {
    input->SetLocks(false, true);
    EXPECT_EQ(Type(DIK_NUMPAD7), "7");
    EXPECT_EQ(Type(DIK_DECIMAL), ".");
    EXPECT_EQ(Type(DIK_NUMPAD0), "0");
    input->SetLocks(false, false);
    EXPECT_EQ(Type(DIK_NUMPAD7), "0"); // no character: the last one comes back
    EXPECT_EQ(Type(DIK_ADD), "+");
    EXPECT_EQ(Type(DIK_NUMPAD3), "+");
    EXPECT_EQ(Type(DIK_DIVIDE), "/");
    EXPECT_EQ(Type(DIK_NUMPADENTER), "\n");
    EXPECT_EQ(Type(DIK_TAB), "\t");
    EXPECT_EQ(Type(DIK_F1), "\t");
    Frame();
    EXPECT_STREQ(keyboard->GetCharAsString(), ""); // nothing went down
}

TEST_F(Keys, GetStringStopsAtTheLimitButStillHonoursBackspaceAndReturn) {
    char text[8] = "";
    EXPECT_EQ(Edit(text, 3, DIK_BACK), 0u); // nothing to remove
    EXPECT_STREQ(text, "");
    EXPECT_EQ(Edit(text, 3, DIK_H), 0u);
    EXPECT_EQ(Edit(text, 3, DIK_I), 0u);
    EXPECT_EQ(Edit(text, 3, DIK_SPACE), 2u);
    EXPECT_STREQ(text, "hi ");
    EXPECT_EQ(Edit(text, 3, DIK_X), 2u); // full
    EXPECT_STREQ(text, "hi ");
    EXPECT_EQ(Edit(text, 3, DIK_BACK), 0u);
    EXPECT_STREQ(text, "hi");
    EXPECT_EQ(Edit(text, 3, DIK_RETURN), 1u);
    EXPECT_STREQ(text, "hi");
    EXPECT_EQ(keyboard->GetString(text, 3), 0u); // a frame without keys changes nothing
    EXPECT_STREQ(text, "hi");
}

TEST_F(Keys, KeyboardKeepsTheSharedInputAliveWithItsWindow) {
    unsigned int before = kiv::LiveDirectInputObjects();
    EXPECT_EQ(kiv::DirectInputWindow(), window);
    {
        HWND other = reinterpret_cast<HWND>(0x5678);
        DirectInput mouseSide(other, nullptr);
        EXPECT_EQ(kiv::LiveDirectInputObjects(), before + 1);
        EXPECT_EQ(kiv::DirectInputWindow(), other);
    }
    EXPECT_EQ(kiv::LiveDirectInputObjects(), before);
    delete keyboard;
    keyboard = nullptr;
    EXPECT_EQ(kiv::LiveDirectInputObjects(), before - 1);
    EXPECT_FALSE(input->Acquired()); // a destroyed keyboard stops reading
}
