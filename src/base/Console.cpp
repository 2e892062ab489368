#include <kiv/base/Console.h>
#include <kiv/game/Game.h>

#include "base/ConsoleOutput.h"
#include "base/Diagnostics.h"
#include "game/LoopGlobals.h"
#include "platform/Platform.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

Console* pConsole = nullptr;

namespace {

// "Kiv.log" in the current folder unless the runtime options move it.
std::string& LogFile() {
    static std::string name = "Kiv.log";
    return name;
}
// The frame whose output the console last headed.
unsigned int lastHeaderFrame = 0;
// Something was printed: the next Display shows the last line again, measured with the
// layout of that frame.
bool scrollPending = false;

} // namespace

Console::Console() {
    Frame({5, 5, 400, 200});
    Name("DebugText");
    *this = "";
    Variable::Color(0);
    Width(3);
    Height(8.0f);
    Weight(500);
    DisplayType(VerticalScrolling);
    Visible(true);
    VScrollTriggered(false);
    WriteLog(); // every run starts with an empty log
}

Console::~Console() {
    WriteLog();
}

void Console::WriteLog() {
    // The log is rewritten after every print. When it cannot be written, that is said once,
    // and the console goes on without it.
    static bool reported = false;
    std::string path = kiv::platform::LocalPath(LogFile().c_str());
    if (std::FILE* log = std::fopen(path.c_str(), "a"))
        std::fclose(log);
    else if (!reported) {
        reported = true;
        kiv::Diagnostic("The log file %s cannot be written: %s.", path.c_str(),
                        std::strerror(errno));
    }
    Save(LogFile().c_str());
}

void Console::Print(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    std::string all = AsciiValue();
    if (kiv::FrameCounter != lastHeaderFrame) {
        char header[64];
        std::snprintf(header, sizeof header, "Output after loop %d :\n\n",
                      static_cast<int>(kiv::FrameCounter));
        all += header;
        lastHeaderFrame = kiv::FrameCounter;
    }
    all += text;
    *this = all.c_str();
    ScrollToEnd();
    WriteLog();
    scrollPending = true;
}

void Console::Display() {
    if (Visible())
        DisplayText();
    if (scrollPending) {
        ScrollToEnd();
        scrollPending = false;
    }
}

void Console::Show(bool visible) {
    if (myGame)
        myGame->ShowCursor(visible);
    Visible(visible);
}

void Console::Color(unsigned long colour) {
    Variable::Color(colour);
}

namespace kiv {

void SetLogFile(const std::string& path) {
    LogFile() = path;
}

void PrintToConsole(const char* text) {
    if (!pConsole) {
        WriteStandardError(text);
        return;
    }
    // The console takes at most 511 characters a print; a long file path must not cut the
    // report short.
    for (std::size_t left = std::strlen(text); left > 0;) {
        int part = left > 511 ? 511 : static_cast<int>(left);
        pConsole->Print("%.*s", part, text);
        text += part;
        left -= static_cast<std::size_t>(part);
    }
}

} // namespace kiv
