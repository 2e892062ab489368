#include <kiv/input/DIK.h>

#include "platform/KeyNames.h"
#include "platform/sdl/SdlKeyMap.h"

#include <SDL.h>
#include <gtest/gtest.h>

using kiv::platform::KeyCodeFromName;
using kiv::platform::KeyName;
using kiv::platform::sdl::DikFromScancode;

TEST(KeyNames, EveryNamedCodeRoundTrips) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const char* name = KeyName(static_cast<std::uint8_t>(code));
        if (!name)
            continue;
        ++named;
        EXPECT_EQ(KeyCodeFromName(name), code) << name;
        EXPECT_EQ(KeyCodeFromName(("DIK_" + std::string(name)).c_str()), code) << name;
    }
    EXPECT_GT(named, 140); // every code of the table from Escape to the media keys
    EXPECT_EQ(KeyName(0), nullptr);
    EXPECT_EQ(KeyName(0x54), nullptr);
    EXPECT_EQ(KeyName(0xFF), nullptr);
}

TEST(KeyNames, NamesIgnoreCaseAcceptAliasesAndNumbers) {
    EXPECT_EQ(KeyCodeFromName("DIK_ESCAPE"), 1);
    EXPECT_EQ(KeyCodeFromName("escape"), 1);
    EXPECT_EQ(KeyCodeFromName("dik_NumpadEnter"), 0x9C);
    EXPECT_EQ(KeyCodeFromName("PGUP"), 0xC9);
    EXPECT_STREQ(KeyName(0xC9), "PRIOR"); // the main name, not the alias
    EXPECT_EQ(KeyCodeFromName("BACKSPACE"), 0x0E);
    EXPECT_EQ(KeyCodeFromName("CIRCUMFLEX"), 0x90);
    EXPECT_EQ(KeyCodeFromName("1"), 2); // the key, not the number
    EXPECT_EQ(KeyCodeFromName("0x1"), 1);
    EXPECT_EQ(KeyCodeFromName("0XB7"), 0xB7);
    EXPECT_EQ(KeyCodeFromName("200"), 200);
    EXPECT_EQ(KeyCodeFromName("010"), 10); // decimal, not octal
    for (const char* bad :
         {"", "DIK_", "ESCAPES", "256", "-1", "+5", " 5", "0x", "0x1G", "DIK_0x10", "12a"})
        EXPECT_EQ(KeyCodeFromName(bad), -1) << '"' << bad << '"';
    EXPECT_EQ(KeyCodeFromName(nullptr), -1);
}

TEST(SdlKeyMap, KeysThatAreEasyToGetWrong) {
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RETURN), 0x1C);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_KP_ENTER), 0x9C);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_LCTRL), 0x1D);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RCTRL), 0x9D);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RALT), 0xB8);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_KP_DIVIDE), 0xB5);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_KP_8), 0x48);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_UP), 0xC8);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_RIGHT), 0xCD);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_PAGEDOWN), 0xD1);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_DELETE), 0xD3);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_PRINTSCREEN), 0xB7);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_PAUSE), 0xC5);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_NONUSBACKSLASH), 0x56);

    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(DikFromScancode(SDL_SCANCODE_F20), 0);
    EXPECT_EQ(DikFromScancode(-1), 0);
    EXPECT_EQ(DikFromScancode(SDL_NUM_SCANCODES), 0);
}

TEST(SdlKeyMap, EveryKeyItMapsIsANamedKeyAndThePcKeysAreDistinct) {
    bool seen[256] = {};
    int pcKeys = 0;
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        std::uint8_t code = DikFromScancode(s);
        if (!code)
            continue;
        EXPECT_NE(KeyName(code), nullptr) << "scancode " << s;
        // The keys of a PC keyboard sit between A and the right Windows key; each must reach
        // a code of its own (second names for the same key aside).
        if (s > SDL_SCANCODE_RGUI || s == SDL_SCANCODE_NONUSHASH || s == SDL_SCANCODE_SYSREQ ||
            s == SDL_SCANCODE_KP_EQUALSAS400)
            continue;
        EXPECT_FALSE(seen[code]) << "scancode " << s << " repeats code " << int(code);
        seen[code] = true;
        ++pcKeys;
    }
    EXPECT_GE(pcKeys, 104);
}
