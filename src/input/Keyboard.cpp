#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>

#include "platform/Platform.h"

#include <cstring>

Keyboard* pKeyboard = nullptr;

namespace {

constexpr unsigned int MaxEvents = 256;

// How a key types on a US keyboard.
enum class Kind : std::uint8_t {
    None,
    Letter,  // upper case with Caps Lock or Shift, not both
    Symbol,  // the shifted character with Shift; Caps Lock plays no part
    Always,  // one character whatever the modifiers
    NumLock, // keypad digits and point: only while Num Lock is on
};

struct Typing {
    Kind kind = Kind::None;
    char plain = 0;
    char shifted = 0;
};

struct UsLayout {
    Typing keys[256];

    constexpr UsLayout() {
        Row(DIK_1, "1234567890-=", "!@#$%^&*()_+", Kind::Symbol);
        Row(DIK_Q, "qwertyuiop", "QWERTYUIOP", Kind::Letter);
        Row(DIK_LBRACKET, "[]", "{}", Kind::Symbol);
        Row(DIK_A, "asdfghjkl", "ASDFGHJKL", Kind::Letter);
        Row(DIK_SEMICOLON, ";'`", ":\"~", Kind::Symbol);
        Row(DIK_BACKSLASH, "\\", "|", Kind::Symbol);
        Row(DIK_Z, "zxcvbnm", "ZXCVBNM", Kind::Letter);
        Row(DIK_COMMA, ",./", "<>?", Kind::Symbol);
        One(DIK_SPACE, ' ', Kind::Always);
        One(DIK_TAB, '\t', Kind::Always);
        One(DIK_RETURN, '\n', Kind::Always);
        One(DIK_NUMPADENTER, '\n', Kind::Always);
        One(DIK_MULTIPLY, '*', Kind::Always);
        One(DIK_SUBTRACT, '-', Kind::Always);
        One(DIK_ADD, '+', Kind::Always);
        One(DIK_DIVIDE, '/', Kind::Always);
        Row(DIK_NUMPAD7, "789", "789", Kind::NumLock);
        Row(DIK_NUMPAD4, "456", "456", Kind::NumLock);
        Row(DIK_NUMPAD1, "1230.", "1230.", Kind::NumLock); // DIK_NUMPAD1 .. DIK_DECIMAL
    }

    // Keys with consecutive codes from `first`.
    constexpr void Row(int first, const char* plain, const char* shifted, Kind kind) {
        for (int i = 0; plain[i]; ++i)
            keys[first + i] = {kind, plain[i], shifted[i]};
    }
    constexpr void One(int code, char c, Kind kind) { keys[code] = {kind, c, c}; }
};

constexpr UsLayout Us;

// The character buffer that GetCharAsString hands out, shared by every call.
char typed[2];

bool Recording() {
    return myGame && gNode && myGame->Recording();
}
bool Replaying() {
    return myGame && gNode && myGame->Replaying();
}

} // namespace

struct Keyboard::Device {
    kiv::platform::InputSource* source;
    kiv::platform::KeyEvent events[MaxEvents];
};

Keyboard::Keyboard(HWND window, HINSTANCE instance)
    : keys{}, eventCount(0), device(new Device{&kiv::platform::Current().GetInput(), {}}),
      input(window, instance), replayFrame(0) {
    StartReceivingData();
}

Keyboard::~Keyboard() {
    StopReceivingData();
    delete device;
}

unsigned int Keyboard::Update(unsigned char*& out) {
    eventCount = MaxEvents;
    switch (device->source->ReadKeys(device->events, eventCount)) {
    case kiv::platform::InputSource::Status::Ok:
        break;
    case kiv::platform::InputSource::Status::NotAcquired:
        eventCount = 0;
        Reset();
        return 0;
    case kiv::platform::InputSource::Status::InputLost:
        eventCount = 0;
        Reset();
        StartReceivingData(); // acquire again; the next frame reads
        return 0;
    }

    std::memset(out, 0, MaxEvents * 2);
    if (Replaying()) {
        if (!Replay()) {
            replayFrame = 0;
            Reset();
            if (pMouse)
                pMouse->ResetKeys();
            myGame->FinishReplay();
            return 0;
        }
        eventCount = 0;
    } else {
        unsigned char* record = out;
        for (unsigned int i = 0; i < eventCount; ++i) {
            const kiv::platform::KeyEvent& e = device->events[i];
            keys[e.code].pressed = e.pressed;
            *record++ = e.code;
            *record++ = e.pressed ? 1 : 0;
        }
        if (Recording())
            Record();
    }

    for (kiv::KeyEntry& key : keys)
        key.NextFrame();
    return eventCount;
}

// The player stops a replay with its key, pressed now on the device; a recording that holds
// the key down stops it as well.
bool Keyboard::ExitKeyPressed(unsigned char exitKey) const {
    if (keys[exitKey].pressed)
        return true;
    for (unsigned int i = 0; i < eventCount; ++i)
        if (device->events[i].code == exitKey && device->events[i].pressed)
            return true;
    return false;
}

bool Keyboard::Replay() {
    const InputRecording& recorded = gNode->RecordedInput();
    auto exitKey = static_cast<unsigned char>(myGame->ReplayExitKey());
    if (replayFrame >= recorded.KeyFrames() || ExitKeyPressed(exitKey))
        return false;
    for (kiv::KeyEntry& key : keys)
        key.pressed = false;
    unsigned int n = 0;
    const unsigned char* codes = recorded.KeyFrame(replayFrame++, n);
    for (unsigned int i = 0; i < n; ++i)
        keys[codes[i]].pressed = true;
    return true;
}

// One recorded frame: the codes of the keys down now, in ascending order.
void Keyboard::Record() {
    InputRecording& recording = gNode->RecordedInput();
    recording.StartKeyFrame();
    for (unsigned int code = 0; code < 256; ++code)
        if (keys[code].pressed)
            recording.AddKey(static_cast<unsigned char>(code));
}

void Keyboard::StartReceivingData() {
    Reset();
    device->source->Acquire();
}

void Keyboard::StopReceivingData() {
    device->source->Unacquire();
}

void Keyboard::Reset() {
    for (kiv::KeyEntry& key : keys)
        key = {};
}

bool Keyboard::IsPressed(unsigned char k) {
    return keys[k].pressed;
}

bool Keyboard::IsNotPressed(unsigned char k) {
    return !keys[k].pressed;
}

bool Keyboard::IsTriggered(unsigned char k) {
    return keys[k].triggered;
}

bool Keyboard::IsNotTriggered(unsigned char k) {
    return !keys[k].triggered;
}

unsigned int Keyboard::TapCounter(unsigned char k) {
    return keys[k].TapCount();
}

unsigned int Keyboard::HoldCounter(unsigned char k) {
    return keys[k].framesHeld;
}

bool Keyboard::Nothing() {
    return !Any();
}

bool Keyboard::Any() {
    for (const kiv::KeyEntry& key : keys)
        if (key.pressed)
            return true;
    return false;
}

bool Keyboard::GetKey(unsigned char& k) {
    for (unsigned int code = 0; code < 256; ++code)
        if (keys[code].triggered) {
            k = static_cast<unsigned char>(code);
            return true;
        }
    return false;
}

char* Keyboard::GetCharAsString() {
    unsigned char code;
    if (!GetKey(code)) {
        typed[0] = 0;
        return typed;
    }
    const Typing& t = Us.keys[code];
    bool shift = keys[DIK_LSHIFT].pressed || keys[DIK_RSHIFT].pressed;
    char c = 0;
    switch (t.kind) {
    case Kind::None:
        break;
    case Kind::Letter:
        c = shift != device->source->CapsLock() ? t.shifted : t.plain;
        break;
    case Kind::Symbol:
        c = shift ? t.shifted : t.plain;
        break;
    case Kind::Always:
        c = t.plain;
        break;
    case Kind::NumLock:
        if (device->source->NumLock())
            c = t.plain;
        break;
    }
    // A key that types nothing leaves the buffer as it was.
    if (c) {
        typed[0] = c;
        typed[1] = 0;
    }
    return typed;
}

unsigned int Keyboard::GetString(char* text, unsigned int maxLength) {
    if (IsTriggered(DIK_RETURN))
        return 1;
    std::size_t length = std::strlen(text);
    if (IsTriggered(DIK_BACK)) {
        if (length > 0)
            text[--length] = 0;
    } else if (length < maxLength) {
        std::strcat(text, GetCharAsString());
        length = std::strlen(text);
    }
    return length >= maxLength ? 2 : 0;
}
