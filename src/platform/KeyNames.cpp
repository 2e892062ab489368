#include "platform/KeyNames.h"

#include <kiv/input/DIK.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <strings.h>

namespace kiv::platform {

namespace {

struct Named {
    const char* name;
    std::uint8_t code;
};

// The names come from the DIK_ macros themselves, so the two can never disagree. For a code
// with several names, the first one listed is the one KeyName gives.
#define KIV_KEY(n)                                                                                 \
    { #n, DIK_##n }
constexpr Named Keys[] = {
    KIV_KEY(ESCAPE), KIV_KEY(1), KIV_KEY(2), KIV_KEY(3), KIV_KEY(4), KIV_KEY(5), KIV_KEY(6),
    KIV_KEY(7), KIV_KEY(8), KIV_KEY(9), KIV_KEY(0), KIV_KEY(MINUS), KIV_KEY(EQUALS), KIV_KEY(BACK),
    KIV_KEY(TAB), KIV_KEY(Q), KIV_KEY(W), KIV_KEY(E), KIV_KEY(R), KIV_KEY(T), KIV_KEY(Y),
    KIV_KEY(U), KIV_KEY(I), KIV_KEY(O), KIV_KEY(P), KIV_KEY(LBRACKET), KIV_KEY(RBRACKET),
    KIV_KEY(RETURN), KIV_KEY(LCONTROL), KIV_KEY(A), KIV_KEY(S), KIV_KEY(D), KIV_KEY(F), KIV_KEY(G),
    KIV_KEY(H), KIV_KEY(J), KIV_KEY(K), KIV_KEY(L), KIV_KEY(SEMICOLON), KIV_KEY(APOSTROPHE),
    KIV_KEY(GRAVE), KIV_KEY(LSHIFT), KIV_KEY(BACKSLASH), KIV_KEY(Z), KIV_KEY(X), KIV_KEY(C),
    KIV_KEY(V), KIV_KEY(B), KIV_KEY(N), KIV_KEY(M), KIV_KEY(COMMA), KIV_KEY(PERIOD), KIV_KEY(SLASH),
    KIV_KEY(RSHIFT), KIV_KEY(MULTIPLY), KIV_KEY(LMENU), KIV_KEY(SPACE), KIV_KEY(CAPITAL),
    KIV_KEY(F1), KIV_KEY(F2), KIV_KEY(F3), KIV_KEY(F4), KIV_KEY(F5), KIV_KEY(F6), KIV_KEY(F7),
    KIV_KEY(F8), KIV_KEY(F9), KIV_KEY(F10), KIV_KEY(NUMLOCK), KIV_KEY(SCROLL), KIV_KEY(NUMPAD7),
    KIV_KEY(NUMPAD8), KIV_KEY(NUMPAD9), KIV_KEY(SUBTRACT), KIV_KEY(NUMPAD4), KIV_KEY(NUMPAD5),
    KIV_KEY(NUMPAD6), KIV_KEY(ADD), KIV_KEY(NUMPAD1), KIV_KEY(NUMPAD2), KIV_KEY(NUMPAD3),
    KIV_KEY(NUMPAD0), KIV_KEY(DECIMAL), KIV_KEY(OEM_102), KIV_KEY(F11), KIV_KEY(F12), KIV_KEY(F13),
    KIV_KEY(F14), KIV_KEY(F15), KIV_KEY(KANA), KIV_KEY(ABNT_C1), KIV_KEY(CONVERT),
    KIV_KEY(NOCONVERT), KIV_KEY(YEN), KIV_KEY(ABNT_C2), KIV_KEY(NUMPADEQUALS), KIV_KEY(PREVTRACK),
    KIV_KEY(AT), KIV_KEY(COLON), KIV_KEY(UNDERLINE), KIV_KEY(KANJI), KIV_KEY(STOP), KIV_KEY(AX),
    KIV_KEY(UNLABELED), KIV_KEY(NEXTTRACK), KIV_KEY(NUMPADENTER), KIV_KEY(RCONTROL), KIV_KEY(MUTE),
    KIV_KEY(CALCULATOR), KIV_KEY(PLAYPAUSE), KIV_KEY(MEDIASTOP), KIV_KEY(VOLUMEDOWN),
    KIV_KEY(VOLUMEUP), KIV_KEY(WEBHOME), KIV_KEY(NUMPADCOMMA), KIV_KEY(DIVIDE), KIV_KEY(SYSRQ),
    KIV_KEY(RMENU), KIV_KEY(PAUSE), KIV_KEY(HOME), KIV_KEY(UP), KIV_KEY(PRIOR), KIV_KEY(LEFT),
    KIV_KEY(RIGHT), KIV_KEY(END), KIV_KEY(DOWN), KIV_KEY(NEXT), KIV_KEY(INSERT), KIV_KEY(DELETE),
    KIV_KEY(LWIN), KIV_KEY(RWIN), KIV_KEY(APPS), KIV_KEY(POWER), KIV_KEY(SLEEP), KIV_KEY(WAKE),
    KIV_KEY(WEBSEARCH), KIV_KEY(WEBFAVORITES), KIV_KEY(WEBREFRESH), KIV_KEY(WEBSTOP),
    KIV_KEY(WEBFORWARD), KIV_KEY(WEBBACK), KIV_KEY(MYCOMPUTER), KIV_KEY(MAIL), KIV_KEY(MEDIASELECT),
    // Aliases, after every primary name.
    KIV_KEY(BACKSPACE), KIV_KEY(NUMPADSTAR), KIV_KEY(LALT), KIV_KEY(CAPSLOCK), KIV_KEY(NUMPADMINUS),
    KIV_KEY(NUMPADPLUS), KIV_KEY(NUMPADPERIOD), KIV_KEY(NUMPADSLASH), KIV_KEY(RALT),
    KIV_KEY(UPARROW), KIV_KEY(PGUP), KIV_KEY(LEFTARROW), KIV_KEY(RIGHTARROW), KIV_KEY(DOWNARROW),
    KIV_KEY(PGDN), KIV_KEY(CIRCUMFLEX)};
#undef KIV_KEY

// A name for every code, filled once from the table above.
struct ByCode {
    const char* names[256] = {};
    ByCode() {
        for (const Named& k : Keys)
            if (!names[k.code])
                names[k.code] = k.name;
    }
};

const ByCode& Names() {
    static const ByCode byCode;
    return byCode;
}

// A code written as a number: decimal, or hexadecimal after 0x.
int Number(const char* text) {
    bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    bool first = hex ? std::isxdigit(static_cast<unsigned char>(*digits))
                     : std::isdigit(static_cast<unsigned char>(*digits));
    if (!first)
        return -1; // no sign, no space, no empty number
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(digits, &end, hex ? 16 : 10);
    if (errno || *end || value > 255)
        return -1;
    return static_cast<int>(value);
}

} // namespace

int KeyCodeFromName(const char* name) {
    if (!name || !*name)
        return -1;
    const char* bare = strncasecmp(name, "DIK_", 4) == 0 ? name + 4 : name;
    // Names come first: "1" is the key that types a 1 (code 2); a code of 0 to 9 given as a
    // number is written in hexadecimal ("0x1").
    for (const Named& k : Keys)
        if (strcasecmp(bare, k.name) == 0)
            return k.code;
    return bare == name ? Number(name) : -1;
}

const char* KeyName(std::uint8_t code) {
    return Names().names[code];
}

} // namespace kiv::platform
