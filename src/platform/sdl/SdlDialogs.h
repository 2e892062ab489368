#pragma once

#include "platform/Platform.h"

namespace kiv::platform::sdl {

// Message boxes in a window of their own (texts arrive in code page 1252, as games write
// them); on standard error when no window can be shown.
class SdlDialogs : public Dialogs {
public:
    int MessageBox(const char* text, const char* caption, unsigned flags) override;
};

} // namespace kiv::platform::sdl
