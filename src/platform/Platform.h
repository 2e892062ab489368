#pragma once

// The only door to the operating system. The runtime talks to these interfaces; the `sdl`
// backend serves a desktop, the `headless` backend serves tests and batch runs with a
// virtual clock and scripted input. The backend is chosen once, at first use.

#include <kiv/base/Types.h>
#include <kiv/host/Resources.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace kiv::platform {

class AudioOutput; // platform/Audio.h
class InputScript; // platform/InputScript.h

// Millisecond time as timeGetTime counts it: unsigned, wrapping after 49.7 days.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t Milliseconds() = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
    // Returns once Milliseconds() has reached `deadline` (wrap-around safe).
    virtual void WaitUntil(std::uint32_t deadline) = 0;
};

// Message box flags and answers, with the values of the window system the games target.
enum MessageBoxFlags : unsigned {
    MbOk = 0x0,
    MbYesNo = 0x4,
    MbIconError = 0x10,
    MbIconQuestion = 0x20,
    MbIconInformation = 0x40,
};
enum MessageBoxAnswer : int { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };
// The answers of the host-or-join dialog of network levels (anything else cancels).
enum SessionAnswer : int { IdHost = 1003, IdJoin = 1004 };

// What a file dialog asks the player for.
struct FileChoice {
    bool save = false;           // a name to write to (else an existing file to read)
    const char* filterName = ""; // the filter as the dialog shows it: "Saved Files (*.sav)"
    const char* pattern = "*";   // the files it lists: "*.sav"
    const char* extension = "";  // added to a name given without one: "sav"
    const char* folder = "";     // the folder it starts in
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button chosen.
    virtual int MessageBox(const char* text, const char* caption, unsigned flags) = 0;
    // Asks whether to host a network session or join one: IdHost, IdJoin or a cancel.
    // `port` and `hostName` come in with their defaults and leave as the player set them.
    virtual int HostOrJoin(unsigned& port, std::string& hostName) = 0;
    // Lets the player pick one of `choices`: its index, or -1 when the player cancels.
    virtual int Choose(const char* caption, const std::vector<std::string>& choices) = 0;
    // Lets the player choose a file: its full path, or "" when the dialog was cancelled.
    virtual std::string ChooseFile(const FileChoice& choice) = 0;
};

// The path a file dialog returns for a name given in it: in the dialog's folder unless the
// name says where, with the default extension added when the name has none.
std::string ChosenPath(const std::string& name, const FileChoice& choice);

// One running game per user.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // False when another running game holds the lock.
    virtual bool Acquire() = 0;
    virtual void Release() = 0;
    // Where the lock lives, for the message that refuses a second game.
    virtual std::string Path() const = 0;
};

// Keyboard events use DirectInput key codes (DIK_*), the codes games are written against.
struct KeyEvent {
    std::uint8_t code;
    bool pressed;
};

// Buffered keyboard data, read once per frame.
class InputSource {
public:
    enum class Status { Ok, NotAcquired, InputLost };

    virtual ~InputSource() = default;
    // Start and stop receiving data; an unacquired source reads nothing.
    virtual void Acquire() = 0;
    virtual void Unacquire() = 0;
    // Moves up to `count` buffered key events, oldest first, into `out`; `count` becomes
    // the number moved. A lost device needs Acquire again.
    virtual Status ReadKeys(KeyEvent* out, unsigned& count) = 0;
    // Toggle states of the lock keys, for text entry.
    virtual bool CapsLock() = 0;
    virtual bool NumLock() = 0;
};

// One buffered mouse event: a relative step of an axis in the picture's pixels (the wheel in
// the system's units, 120 a notch, positive away from the player), or a button going down
// (value 1) or up (value 0). Buttons 0, 1 and 2 are the left, right and middle ones.
struct MouseInput {
    enum What : std::uint8_t { X, Y, Wheel, Button0, Button1, Button2 } what;
    std::int32_t value;
};

// Buffered mouse data, read once per frame, with the same acquisition rules as the keyboard.
class MouseSource {
public:
    using Status = InputSource::Status;

    virtual ~MouseSource() = default;
    virtual void Acquire() = 0;
    virtual void Unacquire() = 0;
    // Moves up to `count` buffered events, oldest first, into `out`; `count` becomes the
    // number moved. A lost device needs Acquire again.
    virtual Status Read(MouseInput* out, unsigned& count) = 0;
    // A mouse is attached and has a wheel.
    virtual bool HasWheel() = 0;
};

// What happened to the game window, as the host's window procedure sees it.
enum class WindowEvent {
    FocusGained,
    FocusLost,
    Minimized,
    Exposed,
    CloseRequested,
};

struct WindowSpec {
    const char* title = "Kiv";
    int width = 640; // the display mode: the picture's size in pixels
    int height = 480;
    bool windowed = true;
    int scale = 0; // integer zoom of a window; 0 picks the largest that fits the desktop
};

class Window {
public:
    virtual ~Window() = default;
    virtual bool Create(const WindowSpec& shape) = 0;
    virtual void Destroy() = 0;
    virtual bool Exists() = 0;
    virtual void SetTitle(const char* title) = 0;
    virtual void Show(bool visible) = 0;
    // Full screen covers the desktop, the picture centred and scaled.
    virtual void SetWindowed(bool windowed) = 0;
    virtual void ShowCursor(bool visible) = 0;
    // The system screen saver and monitor power-off stay away while inhibited.
    virtual void InhibitScreenSaver(bool inhibit) = 0;
    // Takes the next pending event; false when there is none.
    virtual bool PollEvent(WindowEvent& event) = 0;
    // Bits per pixel of the desktop; 0 when the desktop shows any depth.
    virtual int DesktopDepth() = 0;
};

// The gamma ramp of a full-screen display, one table of 256 entries per colour channel:
// entry i is the intensity shown for a component of value i, from 0 to 255 × 255.
struct GammaView {
    const std::uint16_t* red = nullptr;
    const std::uint16_t* green = nullptr;
    const std::uint16_t* blue = nullptr;
};

// A finished frame as the display hands it over: pixels in one of the display's formats
// (see graphics/Surface.h), with the palette at 8 bits per pixel, and the gamma ramp to
// show them through (null: shown as they are).
struct FrameView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0;
    int bitsPerPixel = 32;
    const COLORREF* palette = nullptr;
    const GammaView* gamma = nullptr;
};

class Presenter {
public:
    virtual ~Presenter() = default;
    // Shows the frame; false when the display lost its surfaces (the caller rebuilds
    // them and presents again).
    virtual bool Present(const FrameView& frame) = 0;
};

// Decoded image: width × height colours 0xAARRGGBB, rows top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// Image files in and out (at least BMP, PNG, JPEG and GIF in; PNG, JPEG and BMP out).
class ImageCodec {
public:
    static bool Decode(const void* data, std::size_t size, Image& out);
    static bool DecodeFile(const char* path, Image& out);
    static bool WritePng(const char* path, const Image& image);
    static bool WriteJpeg(const char* path, const Image& image, int quality);
    static bool WriteBmp(const char* path, const Image& image);
};

// The resources that the game executable registered before KivMain.
class Resources {
public:
    static Resources& Instance();

    void Register(const KivResource* table, int count);
    // Type and name compare without regard to letter case; null when absent.
    const KivResource* Find(const char* type, const char* name) const;
    void Clear();

private:
    std::vector<const KivResource*> entries;
};

// Turns a path written for Windows (backslashes, any letter case) into the path of an
// existing file when one matches; otherwise the name with its separators converted.
std::string LocalPath(const char* name);
// The process's current folder; empty when it cannot be read.
std::string CurrentFolder();
// Makes the written contents of an open file durable on the disk; false when that fails.
bool SyncToDisk(std::FILE* stream);

class Platform {
public:
    virtual ~Platform() = default;
    virtual const char* Name() const = 0;
    virtual Clock& GetClock() = 0;
    virtual Dialogs& GetDialogs() = 0;
    virtual InstanceLock& GetInstanceLock() = 0;
    virtual Window& GetWindow() = 0;
    virtual Presenter& GetPresenter() = 0;
    virtual InputSource& GetInput() = 0;
    virtual MouseSource& GetMouse() = 0;
    // The sound output (platform/Audio.h).
    virtual AudioOutput& GetAudio() = 0;
    // Called at the start of every pass of the main loop with the number the next frame
    // will have, so that a scripted backend can release that frame's events.
    virtual void StartPass(std::uint32_t nextFrame) = 0;
    // The scripted input that StartPass plays over the backend's own (--input).
    virtual InputScript* GetScript() = 0;
};

// Ends the process with `code` (through the handler, when one is set: tests that must see a
// fatal exit and go on install one that throws).
[[noreturn]] void ExitProcess(int code);
void SetExitHandler(void (*handler)(int code));

// The backend in use, made on first call.
Platform& Current();
// Replaces the backend (tests, and KivMain's start-up options); returns the new one.
Platform& Install(std::unique_ptr<Platform> backend);

} // namespace kiv::platform
