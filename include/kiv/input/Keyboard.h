#pragma once

#include <kiv/base/Types.h>
#include <kiv/input/DIK.h>
#include <kiv/input/DirectInput.h>
#include <kiv/input/KeyEntry.h>

#include <cstdint>

// The keyboard as the game sees it: read once per frame, then asked about any key by its
// DirectInput code (DIK_*).
class KIV_API Keyboard {
public:
    Keyboard(HWND window, HINSTANCE instance);
    ~Keyboard();

    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Reads this frame's key events and renews every key. `out` must point at room for 256
    // records of 2 bytes (key code, 1 pressed / 0 released): the area is cleared and the
    // events written from its start, in order. Returns the number of events. While the game
    // records, the keys down are added to the level's recording; while it replays, the keys
    // come from the recording instead (and 0 is returned).
    unsigned int Update(unsigned char*& out);

    // Clears every key and starts reading the device.
    void StartReceivingData();
    void StopReceivingData();
    void Reset();

    bool IsPressed(unsigned char k);
    bool IsNotPressed(unsigned char k);
    bool IsTriggered(unsigned char k);
    bool IsNotTriggered(unsigned char k);
    // While the key is up, the frames since it was released. While it is down, the frames it
    // was up before this press; that count restarts when read, so a second read during the
    // same press gives 0.
    unsigned int TapCounter(unsigned char k);
    unsigned int HoldCounter(unsigned char k);
    // No key is down / some key is down.
    bool Nothing();
    bool Any();
    // The lowest code of the keys that went down this frame; false when none did.
    bool GetKey(unsigned char& k);

    // The character typed this frame on a US keyboard, as a string in a buffer shared by all
    // calls: "" when no key went down, and the previous character again for a key that types
    // none.
    char* GetCharAsString();
    // Edits `text` (room for maxLength characters and the end mark) by this frame's key:
    // returns 1 when Return went down, else applies Backspace or appends the typed character
    // while the text is shorter than maxLength, and returns 2 once it is maxLength long, 0
    // otherwise.
    unsigned int GetString(char* text, unsigned int maxLength);

private:
    struct Device;

    // Sets the keys down in the next recorded frame; false when the replay is over (the
    // frames ran out or the key that stops replays went down).
    bool Replay();
    void Record();
    bool ExitKeyPressed(unsigned char exitKey) const;

    kiv::KeyEntry keys[256];
    std::uint32_t eventCount;
    Device* device;
    DirectInput input;
    std::uint32_t replayFrame;
};

extern KIV_API Keyboard* pKeyboard;
