#pragma once

#include "platform/Platform.h"

namespace kiv {

// The images the library draws itself for names that neither the game's resources nor its
// files provide: "TEXTSCURSOR", the built-in cursor's arrow. False for any other name.
bool DrawBuiltInImage(const char* name, platform::Image& out);

} // namespace kiv
