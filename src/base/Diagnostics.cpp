#include "base/Diagnostics.h"

#include <kiv/base/Console.h>

#include "platform/Cp1252.h"

#include <cstdarg>
#include <cstdio>

namespace kiv {

void Diagnostic(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    std::fprintf(stderr, "%s\n", platform::Utf8FromCp1252(text).c_str());
    if (pConsole)
        pConsole->Print("%s\n", text);
}

} // namespace kiv
