#include "platform/Dialogs.h"

#include "base/Diagnostics.h"

#include <string>

namespace kiv::platform {

void EchoMessageBox(const char* text, const char* caption) {
    std::string line = std::string("[") + (caption ? caption : "") + "] " + (text ? text : "");
    WriteStandardError((line + "\n").c_str());
}

} // namespace kiv::platform
