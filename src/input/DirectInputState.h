#pragma once

#include <kiv/base/Types.h>

namespace kiv {

// Number of DirectInput objects alive, and the window given to the last one made.
unsigned int LiveDirectInputObjects();
HWND DirectInputWindow();

} // namespace kiv
