#include "base/Diagnostics.h"

#include <kiv/base/Console.h>

#include "platform/Cp1252.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

namespace kiv {

void WriteStandardErrorUtf8(const char* text) {
    // Network threads report too: one message is never interleaved with another.
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    std::fputs(text, stderr);
    std::fflush(stderr);
}

void WriteStandardError(const char* text) {
    WriteStandardErrorUtf8(platform::Utf8FromCp1252(text).c_str());
}

void Diagnostic(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    std::string line = std::string(text) + "\n";
    WriteStandardError(line.c_str());
    if (pConsole)
        pConsole->Print("%s", line.c_str());
}

} // namespace kiv
