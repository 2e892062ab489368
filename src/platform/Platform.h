#pragma once

// The only door to the operating system. The runtime talks to these interfaces; the `sdl`
// backend serves a desktop, the `headless` backend serves tests and batch runs with a
// virtual clock and scripted input. The backend is chosen once, at first use.

#include <kiv/host/Resources.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kiv::platform {

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

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the button chosen.
    virtual int MessageBox(const char* text, const char* caption, unsigned flags) = 0;
};

// One running game per user.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
    // False when another running game holds the lock.
    virtual bool Acquire() = 0;
    virtual void Release() = 0;
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

class Platform {
public:
    virtual ~Platform() = default;
    virtual const char* Name() const = 0;
    virtual Clock& GetClock() = 0;
    virtual Dialogs& GetDialogs() = 0;
    virtual InstanceLock& GetInstanceLock() = 0;
};

// The backend in use, made on first call.
Platform& Current();
// Replaces the backend (tests, and KivMain's start-up options); returns the new one.
Platform& Install(std::unique_ptr<Platform> backend);

} // namespace kiv::platform
